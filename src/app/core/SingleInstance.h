#pragma once
#include <string>

namespace plendoro {

// One running copy per user: an advisory lock on a file named after the
// lock in the user's runtime folder. Held for the object's lifetime.
class SingleInstance {
public:
    static constexpr const char* kLockName = "PlendoroBaseMutex";

    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Waits at most timeoutMs for the lock. False when another copy holds it.
    bool Acquire(int timeoutMs = 500, const std::string& lockFolder = DefaultLockFolder());
    void Release();
    bool Held() const { return fd_ >= 0; }

    static std::string DefaultLockFolder();

private:
    int fd_ = -1;
};

} // namespace plendoro
