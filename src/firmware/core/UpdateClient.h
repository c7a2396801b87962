#pragma once
// One connection to the update server: the version query and the image
// download over POSIX sockets. Every wait, the connection's included, is
// bounded, and so is the whole operation from the connect to the last byte
// of the reply, or a server sending a byte now and then would hold it for
// hours; Abort, from any thread, ends the wait in progress at once.
#include "firmware/core/UpdateProtocol.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plendoro {

constexpr std::chrono::milliseconds kUpdateWaitBound{30000};
// The whole operation's bound, which an announced image lengthens by the
// time it takes at the slowest rate we still wait for.
constexpr std::chrono::milliseconds kUpdateOverallBound{30000};
constexpr std::uint32_t kUpdateSlowestBytesPerSecond = 4096;

class UpdateClient {
public:
    UpdateClient();
    ~UpdateClient();
    UpdateClient(const UpdateClient&) = delete;
    UpdateClient& operator=(const UpdateClient&) = delete;

    // The request's fields and what the version reply set.
    std::uint32_t serial = 0;
    std::string versionText;
    std::string serverName;
    int serverMajor = 0;
    int serverMinor = 0;
    std::uint32_t imageLength = 0;
    std::uint32_t buildTime = 0;
    std::chrono::milliseconds waitBound = kUpdateWaitBound;
    std::chrono::milliseconds overallBound = kUpdateOverallBound;

    // address: dotted IPv4.
    bool Connect(const std::string& address, std::uint16_t port);
    // A connected stream socket in place of Connect (one end of a socket
    // pair, say); the client closes it. The overall bound starts here.
    void Adopt(int socket);
    bool QueryVersion();
    // Checks the reply and saves the firmware file at path.
    bool DownloadImage(const std::string& path);
    void CloseConnection();
    void Abort();
    // Whether the operation's overall bound ran out.
    bool OutOfTime() const { return outOfTime_; }

private:
    enum class Wait { Ready, TimedOut, Failed };
    Wait WaitFor(bool forWriting);
    bool SendAll(const std::vector<std::uint8_t>& bytes);
    // Collects exactly count bytes, one bounded wait per piece.
    bool ReceiveAll(std::uint8_t* buffer, std::size_t count);

    int socket_ = -1;
    std::chrono::steady_clock::time_point deadline_{};
    bool outOfTime_ = false;
    int wake_[2] = {-1, -1}; // Abort writes to wake_[1]
    std::atomic<bool> aborted_{false};
};

// What one operation shows and does, in order; the callbacks run on the
// operation's thread.
struct UpdateReport {
    std::function<void(const std::string& status)> status;
    std::function<void()> enableButtons;
};

enum class UpdateMode : std::uint8_t { Check = 0, Download = 4 };

// The whole check or download over one connection, with its status texts.
void RunUpdate(UpdateClient& client, UpdateMode mode, const std::string& address, std::uint16_t port,
               const std::string& firmwarePath, const UpdateReport& report);

} // namespace plendoro
