// The vendor library's entry points over the kernel's ftdi_sio driver, and
// PlendoroTtyDiagnose beside them.
#include "Diagnose.h"
#include "Port.h"
#include "Sysfs.h"
#include "link/D2xx.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <type_traits>
#include <unistd.h>

namespace {

using namespace plendoro::ttyusb;
// The program's own view of the vendor's ABI, so the two cannot differ.
using namespace plendoro::d2xx;

constexpr ULONG FT_PURGE_RX = 1;
constexpr ULONG FT_PURGE_TX = 2;

struct Handle {
    std::unique_ptr<Port> port;
    TtyPort device;
    std::string sysfsRoot;
};

// How the last open of a device index ended.
struct OpenOutcome {
    int error = 0;
    std::string node;
};

struct State {
    std::mutex mutex;
    // Opening goes by the last listing, so an index means the port that was
    // listed under it even when another port came or went since.
    std::vector<TtyPort> listed;
    bool haveListing = false;
    std::map<FT_HANDLE, std::shared_ptr<Handle>> handles;
    std::map<DWORD, OpenOutcome> outcomes;

    const std::vector<TtyPort>& Listing()
    {
        if (!haveListing)
            Relist();
        return listed;
    }
    void Relist()
    {
        listed = ListPorts(SysfsRoot());
        haveListing = true;
    }
};

State& Get()
{
    static State state;
    return state;
}

std::shared_ptr<Handle> Find(FT_HANDLE h)
{
    State& s = Get();
    std::lock_guard lock(s.mutex);
    auto it = s.handles.find(h);
    return it == s.handles.end() ? nullptr : it->second;
}

// Runs `action` on the open port behind a handle. The port stays alive for
// the call even if another thread closes the handle meanwhile.
template <typename Action>
FT_STATUS WithPort(FT_HANDLE h, Action action)
{
    const std::shared_ptr<Handle> handle = Find(h);
    if (!handle)
        return kInvalidHandle;
    return action(*handle);
}

void CopyText(char* out, std::size_t capacity, const std::string& text)
{
    if (!out || capacity == 0)
        return;
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// The vendor's device type, from the bridge's product id.
ULONG DeviceType(std::uint16_t productId)
{
    switch (productId) {
    case 0x6001: return 5; // FT232R
    case 0x6010: return 6; // FT2232H
    case 0x6011: return 7; // FT4232H
    case 0x6014: return 8; // FT232H
    case 0x6015: return 9; // FT-X
    default: return 3;     // unknown
    }
}

FT_STATUS NotOpened(int error)
{
    return error == ENOENT || error == ENODEV || error == ENXIO ? kDeviceNotFound : kDeviceNotOpened;
}

// Whether the port's name still belongs to the USB device it was listed
// for. The node is opened by the name it had at the last listing, and a
// tracker unplugged meanwhile leaves that name to the next device plugged
// in, which would then get the tracker's exchanges.
bool StillListedDevice(const std::string& sysfsRoot, const TtyPort& listed)
{
    TtyPort now;
    return ReadPort(sysfsRoot, listed.name, now) && now.description == listed.description &&
           now.serial == listed.serial && now.vendorId == listed.vendorId && now.productId == listed.productId;
}

} // namespace

#pragma GCC visibility push(default)
extern "C" {

FT_STATUS FT_ListDevices(void* arg1, void* arg2, DWORD flags)
{
    State& s = Get();
    std::lock_guard lock(s.mutex);
    if (flags & FT_LIST_NUMBER_ONLY) {
        if (!arg1)
            return kInvalidParameter;
        s.Relist();
        *static_cast<DWORD*>(arg1) = static_cast<DWORD>(s.listed.size());
        return kOk;
    }
    if (flags & FT_LIST_BY_INDEX) {
        const DWORD what = flags & ~FT_LIST_BY_INDEX;
        if (what != FT_OPEN_BY_DESCRIPTION && what != FT_OPEN_BY_SERIAL_NUMBER)
            return kNotSupported;
        if (!arg2)
            return kInvalidParameter;
        // By index, the library takes the index in place of the first pointer.
        const auto index = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(arg1));
        const std::vector<TtyPort>& ports = s.Listing();
        if (index >= ports.size())
            return kDeviceNotFound;
        if (what == FT_OPEN_BY_DESCRIPTION)
            CopyText(static_cast<char*>(arg2), 64, ports[index].description);
        else
            CopyText(static_cast<char*>(arg2), 16, ports[index].serial);
        return kOk;
    }
    return kNotSupported;
}

FT_STATUS FT_Open(int index, FT_HANDLE* handle)
{
    if (!handle)
        return kInvalidParameter;
    State& s = Get();
    std::lock_guard lock(s.mutex);
    const std::vector<TtyPort>& ports = s.Listing();
    if (index < 0)
        return kDeviceNotFound;
    OpenOutcome& outcome = s.outcomes[static_cast<DWORD>(index)];
    outcome = OpenOutcome{};
    if (static_cast<std::size_t>(index) >= ports.size())
        return kDeviceNotFound;
    auto h = std::make_shared<Handle>();
    h->device = ports[static_cast<std::size_t>(index)];
    h->sysfsRoot = SysfsRoot();
    outcome.node = DevRoot() + "/" + h->device.name;
    // Asked before the open, so that another device's port is not even
    // touched, and again once the open node holds the name.
    if (!StillListedDevice(h->sysfsRoot, h->device))
        return kDeviceNotFound;
    h->port = Port::Open(outcome.node, outcome.error);
    if (!h->port)
        return NotOpened(outcome.error);
    if (!StillListedDevice(h->sysfsRoot, h->device))
        return kDeviceNotFound;
    *handle = h.get();
    s.handles[h.get()] = std::move(h);
    return kOk;
}

FT_STATUS FT_Close(FT_HANDLE h)
{
    std::shared_ptr<Handle> handle;
    {
        State& s = Get();
        std::lock_guard lock(s.mutex);
        auto it = s.handles.find(h);
        if (it == s.handles.end())
            return kInvalidHandle;
        handle = std::move(it->second);
        s.handles.erase(it);
    }
    // A read blocked on this handle in another thread gives up; the port
    // closes when the last call using it returns.
    handle->port->Wake();
    return kOk;
}

FT_STATUS FT_ResetDevice(FT_HANDLE h)
{
    return WithPort(h, [](Handle& p) { return p.port->Purge(true, true); });
}

FT_STATUS FT_Purge(FT_HANDLE h, ULONG mask)
{
    return WithPort(h, [mask](Handle& p) { return p.port->Purge(mask & FT_PURGE_RX, mask & FT_PURGE_TX); });
}

FT_STATUS FT_Read(FT_HANDLE h, void* buffer, DWORD count, DWORD* got)
{
    if (!got || (count && !buffer))
        return kInvalidParameter;
    *got = 0;
    return WithPort(h, [&](Handle& p) {
        std::size_t n = 0;
        const Status status = p.port->Read(static_cast<std::uint8_t*>(buffer), count, n);
        *got = static_cast<DWORD>(n);
        return status;
    });
}

FT_STATUS FT_Write(FT_HANDLE h, void* buffer, DWORD count, DWORD* written)
{
    if (count && !buffer)
        return kInvalidParameter;
    if (written)
        *written = 0;
    return WithPort(h, [&](Handle& p) {
        std::size_t n = 0;
        const Status status = p.port->Write(static_cast<const std::uint8_t*>(buffer), count, n);
        if (written)
            *written = static_cast<DWORD>(n);
        return status;
    });
}

FT_STATUS FT_SetDivisor(FT_HANDLE h, USHORT divisor)
{
    // The bridge divides its 3 MHz baud clock.
    const unsigned baud = divisor ? 3000000u / divisor : 3000000u;
    return WithPort(h, [baud](Handle& p) { return p.port->SetBaudRate(baud); });
}

FT_STATUS FT_SetTimeouts(FT_HANDLE h, ULONG readMs, ULONG writeMs)
{
    return WithPort(h, [=](Handle& p) {
        p.port->SetTimeouts(readMs, writeMs);
        return kOk;
    });
}

FT_STATUS FT_SetBaudRate(FT_HANDLE h, ULONG baud)
{
    return WithPort(h, [baud](Handle& p) { return p.port->SetBaudRate(baud); });
}

FT_STATUS FT_GetDeviceInfo(FT_HANDLE h, ULONG* type, DWORD* id, char* serial, char* description, void*)
{
    return WithPort(h, [=](Handle& p) {
        if (type)
            *type = DeviceType(p.device.productId);
        if (id)
            *id = static_cast<DWORD>(p.device.vendorId) << 16 | p.device.productId;
        CopyText(serial, 16, p.device.serial);
        CopyText(description, 64, p.device.description);
        return kOk;
    });
}

FT_STATUS FT_GetStatus(FT_HANDLE h, DWORD* rx, DWORD* tx, DWORD* events)
{
    if (!rx || !tx || !events)
        return kInvalidParameter;
    *rx = *tx = *events = 0;
    return WithPort(h, [=](Handle& p) { return p.port->Queued(rx, tx); });
}

FT_STATUS FT_GetQueueStatus(FT_HANDLE h, DWORD* rx)
{
    if (!rx)
        return kInvalidParameter;
    *rx = 0;
    return WithPort(h, [=](Handle& p) { return p.port->Queued(rx, nullptr); });
}

FT_STATUS FT_SetRts(FT_HANDLE h)
{
    return WithPort(h, [](Handle& p) { return p.port->SetRts(); });
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE h, UCHAR bits, UCHAR stopBits, UCHAR parity)
{
    return WithPort(h, [=](Handle& p) { return p.port->SetDataCharacteristics(bits, stopBits, parity); });
}

FT_STATUS FT_SetFlowControl(FT_HANDLE h, USHORT flow, UCHAR xon, UCHAR xoff)
{
    return WithPort(h, [=](Handle& p) { return p.port->SetFlowControl(flow, xon, xoff); });
}

FT_STATUS FT_SetLatencyTimer(FT_HANDLE h, UCHAR ms)
{
    if (ms == 0)
        return kInvalidParameter;
    return WithPort(h, [ms](Handle& p) {
        // Root owns the attribute unless a udev rule gave it away; without
        // it the bridge keeps its own timer and the port still works.
        const std::string file = p.sysfsRoot + "/bus/usb-serial/devices/" + p.device.name + "/latency_timer";
        const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd >= 0) {
            const std::string text = std::to_string(ms);
            [[maybe_unused]] const ssize_t n = ::write(fd, text.data(), text.size());
            ::close(fd);
        }
        return kOk;
    });
}

