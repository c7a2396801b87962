#pragma once
// One open /dev/ttyUSB* port, driven the way the vendor's library drives
// its bridge: raw bytes, reads and writes bounded by the handle's timeouts.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace plendoro::ttyusb {

// The vendor library's status codes, as its callers compare them.
enum Status : std::uint32_t {
    kOk = 0,
    kInvalidHandle = 1,
    kDeviceNotFound = 2,
    kDeviceNotOpened = 3,
    kIoError = 4,
    kInvalidParameter = 6,
    kInvalidBaudRate = 7,
    kNotSupported = 17,
};

class Port {
public:
    // Opens the node for this process alone (TIOCEXCL and flock), raw 8N1
    // without flow control and without touching DTR or RTS. Null on
    // failure, with the errno of the step that failed in `error`.
    static std::unique_ptr<Port> Open(const std::string& node, int& error);
    // Clears the exclusive flag, releases the lock and closes.
    ~Port();
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    Status SetBaudRate(unsigned baud);
    Status SetDataCharacteristics(unsigned bits, unsigned stopBits, unsigned parity);
    Status SetFlowControl(unsigned flow, std::uint8_t xon, std::uint8_t xoff);
    // 0 waits for good, as the vendor's library does.
    void SetTimeouts(unsigned readMs, unsigned writeMs);
    Status SetRts();

    // Waits until `count` bytes arrived or the read timeout ended; what
    // arrived is returned either way. A vanished device is an I/O error.
    Status Read(std::uint8_t* buffer, std::size_t count, std::size_t& got);
    Status Write(const std::uint8_t* bytes, std::size_t count, std::size_t& sent);
    Status Queued(std::uint32_t* received, std::uint32_t* unsent) const;
    Status Purge(bool received, bool unsent);
    // A read or write blocked on this port in another thread gives up.
    void Wake();

private:
    Port(int fd, int wake) : fd_(fd), wake_(wake) {}
    // Waits for `events` until `deadlineMs` (steady milliseconds, 0 for
    // none). 1: ready, 0: timed out, -1: gone or woken.
    int WaitFor(short events, std::int64_t deadlineMs) const;

    int fd_;
    int wake_;
    unsigned readMs_ = 0;
    unsigned writeMs_ = 0;
};

// termios2 with BOTHER, for a rate without a B constant. Kept apart: the
// kernel's termios header cannot live beside the C library's.
bool SetCustomBaudRate(int fd, unsigned baud);

} // namespace plendoro::ttyusb
