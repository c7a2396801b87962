// The vendor library's entry points, as the bridge's driver answers them.
#include "World.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using USHORT = std::uint16_t;
using UCHAR = std::uint8_t;
using FT_STATUS = std::uint32_t;
using FT_HANDLE = void*;

constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_INVALID_HANDLE = 1;
constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;
constexpr FT_STATUS FT_NOT_SUPPORTED = 17;

constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000u;
constexpr DWORD FT_LIST_BY_INDEX = 0x40000000u;
constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr DWORD FT_OPEN_BY_DESCRIPTION = 2;
constexpr ULONG FT_PURGE_RX = 1;
constexpr ULONG FT_DEVICE_232R = 5;
constexpr DWORD kVidPid = 0x04036001u;
// A blocked read with timeout 0 waits for good, as the real driver does.
constexpr auto kForever = std::chrono::hours(24 * 365);

using namespace plsim;

void CopyText(char* out, std::size_t capacity, const std::string& text)
{
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// Runs `action` on the live device behind a handle, under the world's lock.
template <typename Action>
FT_STATUS WithDevice(FT_HANDLE h, Action action)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    auto state = w.Find(h);
    if (!state) return FT_INVALID_HANDLE;
    if (state->dead) return FT_IO_ERROR;
    std::shared_ptr<Device> device = state->device;
    const TimePoint now = Clock::now();
    device->Advance(now, w.timing);
    const FT_STATUS status = action(*device, now);
    w.changed.notify_all();
    return status;
}

} // namespace

#pragma GCC visibility push(default)
extern "C" {

FT_STATUS FT_ListDevices(void* arg1, void* arg2, DWORD flags)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    if (flags & FT_LIST_NUMBER_ONLY) {
        if (!arg1) return FT_INVALID_PARAMETER;
        *static_cast<DWORD*>(arg1) = w.PluggedCount();
        return FT_OK;
    }
    if (flags & FT_LIST_BY_INDEX) {
        const DWORD what = flags & ~FT_LIST_BY_INDEX;
        if (what != FT_OPEN_BY_DESCRIPTION && what != FT_OPEN_BY_SERIAL_NUMBER) return FT_NOT_SUPPORTED;
        if (!arg2) return FT_INVALID_PARAMETER;
        auto device = w.Plugged(DWORD(reinterpret_cast<std::uintptr_t>(arg1)));
        if (!device) return FT_DEVICE_NOT_FOUND;
        if (what == FT_OPEN_BY_DESCRIPTION) CopyText(static_cast<char*>(arg2), 64, device->setup.description);
        else CopyText(static_cast<char*>(arg2), 16, device->setup.serial);
        return FT_OK;
    }
    return FT_NOT_SUPPORTED;
}

FT_STATUS FT_Open(int index, FT_HANDLE* handle)
{
    if (!handle) return FT_INVALID_PARAMETER;
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    auto device = index < 0 ? nullptr : w.Plugged(DWORD(index));
    if (!device) return FT_DEVICE_NOT_FOUND;
    if (device->handle) return FT_DEVICE_NOT_OPENED;
    *handle = w.NewHandle(device, Clock::now());
    return FT_OK;
}

FT_STATUS FT_Close(FT_HANDLE h)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    auto state = w.Find(h);
    if (!state) return FT_INVALID_HANDLE;
    if (!state->dead) {
        state->device->Advance(Clock::now(), w.timing);
        state->device->DropUndelivered();
        state->device->handle.reset();
        state->device.reset();
    }
    // A read still blocked on this handle in another thread gives up.
    state->dead = true;
    state->leftover.clear();
    w.ForgetHandle(h);
    w.changed.notify_all();
    return FT_OK;
}

FT_STATUS FT_ResetDevice(FT_HANDLE h)
{
    return WithDevice(h, [](Device& d, TimePoint) {
        d.DropUndelivered();
        return FT_OK;
    });
}

FT_STATUS FT_Purge(FT_HANDLE h, ULONG mask)
{
    // The firmware acts on request bytes as they come, so there is nothing
    // to take back on the transmit side.
    return WithDevice(h, [mask](Device& d, TimePoint now) {
        if (mask & FT_PURGE_RX) d.PurgeArrived(now);
        return FT_OK;
    });
}

