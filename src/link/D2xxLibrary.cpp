#include "link/D2xx.h"

#include "link/LibraryChoice.h"

#include <cstdlib>
#include <dlfcn.h>

namespace plendoro {

using namespace d2xx;

namespace {
enum Entry {
    kListDevices,
    kOpen,
    kClose,
    kResetDevice,
    kPurge,
    kRead,
    kWrite,
    kSetDivisor,
    kSetTimeouts,
    kSetBaudRate,
    kGetDeviceInfo,
    kGetStatus,
    kGetQueueStatus,
    kSetRts,
    kSetDataCharacteristics,
    kSetFlowControl,
    kSetLatencyTimer,
};
} // namespace

template <typename F>
static F As(void* p)
{
    return reinterpret_cast<F>(p);
}

std::string D2xxLibrary::ExplicitFileName()
{
    const char* custom = std::getenv("PLENDORO_D2XX_LIBRARY");
    return custom ? custom : "";
}

std::unique_ptr<D2xxLibrary> D2xxLibrary::Load(const std::string& programFolder, const std::string& trackerPrefix,
                                               std::string* error)
{
    const std::string explicitFile = ExplicitFileName();
    const bool kernelHoldsTracker = explicitFile.empty() && TrackerOnKernelDriver(SysfsRoot(), trackerPrefix);
    return LoadFirst(LibraryCandidates(explicitFile, kernelHoldsTracker, KernelDriverLibraryFiles(programFolder)),
                     error);
}

std::unique_ptr<D2xxLibrary> D2xxLibrary::LoadFirst(const std::vector<std::string>& files, std::string* error)
{
    std::string reasons;
    for (const std::string& file : files) {
        std::string why;
        if (auto lib = LoadFile(file, &why))
            return lib;
        reasons += (reasons.empty() ? "" : "; ") + file + ": " + why;
    }
    if (error)
        *error = reasons;
    return nullptr;
}

std::unique_ptr<D2xxLibrary> D2xxLibrary::LoadFile(const std::string& file, std::string* error)
{
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        if (error) {
            const char* why = dlerror();
            *error = why ? why : "cannot load";
        }
        return nullptr;
    }
    std::unique_ptr<D2xxLibrary> lib(new D2xxLibrary);
    for (int i = 0; i < 17; ++i) {
        dlerror();
        void* sym = dlsym(module, kEntryPointNames[i]);
        if (!sym) {
            // All or none: a partly bound library is never used.
            if (error)
                *error = std::string("missing entry point ") + kEntryPointNames[i];
            dlclose(module);
            return nullptr;
        }
        lib->entry_[i] = sym;
    }
    lib->module_ = module;
    lib->diagnose_ = reinterpret_cast<PlendoroTtyDiagnose_t>(dlsym(module, "PlendoroTtyDiagnose"));
    lib->file_ = file;
    return lib;
}

D2xxLibrary::~D2xxLibrary()
{
    // The module stays loaded: a vendor library may own threads of its own
    // that outlive our last call, and the program binds it once anyway.
}

D2xx::Status D2xxLibrary::ListCount(DWORD* count)
{
    return As<FT_ListDevices_t>(entry_[kListDevices])(count, nullptr, FT_LIST_NUMBER_ONLY);
}

D2xx::Status D2xxLibrary::ListDescription(DWORD index, char description[64])
{
    return As<FT_ListDevices_t>(entry_[kListDevices])(
        // By index, the library takes the index in place of the first pointer.
        reinterpret_cast<void*>(static_cast<std::uintptr_t>(index)), // NOLINT(performance-no-int-to-ptr)
        description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION);
}

D2xx::Status D2xxLibrary::ListSerial(DWORD index, char serial[16])
{
    return As<FT_ListDevices_t>(entry_[kListDevices])(
        reinterpret_cast<void*>(static_cast<std::uintptr_t>(index)), // NOLINT(performance-no-int-to-ptr)
        serial, FT_LIST_BY_INDEX | FT_OPEN_BY_SERIAL_NUMBER);
}

D2xx::Status D2xxLibrary::Open(int index, Handle* handle)
{
    return As<FT_Open_t>(entry_[kOpen])(index, handle);
}

D2xx::Status D2xxLibrary::Close(Handle h)
{
    return As<FT_Close_t>(entry_[kClose])(h);
}

D2xx::Status D2xxLibrary::ResetDevice(Handle h)
{
    return As<FT_ResetDevice_t>(entry_[kResetDevice])(h);
}

D2xx::Status D2xxLibrary::Read(Handle h, void* buffer, DWORD count, DWORD* got)
{
    return As<FT_Read_t>(entry_[kRead])(h, buffer, count, got);
}

D2xx::Status D2xxLibrary::Write(Handle h, const void* bytes, DWORD count, DWORD* sent)
{
    return As<FT_Write_t>(entry_[kWrite])(h, const_cast<void*>(bytes), count, sent);
}

D2xx::Status D2xxLibrary::SetTimeouts(Handle h, ULONG readMs, ULONG writeMs)
{
    return As<FT_SetTimeouts_t>(entry_[kSetTimeouts])(h, readMs, writeMs);
}

D2xx::Status D2xxLibrary::SetBaudRate(Handle h, ULONG baud)
{
    return As<FT_SetBaudRate_t>(entry_[kSetBaudRate])(h, baud);
}

D2xx::Status D2xxLibrary::GetDeviceInfo(Handle h, char serial[16], char description[64])
{
    ULONG type = 0;
    DWORD id = 0;
    return As<FT_GetDeviceInfo_t>(entry_[kGetDeviceInfo])(h, &type, &id, serial, description, nullptr);
}

D2xx::Status D2xxLibrary::GetStatus(Handle h, DWORD* rx, DWORD* tx, DWORD* events)
{
    return As<FT_GetStatus_t>(entry_[kGetStatus])(h, rx, tx, events);
}

D2xx::Status D2xxLibrary::SetDataCharacteristics(Handle h, UCHAR bits, UCHAR stop, UCHAR parity)
{
    return As<FT_SetDataCharacteristics_t>(entry_[kSetDataCharacteristics])(h, bits, stop, parity);
}

D2xx::Status D2xxLibrary::SetFlowControl(Handle h, USHORT flow, UCHAR xon, UCHAR xoff)
{
    return As<FT_SetFlowControl_t>(entry_[kSetFlowControl])(h, flow, xon, xoff);
}

D2xx::Status D2xxLibrary::SetLatencyTimer(Handle h, UCHAR ms)
{
    return As<FT_SetLatencyTimer_t>(entry_[kSetLatencyTimer])(h, ms);
}

} // namespace plendoro

namespace plendoro {

OpenFailure D2xxLibrary::DiagnoseOpen(int index)
{
    OpenFailure failure;
    if (!diagnose_ || index < 0)
        return failure;
    char node[256] = {};
    char holder[64] = {};
    const int kind = diagnose_(static_cast<DWORD>(index), node, sizeof node, holder, sizeof holder);
    node[sizeof node - 1] = '\0';
    holder[sizeof holder - 1] = '\0';
    if (kind != 1 && kind != 2)
        return failure;
    failure.kind = kind == 1 ? OpenFailure::Kind::NoPermission : OpenFailure::Kind::Busy;
    failure.node = node;
    failure.holder = holder;
    return failure;
}

} // namespace plendoro