// Why the last FT_Open of a device index failed: 0 nothing to say (it
// opened, was never tried, or failed for another reason), 1 permission
// denied, 2 held by another process, whose name goes to `holder` (empty
// when it cannot be found). `path` gets the device node that was opened.
int PlendoroTtyDiagnose(DWORD index, char* path, DWORD pathSize, char* holder, DWORD holderSize)
{
    OpenOutcome outcome;
    {
        State& s = Get();
        std::lock_guard lock(s.mutex);
        auto it = s.outcomes.find(index);
        if (it != s.outcomes.end())
            outcome = it->second;
    }
    const Diagnosis d = DiagnoseOpenFailure(outcome.error, outcome.node, ProcRoot());
    CopyText(path, pathSize, outcome.node);
    CopyText(holder, holderSize, d.holder);
    return d.code;
}

} // extern "C"
#pragma GCC visibility pop

static_assert(std::is_same_v<decltype(&FT_ListDevices), FT_ListDevices_t>);
static_assert(std::is_same_v<decltype(&FT_Open), FT_Open_t>);
static_assert(std::is_same_v<decltype(&FT_Close), FT_Close_t>);
static_assert(std::is_same_v<decltype(&FT_ResetDevice), FT_ResetDevice_t>);
static_assert(std::is_same_v<decltype(&FT_Purge), FT_Purge_t>);
static_assert(std::is_same_v<decltype(&FT_Read), FT_Read_t>);
static_assert(std::is_same_v<decltype(&FT_Write), FT_Write_t>);
static_assert(std::is_same_v<decltype(&FT_SetDivisor), FT_SetDivisor_t>);
static_assert(std::is_same_v<decltype(&FT_SetTimeouts), FT_SetTimeouts_t>);
static_assert(std::is_same_v<decltype(&FT_SetBaudRate), FT_SetBaudRate_t>);
static_assert(std::is_same_v<decltype(&FT_GetDeviceInfo), FT_GetDeviceInfo_t>);
static_assert(std::is_same_v<decltype(&FT_GetStatus), FT_GetStatus_t>);
static_assert(std::is_same_v<decltype(&FT_GetQueueStatus), FT_GetQueueStatus_t>);
static_assert(std::is_same_v<decltype(&FT_SetRts), FT_SetRts_t>);
static_assert(std::is_same_v<decltype(&FT_SetDataCharacteristics), FT_SetDataCharacteristics_t>);
static_assert(std::is_same_v<decltype(&FT_SetFlowControl), FT_SetFlowControl_t>);
static_assert(std::is_same_v<decltype(&FT_SetLatencyTimer), FT_SetLatencyTimer_t>);
