#pragma once
#include <string>

namespace plendoro {

// One running copy per user: an advisory lock on a file named after the
// lock in a folder only this user can write to. Held for the object's
// lifetime.
class SingleInstance {
public:
    static constexpr const char* kLockName = "PlendoroBaseMutex";

    enum class Outcome {
        Acquired,
        HeldByAnother, // another copy runs: this one ends quietly
        Failed,        // the lock could not be tried at all; see reason
    };
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::string reason; // why, when Failed
        explicit operator bool() const { return outcome == Outcome::Acquired; }
    };

    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Waits at most timeoutMs while another copy holds the lock. A missing
    // lockFolder is made, readable by its owner only; an existing one must
    // be this user's own with mode 0700, or the lock fails.
    Result Acquire(int timeoutMs = 500, const std::string& lockFolder = DefaultLockFolder());
    void Release();
    bool Held() const { return fd_ >= 0; }

    // The user's runtime folder when it is there, his own and 0700, else a
    // folder of the program under the user's home folder (UserHomeFolder);
    // empty when there is no home folder.
    static std::string DefaultLockFolder();

private:
    int fd_ = -1;
};

} // namespace plendoro