FT_STATUS FT_Read(FT_HANDLE h, void* buffer, DWORD count, DWORD* got)
{
    if (!got || (count && !buffer)) return FT_INVALID_PARAMETER;
    *got = 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    World& w = World::Get();
    std::unique_lock lock(w.mutex);
    auto state = w.Find(h);
    if (!state) return FT_INVALID_HANDLE;
    if (state->device) state->device->Advance(Clock::now(), w.timing);

    const std::uint32_t timeoutMs = state->device ? state->device->bridge.readTimeoutMs : 0;
    const TimePoint deadline = Clock::now() + (timeoutMs ? Nanos(Millis(timeoutMs)) : Nanos(kForever));
    for (;;) {
        if (state->dead) {
            DWORD n = 0;
            while (n < count && !state->leftover.empty()) {
                out[n++] = state->leftover.front();
                state->leftover.pop_front();
            }
            *got = n;
            return n == count ? FT_OK : FT_IO_ERROR;
        }
        Device& d = *state->device;
        const TimePoint now = Clock::now();
        d.Advance(now, w.timing);
        if (d.Arrived(now) >= count || now >= deadline) {
            *got = DWORD(d.Take(out, count, now));
            return FT_OK;
        }
        const auto when = d.WhenAvailable(count, w.timing);
        w.changed.wait_until(lock, when ? std::min(*when, deadline) : deadline);
    }
}

FT_STATUS FT_Write(FT_HANDLE h, void* buffer, DWORD count, DWORD* written)
{
    if (count && !buffer) return FT_INVALID_PARAMETER;
    if (written) *written = 0;
    return WithDevice(h, [&](Device& d, TimePoint now) {
        d.HostWrite(static_cast<const std::uint8_t*>(buffer), count, now, World::Get().timing);
        if (written) *written = count;
        return FT_OK;
    });
}

FT_STATUS FT_SetDivisor(FT_HANDLE h, USHORT divisor)
{
    // The bridge divides its 3 MHz baud clock.
    const std::uint32_t baud = divisor ? 3000000u / divisor : 3000000u;
    if (baud < 183) return FT_INVALID_BAUD_RATE;
    return WithDevice(h, [baud](Device& d, TimePoint) {
        d.bridge.baud = baud;
        return FT_OK;
    });
}

FT_STATUS FT_SetTimeouts(FT_HANDLE h, ULONG readMs, ULONG writeMs)
{
    return WithDevice(h, [=](Device& d, TimePoint) {
        d.bridge.readTimeoutMs = readMs;
        d.bridge.writeTimeoutMs = writeMs;
        return FT_OK;
    });
}

FT_STATUS FT_SetBaudRate(FT_HANDLE h, ULONG baud)
{
    if (baud < 183 || baud > 3000000) return FT_INVALID_BAUD_RATE;
    return WithDevice(h, [baud](Device& d, TimePoint) {
        d.bridge.baud = baud;
        return FT_OK;
    });
}

FT_STATUS FT_GetDeviceInfo(FT_HANDLE h, ULONG* type, DWORD* id, char* serial, char* description, void*)
{
    return WithDevice(h, [=](Device& d, TimePoint) {
        if (type) *type = FT_DEVICE_232R;
        if (id) *id = kVidPid;
        if (serial) CopyText(serial, 16, d.setup.serial);
        if (description) CopyText(description, 64, d.setup.description);
        return FT_OK;
    });
}

FT_STATUS FT_GetStatus(FT_HANDLE h, DWORD* rx, DWORD* tx, DWORD* events)
{
    if (!rx || !tx || !events) return FT_INVALID_PARAMETER;
    *rx = *tx = *events = 0;
    return WithDevice(h, [=](Device& d, TimePoint now) {
        *rx = DWORD(d.Arrived(now));
        *tx = DWORD(d.InFlightToDevice(now, World::Get().timing));
        return FT_OK;
    });
}

FT_STATUS FT_GetQueueStatus(FT_HANDLE h, DWORD* rx)
{
    if (!rx) return FT_INVALID_PARAMETER;
    *rx = 0;
    return WithDevice(h, [=](Device& d, TimePoint now) {
        *rx = DWORD(d.Arrived(now));
        return FT_OK;
    });
}

FT_STATUS FT_SetRts(FT_HANDLE h)
{
    return WithDevice(h, [](Device&, TimePoint) { return FT_OK; });
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE h, UCHAR bits, UCHAR stopBits, UCHAR parity)
{
    if ((bits != 7 && bits != 8) || (stopBits != 0 && stopBits != 2) || parity > 4) return FT_INVALID_PARAMETER;
    return WithDevice(h, [=](Device& d, TimePoint) {
        d.bridge.bits = bits;
        d.bridge.stopBits = stopBits;
        d.bridge.parity = parity;
        return FT_OK;
    });
}

FT_STATUS FT_SetFlowControl(FT_HANDLE h, USHORT flow, UCHAR, UCHAR)
{
    if (flow != 0 && flow != 0x0100 && flow != 0x0200 && flow != 0x0400) return FT_INVALID_PARAMETER;
    return WithDevice(h, [flow](Device& d, TimePoint) {
        d.bridge.flow = flow;
        return FT_OK;
    });
}

FT_STATUS FT_SetLatencyTimer(FT_HANDLE h, UCHAR ms)
{
    if (ms == 0) return FT_INVALID_PARAMETER;
    return WithDevice(h, [ms](Device& d, TimePoint) {
        d.bridge.latencyMs = ms;
        return FT_OK;
    });
}

} // extern "C"
#pragma GCC visibility pop
