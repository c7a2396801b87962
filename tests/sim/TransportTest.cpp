// The bridge as the host sees it: binding, listing, opening, timeouts,
// receive counts, unplugging and resets.
#include "SimHost.h"

#include <dlfcn.h>

using namespace simtest;

namespace {

DWORD Count()
{
    DWORD n = 12345;
    EXPECT_EQ(FT_ListDevices(&n, nullptr, 0x80000000u), 0u);
    return n;
}

// By index: 0x40000002 gives the description, 0x40000001 the serial.
std::string Listed(DWORD index, DWORD flags = 0x40000002u)
{
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    const FT_STATUS s = FT_ListDevices(reinterpret_cast<void*>(std::uintptr_t(index)), buffer, flags);
    if (s != 0)
        return "status " + std::to_string(s);
    EXPECT_NE(std::memchr(buffer, 0, sizeof buffer), nullptr) << "not NUL-terminated";
    return buffer;
}

} // namespace

TEST(SimBinding, ExportsTheSeventeenEntryPointsByNameAndNothingOfItsOwn)
{
    void* lib = dlopen(PLENDORO_SIM_LIBRARY, RTLD_NOW);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name :
         {"FT_ListDevices", "FT_Open", "FT_Close", "FT_ResetDevice", "FT_Purge", "FT_Read", "FT_Write", "FT_SetDivisor",
          "FT_SetTimeouts", "FT_SetBaudRate", "FT_GetDeviceInfo", "FT_GetStatus", "FT_GetQueueStatus", "FT_SetRts",
          "FT_SetDataCharacteristics", "FT_SetFlowControl", "FT_SetLatencyTimer"})
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    EXPECT_EQ(dlsym(lib, "FT_Read"), reinterpret_cast<void*>(&FT_Read)) << "one instance behind both bindings";
    EXPECT_EQ(dlsym(lib, "_ZN5plsim5Sum16EPKhm"), nullptr);
    dlclose(lib);
}

TEST_F(SimTest, ListsOnlyPluggedDevicesInScenarioOrder)
{
    ASSERT_EQ(PlSim_LoadScenarioText(R"(
[device]
kind foreign
description FT232R USB UART
[device]
serial 0005000
[device]
description Kovaltrak WiFi second one with a description of 63 characters!
serial 0012345
plugged no
)"),
              0)
        << PlSim_LastError();
    EXPECT_EQ(Count(), 2u);
    EXPECT_EQ(Listed(0), "FT232R USB UART");
    EXPECT_EQ(Listed(1), "Kovaltrak WiFi");
    EXPECT_EQ(Listed(1, 0x40000001u), "0005000");
    EXPECT_EQ(Listed(2), "status 2");
    EXPECT_NE(FT_ListDevices(nullptr, nullptr, 0), 0u) << "unsupported flags";

    PlSim_Plug(2);
    PlSim_Unplug(0);
    EXPECT_EQ(Count(), 2u);
    EXPECT_EQ(Listed(0), "Kovaltrak WiFi");
    EXPECT_EQ(Listed(1), "Kovaltrak WiFi second one with a description of 63 characters!");
}

TEST_F(SimTest, OpenFailsForAbsentOrBusyDevicesAndCloseReleasesIt)
{
    FT_HANDLE h = nullptr, other = nullptr;
    EXPECT_EQ(FT_Open(3, &h), 2u);
    PlSim_Unplug(0);
    EXPECT_EQ(FT_Open(0, &h), 2u);
    PlSim_Plug(0);

    ASSERT_EQ(FT_Open(0, &h), 0u);
    EXPECT_EQ(PlSim_IsOpen(0), 1);
    EXPECT_EQ(FT_Open(0, &other), 3u);
    char serial[16], description[64];
    ASSERT_EQ(FT_GetDeviceInfo(h, nullptr, nullptr, serial, description, nullptr), 0u);
    EXPECT_STREQ(serial, "0005000");
    EXPECT_STREQ(description, "Kovaltrak WiFi");
    EXPECT_EQ(FT_Close(h), 0u);
    EXPECT_EQ(PlSim_IsOpen(0), 0);

    DWORD got = 0;
    std::uint8_t b[4];
    EXPECT_EQ(FT_Read(h, b, 4, &got), 1u) << "a closed handle is invalid";
    EXPECT_EQ(FT_Close(h), 1u);
}

