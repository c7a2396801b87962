#pragma once
// The vendor's D2XX library as this program uses it: the C ABI of its Linux
// build and one small interface over it, so the transport can run on the
// real library, the simulated tracker or an in-memory fake.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plendoro {

namespace d2xx {
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using USHORT = std::uint16_t;
using UCHAR = std::uint8_t;
using FT_STATUS = std::uint32_t;
using FT_HANDLE = void*;

constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_NOT_SUPPORTED = 17;
constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000u;
constexpr DWORD FT_LIST_BY_INDEX = 0x40000000u;
constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 0x00000001u;
constexpr DWORD FT_OPEN_BY_DESCRIPTION = 0x00000002u;

extern "C" {
using FT_ListDevices_t = FT_STATUS (*)(void*, void*, DWORD);
using FT_Open_t = FT_STATUS (*)(int, FT_HANDLE*);
using FT_Close_t = FT_STATUS (*)(FT_HANDLE);
using FT_ResetDevice_t = FT_STATUS (*)(FT_HANDLE);
using FT_Purge_t = FT_STATUS (*)(FT_HANDLE, ULONG);
using FT_Read_t = FT_STATUS (*)(FT_HANDLE, void*, DWORD, DWORD*);
using FT_Write_t = FT_STATUS (*)(FT_HANDLE, void*, DWORD, DWORD*);
using FT_SetDivisor_t = FT_STATUS (*)(FT_HANDLE, USHORT);
using FT_SetTimeouts_t = FT_STATUS (*)(FT_HANDLE, ULONG, ULONG);
using FT_SetBaudRate_t = FT_STATUS (*)(FT_HANDLE, ULONG);
using FT_GetDeviceInfo_t = FT_STATUS (*)(FT_HANDLE, ULONG*, DWORD*, char*, char*, void*);
using FT_GetStatus_t = FT_STATUS (*)(FT_HANDLE, DWORD*, DWORD*, DWORD*);
using FT_GetQueueStatus_t = FT_STATUS (*)(FT_HANDLE, DWORD*);
using FT_SetRts_t = FT_STATUS (*)(FT_HANDLE);
using FT_SetDataCharacteristics_t = FT_STATUS (*)(FT_HANDLE, UCHAR, UCHAR, UCHAR);
using FT_SetFlowControl_t = FT_STATUS (*)(FT_HANDLE, USHORT, UCHAR, UCHAR);
using FT_SetLatencyTimer_t = FT_STATUS (*)(FT_HANDLE, UCHAR);
// Our kernel-driver library's one addition: why the last open of a device
// failed. 0 nothing to say, 1 no permission, 2 held by another program.
using PlendoroTtyDiagnose_t = int (*)(DWORD, char*, DWORD, char*, DWORD);
}

// Resolved in this order; the binding needs all of them, even the ones the
// program never calls.
inline constexpr const char* kEntryPointNames[17] = {
    "FT_ListDevices",
    "FT_Open",
    "FT_Close",
    "FT_ResetDevice",
    "FT_Purge",
    "FT_Read",
    "FT_Write",
    "FT_SetDivisor",
    "FT_SetTimeouts",
    "FT_SetBaudRate",
    "FT_GetDeviceInfo",
    "FT_GetStatus",
    "FT_GetQueueStatus",
    "FT_SetRts",
    "FT_SetDataCharacteristics",
    "FT_SetFlowControl",
    "FT_SetLatencyTimer",
};
} // namespace d2xx

// Why a listed device did not open, when the library can tell.
struct OpenFailure {
    enum class Kind { None, NoPermission, Busy };
    Kind kind = Kind::None;
    std::string node;   // the port's device node
    std::string holder; // for Busy: the program holding it, when known
};

// The calls the transport makes. Buffers are as the library takes them:
// description 64 bytes, serial 16 bytes, NUL-terminated.
class D2xx {
public:
    using Handle = d2xx::FT_HANDLE;
    using Status = d2xx::FT_STATUS;

