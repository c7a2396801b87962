#pragma once
// A fake kernel for the kernel-driver library: a sysfs tree and a /dev
// folder whose ttyUSB nodes are links (to a pseudo-terminal's slave, say);
// the library bound as the program binds it, plus the calls it lacks.
#include "link/D2xx.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace ttytest {

namespace fs = std::filesystem;
using namespace plendoro::d2xx;

constexpr FT_STATUS kDeviceNotFound = 2;
constexpr FT_STATUS kDeviceNotOpened = 3;
constexpr FT_STATUS kIoError = 4;

struct TtyLibrary {
    TtyLibrary()
    {
        std::string error;
        d2xx = plendoro::D2xxLibrary::LoadFile(PLENDORO_TTYUSB_LIBRARY, &error);
        EXPECT_TRUE(d2xx) << error;
        void* module = dlopen(PLENDORO_TTYUSB_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        list = reinterpret_cast<FT_ListDevices_t>(dlsym(module, "FT_ListDevices"));
        diagnose = reinterpret_cast<Diagnose_t>(dlsym(module, "PlendoroTtyDiagnose"));
    }
    DWORD Count()
    {
        DWORD n = 0;
        EXPECT_EQ(d2xx->ListCount(&n), FT_OK);
        return n;
    }
    std::string Description(DWORD index)
    {
        char text[64] = "unchanged";
        const FT_STATUS status = d2xx->ListDescription(index, text);
        return status == FT_OK ? text : "status " + std::to_string(status);
    }
    std::string Serial(DWORD index)
    {
        char text[16] = {};
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        list(reinterpret_cast<void*>(std::uintptr_t(index)), text, FT_LIST_BY_INDEX | 1u);
        return text;
    }
    // The diagnosis code, with the node and the holder it names.
    int Diagnosis(DWORD index, std::string& path, std::string& holder)
    {
        char p[256] = "x", h[64] = "x";
        const int code = diagnose(index, p, sizeof p, h, sizeof h);
        path = p;
        holder = h;
        return code;
    }

    using Diagnose_t = int (*)(DWORD, char*, DWORD, char*, DWORD);
    std::unique_ptr<plendoro::D2xx> d2xx;
    FT_ListDevices_t list = nullptr;
    Diagnose_t diagnose = nullptr;
};

} // namespace ttytest