TEST_F(SimTest, BridgeKeepsItsSettingsAcrossOpensButLosesThemWithPower)
{
    FT_HANDLE h = nullptr;
    ASSERT_EQ(FT_Open(0, &h), 0u);
    EXPECT_EQ(FT_SetBaudRate(h, 460800), 0u);
    EXPECT_EQ(FT_SetDataCharacteristics(h, 8, 0, 0), 0u);
    EXPECT_EQ(FT_SetTimeouts(h, 1000, 200), 0u);
    EXPECT_EQ(FT_SetLatencyTimer(h, 1), 0u);
    EXPECT_EQ(FT_SetFlowControl(h, 0, 0, 0), 0u);
    EXPECT_NE(FT_SetBaudRate(h, 0), 0u);
    EXPECT_NE(FT_SetDataCharacteristics(h, 9, 0, 0), 0u);
    FT_ResetDevice(h);
    FT_Close(h);

    char text[200];
    PlSim_BridgeSettings(0, text, sizeof text);
    EXPECT_STREQ(text, "baud=460800 bits=8 stop=0 parity=0 flow=0 read_timeout=1000 write_timeout=200 latency=1");
    PlSim_Unplug(0);
    PlSim_Plug(0);
    PlSim_BridgeSettings(0, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("baud=9600 ", 0), 0u) << text;
}

TEST_F(SimTest, ReadsReturnShortAtTheTimeoutAndStatusCountsWhatWaits)
{
    Link link;
    link.Timeout(50);
    FT_STATUS status = 99;
    EXPECT_TRUE(link.Read(10, &status).empty());
    EXPECT_EQ(status, 0u);
    link.Write("FL_READ_VERSION$");
    EXPECT_EQ(link.ReadText(20), "KVTW-4.03");

    link.Write("FL_READ_VERSION$");
    link.WaitRx(9);
    EXPECT_EQ(link.Rx(), 9u);
    EXPECT_EQ(link.ReadText(4), "KVTW");
    DWORD queued = 0;
    ASSERT_EQ(FT_GetQueueStatus(link.h, &queued), 0u);
    EXPECT_EQ(queued, 5u);
    EXPECT_EQ(FT_Purge(link.h, 1), 0u);
    EXPECT_EQ(link.Rx(), 0u);
}

TEST_F(SimTest, WireTimeHoldsBackTheReplyUntilItHasCrossed)
{
    // At 1200 bit/s the 16-byte command needs 133 ms on the wire and the
    // 9-byte reply another 75 ms.
    PlSim_SetWireTiming(1);
    Link link(0, 1200);
    const auto start = std::chrono::steady_clock::now();
    link.Write("FL_READ_VERSION$");
    DWORD rx = 99, tx = 0, ev = 0;
    ASSERT_EQ(FT_GetStatus(link.h, &rx, &tx, &ev), 0u);
    EXPECT_EQ(rx, 0u);
    EXPECT_GT(tx, 0u) << "the command is still on its way";
    EXPECT_EQ(link.ReadText(9), "KVTW-4.03") << "a blocking read waits for the whole reply";
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(25 * 10 * 1000000 / 1200));
}

TEST_F(SimTest, UnplugWhileOpenLeavesWhatArrivedThenFails)
{
    Link link;
    link.Write("FL_READ_VERSION$");
    link.WaitRx(9);
    PlSim_Unplug(0);
    FT_STATUS status = 0;
    EXPECT_EQ(link.Read(20, &status), Bytes(std::begin("KVTW-4.03"), std::end("KVTW-4.03") - 1));
    EXPECT_EQ(status, 4u);
    EXPECT_TRUE(link.Read(1, &status).empty());
    EXPECT_EQ(status, 4u);
    EXPECT_EQ(link.Write("FL_READ_VERSION$"), 4u);

    PlSim_Plug(0);
    Link again;
    ASSERT_TRUE(again.ok()) << "the dead handle does not keep the device busy";
    again.Write("FL_READ_VERSION$");
    EXPECT_EQ(again.ReadText(9), "KVTW-4.03");
}

TEST_F(SimTest, UnplugWakesABlockedReader)
{
    Link link;
    link.Timeout(5000);
    std::thread unplug([] {
        SleepMs(50);
        PlSim_Unplug(0);
    });
    FT_STATUS status = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(link.Read(10, &status).empty());
    unplug.join();
    EXPECT_EQ(status, 4u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4)) << "did not sit out the timeout";
}

TEST_F(SimTest, ResetAndCloseDropUndeliveredRepliesAndHalfRequests)
{
    {
        Link link;
        link.Write("FL_READ_VERSION$");
        link.WaitRx(9);
        EXPECT_EQ(FT_ResetDevice(link.h), 0u);
        EXPECT_EQ(link.Rx(), 0u);

        const Bytes request = Packet(0);
        link.Write(Bytes(request.begin(), request.begin() + 10));
        FT_ResetDevice(link.h);
        EXPECT_EQ(link.Exchange(request, 9).size(), 25u) << "the half request was forgotten, not completed";
        link.Write("FL_READ_VERSION$");
    }
    Link link;
    EXPECT_TRUE(link.Quiet(20)) << "the reply to a request before the close is gone";
    EXPECT_EQ(Log(), "CMD FL_READ_VERSION$\nREAD 0\nCMD FL_READ_VERSION$\n");
}