    virtual ~D2xx() = default;
    virtual Status ListCount(d2xx::DWORD* count) = 0;
    virtual Status ListDescription(d2xx::DWORD index, char description[64]) = 0;
    virtual Status Open(int index, Handle* handle) = 0;
    virtual Status Close(Handle h) = 0;
    virtual Status ResetDevice(Handle h) = 0;
    virtual Status Read(Handle h, void* buffer, d2xx::DWORD count, d2xx::DWORD* got) = 0;
    virtual Status Write(Handle h, const void* bytes, d2xx::DWORD count, d2xx::DWORD* sent) = 0;
    virtual Status SetTimeouts(Handle h, d2xx::ULONG readMs, d2xx::ULONG writeMs) = 0;
    virtual Status SetBaudRate(Handle h, d2xx::ULONG baud) = 0;
    virtual Status GetDeviceInfo(Handle h, char serial[16], char description[64]) = 0;
    virtual Status GetStatus(Handle h, d2xx::DWORD* rx, d2xx::DWORD* tx, d2xx::DWORD* events) = 0;
    virtual Status SetDataCharacteristics(Handle h, d2xx::UCHAR bits, d2xx::UCHAR stop, d2xx::UCHAR parity) = 0;
    virtual Status SetFlowControl(Handle h, d2xx::USHORT flow, d2xx::UCHAR xon, d2xx::UCHAR xoff) = 0;
    virtual Status SetLatencyTimer(Handle h, d2xx::UCHAR ms) = 0;
    virtual OpenFailure DiagnoseOpen(int /*index*/) { return {}; }
    // The serial number the library lists for a device, without opening it.
    virtual Status ListSerial(d2xx::DWORD /*index*/, char /*serial*/[16]) { return d2xx::FT_NOT_SUPPORTED; }
};

// The library bound with the dynamic loader.
class D2xxLibrary final : public D2xx {
public:
    ~D2xxLibrary() override;

    // Loads the file named by PLENDORO_D2XX_LIBRARY and nothing else, else
    // the first of the vendor's "libftd2xx.so" (by bare name: the loader's
    // search rules apply) and our kernel-driver library beside the program
    // or in its library folder that binds, in the order LibraryCandidates
    // gives (`trackerPrefix` finds a tracker on the kernel's driver). Null
    // when none binds; `error` then says why for each.
    static std::unique_ptr<D2xxLibrary> Load(const std::string& programFolder, const std::string& trackerPrefix,
                                             std::string* error = nullptr);
    // Null when the file is missing or lacks any of the 17 entry points.
    static std::unique_ptr<D2xxLibrary> LoadFile(const std::string& file, std::string* error = nullptr);
    static std::unique_ptr<D2xxLibrary> LoadFirst(const std::vector<std::string>& files, std::string* error = nullptr);
    static std::string ExplicitFileName();

    // The file the library was bound from.
    const std::string& File() const { return file_; }

    Status ListCount(d2xx::DWORD* count) override;
    Status ListDescription(d2xx::DWORD index, char description[64]) override;
    Status Open(int index, Handle* handle) override;
    Status Close(Handle h) override;
    Status ResetDevice(Handle h) override;
    Status Read(Handle h, void* buffer, d2xx::DWORD count, d2xx::DWORD* got) override;
    Status Write(Handle h, const void* bytes, d2xx::DWORD count, d2xx::DWORD* sent) override;
    Status SetTimeouts(Handle h, d2xx::ULONG readMs, d2xx::ULONG writeMs) override;
    Status SetBaudRate(Handle h, d2xx::ULONG baud) override;
    Status GetDeviceInfo(Handle h, char serial[16], char description[64]) override;
    Status GetStatus(Handle h, d2xx::DWORD* rx, d2xx::DWORD* tx, d2xx::DWORD* events) override;
    Status SetDataCharacteristics(Handle h, d2xx::UCHAR bits, d2xx::UCHAR stop, d2xx::UCHAR parity) override;
    Status SetFlowControl(Handle h, d2xx::USHORT flow, d2xx::UCHAR xon, d2xx::UCHAR xoff) override;
    Status SetLatencyTimer(Handle h, d2xx::UCHAR ms) override;
    OpenFailure DiagnoseOpen(int index) override;
    Status ListSerial(d2xx::DWORD index, char serial[16]) override;

private:
    D2xxLibrary() = default;
    void* module_ = nullptr;
    void* entry_[17] = {};
    d2xx::PlendoroTtyDiagnose_t diagnose_ = nullptr;
    std::string file_;
};

} // namespace plendoro
