#pragma once
#include "common/Clock.h"
#include "link/ByteLink.h"
#include "link/D2xx.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plendoro {

// The program's one road to the tracker. The device is opened for each
// exchange and closed after it; the exchange slot makes sure that only one
// exchange, on whichever thread, holds the device at a time.
class UsbLink final : public ByteLink {
public:
    static constexpr const char* kDescriptionPrefix = "Kovaltrak";
    static constexpr unsigned kBaudRate = 460800;
    static constexpr unsigned kReadTimeoutMs = 1000;
    static constexpr unsigned kWriteTimeoutMs = 200;

    explicit UsbLink(Clock& clock = SystemClock::Instance());
    ~UsbLink() override;

    // Binds a D2XX library once (see D2xxLibrary::Load); later calls succeed
    // at once. `programFolder` (ending in "/") is where our own library is
    // looked for.
    bool Bind(std::string* error = nullptr, const std::string& programFolder = {});
    // Binds a given implementation instead (the tests' fake library).
    void Bind(std::unique_ptr<D2xx> library);
    bool IsBound() const { return lib_ != nullptr; }
    // The library file bound by name; empty for an implementation given in.
    const std::string& LibraryFile() const { return libraryFile_; }
    // Why the last listed tracker did not open, when the library can tell;
    // cleared by the next identification or open.
    OpenFailure LastOpenFailure() const;

    // Finds the first device whose description starts with the prefix (the
    // pinned one, when a serial number is pinned), configures it and reads
    // its serial number; the device is closed again.
    bool Identify(std::string* serial);

    struct ListedTracker {
        int index = -1;
        std::string serial; // as the library lists it; empty when it cannot
        std::string description;
    };
    // Every listed device whose description starts with the prefix, in list
    // order; no device is opened.
    std::vector<ListedTracker> ListTrackers();
    // Pins the link to the tracker with this serial number (empty: none).
    // List indexes shift as trackers come and go, so every identification
    // and open lists the devices again and takes the index that lists the
    // serial, and an opened device that reports another serial is closed
    // again before a byte is sent.
    void PinSerial(std::string serial);
    const std::string& PinnedSerial() const { return pinned_; }

    bool Open();
    void Close();
    void Write(const std::uint8_t* bytes, std::size_t count) override;
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override;
    std::size_t ReadTimed(std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs) override;
    // Polls every 2 ms for up to the read timeout; once bytes arrive, waits
    // until none have come for a few milliseconds and takes them all.
    std::size_t ReadAnswer(std::uint8_t* buffer, std::size_t capacity) override;
    static constexpr unsigned kAnswerPollMs = 2;
    static constexpr unsigned kAnswerQuietMs = 5;

    bool Connected() const { return connected_; }
    void SetConnected(bool connected) { connected_ = connected; }
    int DeviceIndex() const { return deviceIndex_; }
    void SetDeviceIndex(int index) { deviceIndex_ = index; }
    const std::string& DescriptionPrefix() const { return prefix_; }
    void SetDescriptionPrefix(std::string prefix) { prefix_ = std::move(prefix); }

    // True while an exchange holds the device (on any thread).
    bool InUse() const { return busy_.load(); }
    bool HasHandle() const { return handle_ != nullptr; }

private:
    bool TakeSlot();
    void ReleaseSlot();
    void CloseHandle();
    void NoteOpenFailure(int index);
    // The pinned tracker's list index now, -1 when it is not listed.
    int PinnedIndex();
    // Whether an opened handle belongs to the pinned tracker (always, when
    // none is pinned).
    bool IsPinnedDevice(D2xx::Handle h);
    // Speed, framing, timeouts, latency and flow control of a new handle:
    // the vendor's library starts every handle from its own defaults.
    bool Configure(D2xx::Handle h);

    Clock& clock_;
    std::unique_ptr<D2xx> lib_;
    std::string libraryFile_;
    mutable std::mutex failureMutex_;
    OpenFailure openFailure_;
    std::atomic<bool> connected_{false};
    std::atomic<int> deviceIndex_{-1};
    std::string prefix_ = kDescriptionPrefix;
    std::string pinned_;
    D2xx::Handle handle_ = nullptr;
    std::atomic<bool> busy_{false};
};

} // namespace plendoro
