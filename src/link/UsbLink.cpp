#include "link/UsbLink.h"

#include "common/Log.h"

#include <cstring>

namespace plendoro {

using namespace d2xx;

namespace {

void Log(LogChannel channel, std::string_view line)
{
    if (LogEnabled(channel))
        LogLine(channel, line);
}

} // namespace

UsbLink::UsbLink(Clock& clock) : clock_(clock) {}

UsbLink::~UsbLink()
{
    if (handle_)
        CloseHandle();
}

bool UsbLink::Bind(std::string* error, const std::string& programFolder)
{
    if (lib_)
        return true;
    std::string why;
    auto lib = D2xxLibrary::Load(programFolder, prefix_, &why);
    if (!lib) {
        Log(LogChannel::Link, "bind: no D2XX library: " + why);
        if (error)
            *error = why;
        return false;
    }
    libraryFile_ = lib->File();
    Log(LogChannel::Link, "bind: " + libraryFile_);
    lib_ = std::move(lib);
    return true;
}

OpenFailure UsbLink::LastOpenFailure() const
{
    std::lock_guard lock(failureMutex_);
    return openFailure_;
}

void UsbLink::NoteOpenFailure(int index)
{
    OpenFailure failure = index >= 0 ? lib_->DiagnoseOpen(index) : OpenFailure{};
    std::lock_guard lock(failureMutex_);
    openFailure_ = std::move(failure);
}

void UsbLink::Bind(std::unique_ptr<D2xx> library)
{
    lib_ = std::move(library);
}

bool UsbLink::TakeSlot()
{
    bool expected = false;
    return busy_.compare_exchange_strong(expected, true);
}

void UsbLink::ReleaseSlot()
{
    busy_.store(false);
}

bool UsbLink::Identify(std::string* serial)
{
    if (!lib_)
        return false;
    NoteOpenFailure(-1);
    DWORD count = 0;
    if (lib_->ListCount(&count) != FT_OK)
        return false;

    int found = -1;
    if (!pinned_.empty()) {
        found = PinnedIndex();
    } else {
        for (DWORD i = 0; i < count; ++i) {
            char description[64] = {};
            if (lib_->ListDescription(i, description) != FT_OK)
                continue;
            description[63] = '\0';
            // Byte for byte over the prefix: other letter case is another device.
            if (std::strncmp(description, prefix_.c_str(), prefix_.size()) == 0) {
                found = static_cast<int>(i);
                break;
            }
        }
    }
    if (found < 0) {
        if (LogEnabled(LogChannel::Presence))
            Log(LogChannel::Presence, "identify: none of " + std::to_string(count) + " devices is \"" + prefix_ + "\"");
        deviceIndex_ = -1;
        return false;
    }
    deviceIndex_ = found;

    if (!TakeSlot()) {
        Log(LogChannel::Presence, "identify: device busy with another exchange");
        return false;
    }
    D2xx::Handle h = nullptr;
    if (lib_->Open(found, &h) != FT_OK || !h) {
        if (LogEnabled(LogChannel::Presence))
            Log(LogChannel::Presence, "identify: device " + std::to_string(found) + " does not open");
        NoteOpenFailure(found);
        ReleaseSlot();
        return false;
    }
    NoteOpenFailure(-1);
    handle_ = h;

    char serialBuf[16] = {};
    char descBuf[64] = {};
    bool ok = Configure(h) && lib_->GetDeviceInfo(h, serialBuf, descBuf) == FT_OK;
    serialBuf[15] = '\0';
    ok = ok && (pinned_.empty() || pinned_ == serialBuf);
    if (ok && serial) {
        serialBuf[15] = '\0';
        *serial = serialBuf;
    }
    if (LogEnabled(LogChannel::Presence)) {
        serialBuf[15] = '\0';
        Log(LogChannel::Presence,
            ok ? "identify: device " + std::to_string(found) + ", serial \"" + std::string(serialBuf) + "\""
               : "identify: device " + std::to_string(found) + " refuses its settings");
    }
    Close();
    return ok;
}

bool UsbLink::Open()
{
    if (!lib_ || !connected_ || deviceIndex_ < 0) {
        Log(LogChannel::Link, "open: no device attached");
        return false;
    }
    if (!TakeSlot()) {
        Log(LogChannel::Link, "open: device busy with another exchange");
        return false; // another exchange holds the device
    }
    if (!pinned_.empty()) {
        const int index = PinnedIndex();
        if (index < 0) {
            Log(LogChannel::Link, "open: tracker " + pinned_ + " is not listed");
            ReleaseSlot();
            return false;
        }
        deviceIndex_ = index;
    }
    D2xx::Handle h = nullptr;
    if (lib_->Open(deviceIndex_, &h) == FT_OK && h) {
        if (!IsPinnedDevice(h)) {
            Log(LogChannel::Link, "open: device " + std::to_string(deviceIndex_) + " is not tracker " + pinned_);
            lib_->Close(h);
            ReleaseSlot();
            return false;
        }
        NoteOpenFailure(-1);
        handle_ = h;
        // A setting the bridge refuses leaves the device usable as it is.
        Configure(h);
        if (LogEnabled(LogChannel::Link))
            Log(LogChannel::Link, "open: device " + std::to_string(deviceIndex_));
        return true;
    }
    handle_ = nullptr;
    NoteOpenFailure(deviceIndex_);
    ReleaseSlot();
    if (LogEnabled(LogChannel::Link))
        Log(LogChannel::Link, "open: device " + std::to_string(deviceIndex_) + " does not open");
    return false;
}

bool UsbLink::Configure(D2xx::Handle h)
{
    return lib_->SetBaudRate(h, kBaudRate) == FT_OK && lib_->SetDataCharacteristics(h, 8, 0, 0) == FT_OK &&
           lib_->SetTimeouts(h, kReadTimeoutMs, kWriteTimeoutMs) == FT_OK && lib_->SetLatencyTimer(h, 1) == FT_OK &&
           lib_->SetFlowControl(h, 0, 0, 0) == FT_OK;
}

void UsbLink::CloseHandle()
{
    lib_->ResetDevice(handle_);
    lib_->Close(handle_);
    handle_ = nullptr;
}

void UsbLink::Close()
{
    if (!handle_)
        return;
    Log(LogChannel::Link, "close");
    CloseHandle();
    ReleaseSlot();
}

void UsbLink::Write(const std::uint8_t* bytes, std::size_t count)
{
    if (!handle_ || count == 0)
        return;
    DWORD sent = 0;
    lib_->Write(handle_, bytes, static_cast<DWORD>(count), &sent);
}

std::size_t UsbLink::Read(std::uint8_t* buffer, std::size_t count)
{
    if (!handle_ || count == 0)
        return 0;
    DWORD got = 0;
    if (lib_->Read(handle_, buffer, static_cast<DWORD>(count), &got) != FT_OK)
        return 0;
    return got > count ? count : got;
}

std::size_t UsbLink::ReadTimed(std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs)
{
    std::memset(buffer, 0, capacity);
    const std::uint64_t deadline = clock_.TickMs() + timeoutMs;
    const unsigned pace = timeoutMs / 10;
    while (clock_.TickMs() <= deadline) {
        if (!handle_)
            return 0;
        DWORD rx = 0, tx = 0, events = 0;
        lib_->GetStatus(handle_, &rx, &tx, &events);
        if (rx == 0) {
            clock_.SleepMs(pace);
            continue;
        }
        // The reply has begun; give the rest of it a moment to arrive.
        clock_.SleepMs(pace);
        rx = 0;
        lib_->GetStatus(handle_, &rx, &tx, &events);
        if (rx == 0 || rx > capacity)
            return 0; // an over-long reply stays queued, unread
        DWORD got = 0;
        if (lib_->Read(handle_, buffer, rx, &got) != FT_OK)
            return 0;
        return got > rx ? rx : got;
    }
    return 0;
}

std::size_t UsbLink::ReadAnswer(std::uint8_t* buffer, std::size_t capacity)
{
    std::memset(buffer, 0, capacity);
    if (!handle_ || capacity == 0)
        return 0;
    const std::uint64_t deadline = clock_.TickMs() + kReadTimeoutMs;
    DWORD seen = 0;
    std::uint64_t quietSince = 0;
    while (true) {
        DWORD rx = 0, tx = 0, events = 0;
        if (lib_->GetStatus(handle_, &rx, &tx, &events) != FT_OK)
            return 0;
        const std::uint64_t now = clock_.TickMs();
        if (rx != seen) {
            seen = rx;
            quietSince = now;
        }
        // The answer has stopped growing, or fills the buffer: take it.
        if (seen > 0 && (seen >= capacity || now - quietSince >= kAnswerQuietMs || now > deadline))
            break;
        if (seen == 0 && now > deadline)
            return 0;
        clock_.SleepMs(kAnswerPollMs);
    }
    const DWORD want = seen > capacity ? static_cast<DWORD>(capacity) : seen;
    DWORD got = 0;
    if (lib_->Read(handle_, buffer, want, &got) != FT_OK)
        return 0;
    return got > want ? want : got;
}

std::vector<UsbLink::ListedTracker> UsbLink::ListTrackers()
{
    std::vector<ListedTracker> trackers;
    DWORD count = 0;
    if (!lib_ || lib_->ListCount(&count) != FT_OK)
        return trackers;
    for (DWORD i = 0; i < count; ++i) {
        char description[64] = {};
        if (lib_->ListDescription(i, description) != FT_OK)
            continue;
        description[63] = '\0';
        if (std::strncmp(description, prefix_.c_str(), prefix_.size()) != 0)
            continue;
        char serial[16] = {};
        if (lib_->ListSerial(i, serial) != FT_OK)
            serial[0] = '\0';
        serial[15] = '\0';
        trackers.push_back({static_cast<int>(i), serial, description});
    }
    return trackers;
}

void UsbLink::PinSerial(std::string serial)
{
    pinned_ = std::move(serial);
}

int UsbLink::PinnedIndex()
{
    for (const ListedTracker& t : ListTrackers())
        if (t.serial == pinned_)
            return t.index;
    return -1;
}

bool UsbLink::IsPinnedDevice(D2xx::Handle h)
{
    if (pinned_.empty())
        return true;
    char serial[16] = {};
    char description[64] = {};
    if (lib_->GetDeviceInfo(h, serial, description) != FT_OK)
        return false;
    serial[15] = '\0';
    return pinned_ == serial;
}

} // namespace plendoro
