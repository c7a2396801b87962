// Scenario files: the shipped ones, the built-in world, refusals that leave
// the world as it was, and the settings a fresh tracker holds.
#include "SimHost.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace simtest;
namespace fs = std::filesystem;

namespace {

const fs::path kScenarios = fs::path(PLENDORO_TEST_DATA) / ".." / ".." / "sim" / "scenarios";

std::string Serial(int index)
{
    char serial[16] = {};
    if (FT_ListDevices(reinterpret_cast<void*>(std::uintptr_t(index)), serial, 0x40000001u) != 0)
        return "-";
    return serial;
}

// Everything the control interface tells about the world.
std::string Snapshot()
{
    std::string s = std::to_string(PlSim_DeviceCount());
    for (int d = 0; d < PlSim_DeviceCount(); ++d) {
        s += "|" + Serial(d);
        for (int block : {0, 1, 2, 3, 5, 6}) {
            const Bytes b = Block(d, block);
            s += "|" + std::string(b.begin(), b.end());
        }
    }
    return s;
}

class SimScenarioFiles : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("PLENDORO_SIM_SCENARIO"); }
    void TearDown() override
    {
        unsetenv("PLENDORO_SIM_SCENARIO");
        PlSim_Reset();
    }
};

} // namespace

TEST_F(SimTest, ParseErrorsLeaveTheWorldUnchanged)
{
    ASSERT_EQ(PlSim_LoadScenarioText("[device]\nserial 0005000\n[device]\nserial 0012345\nfirmware 3.05\n"), 0);
    const std::string before = Snapshot();
    const std::pair<const char*, std::string> broken[] = {
        {"line 2:", "[device]\nfirmware abc\n"},
        {"line 3:", "[device]\n\nserial 0123456789ABCDEF\n"},
        {"line 2:", "[device]\nblock 0 00 01\n"},
        {"line 3:", "[device]\nfirmware 304\nblock 6 " + std::string(952, '0') + "\n"},
        {"line 2:", "[device]\nblock 0 0G 00 00 00 00 00 00 00 00\n"},
        {"line 2:", "[device]\nfault explode\n"},
        {"line 2:", "[device]\nwire_timing on\n"},
        {"line 1:", "serial 1\n"},
        {"line 2:", "[device]\ncan 18FEF100 1 2 at\n"},
    };
    for (const auto& [where, text] : broken) {
        SCOPED_TRACE(text.substr(0, 40));
        EXPECT_EQ(PlSim_LoadScenarioText(text.c_str()), -1);
        EXPECT_EQ(std::string(PlSim_LastError()).rfind(where, 0), 0u) << PlSim_LastError();
        EXPECT_EQ(Snapshot(), before);
    }
    EXPECT_EQ(PlSim_LoadScenarioFile("/nonexistent/world.scn"), -1);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SimTest, BlocksGivenInHexReachTheHost)
{
    std::string text = "[device]\nblock 0 01 00 00 00 1E 00 FE 01 00\nblock 1 AB \\\n";
    for (int line = 0; line < 4; ++line) {
        for (int pair = 0; pair < 29; ++pair)
            text += "00 ";
        text += line < 3 ? "\\\n" : "\n";
    }
    ASSERT_EQ(PlSim_LoadScenarioText(text.c_str()), 0) << PlSim_LastError();
    Link link;
    const Bytes main = link.Exchange(Packet(0), 9);
    EXPECT_EQ(Bytes(main.begin() + 16, main.end()), (Bytes{0x01, 0, 0, 0, 0x1E, 0, 0xFE, 0x01, 0}));
    const Bytes block1 = Block(0, 1);
    ASSERT_EQ(block1.size(), 117u) << "1 + 4 x 29 pairs over five joined lines";
    EXPECT_EQ(block1[0], 0xAB);
}

TEST_F(SimTest, ChangingFirmwareRefitsTheBlocksToTheGeneration)
{
    const Bytes mine = {1, 2, 3, 4, 5, 6, 7, 8, 9}, net111(111, 0);
    ASSERT_EQ(PlSim_SetBlock(0, 0, mine.data(), 9), 0);
    ASSERT_EQ(PlSim_SetVersions(0, 304, 3), 0);
    EXPECT_EQ(PlSim_GetBlock(0, 1, nullptr, 0), 111);
    EXPECT_EQ(PlSim_GetBlock(0, 6, nullptr, 0), -1);
    EXPECT_EQ(Block(0, 0), mine) << "a block whose layout stays is kept";
    EXPECT_EQ(PlSim_SetBlock(0, 1, net111.data(), 110), -1);
    EXPECT_EQ(PlSim_SetBlock(0, 1, net111.data(), 111), 0);
    EXPECT_EQ(PlSim_SetBlock(0, 4, net111.data(), 9), -1);
}

TEST_F(SimTest, ConfigureChangesOneDeviceOrNothing)
{
    EXPECT_EQ(PlSim_Configure(0, "serial 7654321\nbogus 1\n"), -1);
    EXPECT_EQ(Serial(0), "0005000");
    ASSERT_EQ(PlSim_Configure(0, "serial 7654321\nplugged no\n"), 0) << PlSim_LastError();
    EXPECT_EQ(Serial(0), "-");
    ASSERT_EQ(PlSim_Configure(0, "plugged yes"), 0);
    EXPECT_EQ(Serial(0), "7654321");
}

TEST_F(SimScenarioFiles, ShippedDefaultIsTheBuiltInWorld)
{
    PlSim_Reset();
    const std::string builtIn = Snapshot();
    ASSERT_EQ(PlSim_LoadScenarioText("[device]\nserial 1\n"), 0);
    ASSERT_NE(Snapshot(), builtIn);
    ASSERT_EQ(PlSim_LoadScenarioFile((kScenarios / "default.scn").c_str()), 0) << PlSim_LastError();
    EXPECT_EQ(Snapshot(), builtIn);
}

TEST_F(SimScenarioFiles, EveryShippedScenarioLoads)
{
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kScenarios)) {
        if (entry.path().extension() != ".scn")
            continue;
        ++files;
        EXPECT_EQ(PlSim_LoadScenarioFile(entry.path().c_str()), 0) << entry.path() << ": " << PlSim_LastError();
    }
    EXPECT_GE(files, 5);
}

TEST_F(SimScenarioFiles, EnvironmentNamesTheStartupWorld)
{
    setenv("PLENDORO_SIM_SCENARIO", (kScenarios / "two_trackers.scn").c_str(), 1);
    PlSim_Reset();
    EXPECT_EQ(PlSim_DeviceCount(), 2);
    EXPECT_EQ(Serial(1), "0012345");

    const fs::path broken = fs::temp_directory_path() / "plendoro_sim_broken.scn";
    std::ofstream(broken) << "[device]\nfirmware many\n";
    setenv("PLENDORO_SIM_SCENARIO", broken.c_str(), 1);
    PlSim_Reset();
    EXPECT_EQ(PlSim_DeviceCount(), 1) << "falls back to the built-in world";
    EXPECT_EQ(Serial(0), "0005000");
    EXPECT_NE(std::string(PlSim_LastError()).find("line 2"), std::string::npos);
    fs::remove(broken);
}

TEST_F(SimScenarioFiles, DefaultBlocksHoldAValidConfiguration)
{
    PlSim_Reset();
    const Bytes main = Block(0, 0), net = Block(0, 1), oneWire = Block(0, 6);
    ASSERT_EQ(net.size(), 117u);
    ASSERT_EQ(oneWire.size(), 476u);
    EXPECT_TRUE(Le16(main, 4) >= 1 && Le16(main, 4) <= 3600) << "recording interval";
    EXPECT_EQ(net[0] & 1, 1) << "DHCP";
    EXPECT_EQ(std::count(net.begin() + 4, net.begin() + 13, 0), 1) << "an 8-character password";
    EXPECT_EQ(Bytes(net.begin() + 31, net.begin() + 35), (Bytes{127, 0, 0, 1}));
    EXPECT_STREQ(reinterpret_cast<const char*>(&net[53]), "KV");
    EXPECT_EQ(Le32(net, 89), 60u) << "send period";

    // Slots 1 and 2 of the 1-Wire block hold the sensors the line has.
    EXPECT_EQ((Le32(oneWire, 0) >> 2) & 0xFF, 0x3u);
    PlSim_SetWireTiming(0);
    Link link;
    link.Write("1WIRE_SEARCH_40");
    const std::string line = link.ReadAll();
    ASSERT_EQ(line.size(), 11u + 2 * 24);
    for (int slot = 0; slot < 2; ++slot)
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(std::stoi(line.substr(std::size_t(11 + 24 * slot + 3 * i), 2), nullptr, 16),
                      oneWire[std::size_t(12 + 8 * slot + i)]);

    PlSim_SetVersions(0, 250, 2);
    const Bytes old = Block(0, 1);
    ASSERT_EQ(old.size(), 108u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&old[50]), "KV") << "3 bytes lower in the first layout";
}
