// The state file: blocks the host wrote survive into the next run, a bad
// file is ignored whole, and a reader never finds half a file.
#include "SimHost.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace simtest;
namespace fs = std::filesystem;

namespace {

constexpr const char* kWorld = "wire_timing off\nturnaround_us 0\n[device]\nserial 0005000\n"
                               "block 0 01 02 03 04 05 06 07 08 09\n[device]\nserial 0012345\nfirmware 3.04\n";
const Bytes kScenarioBlock0 = {1, 2, 3, 4, 5, 6, 7, 8, 9};

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    while (n-- > 0)
        out += s;
    return out;
}

Bytes WriteBlock(int index, int block, const Bytes& bytes)
{
    Link link(index);
    return link.Exchange(Packet(std::uint16_t(128 + block), bytes), 0);
}

class SimState : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "world.scn") << kWorld;
        setenv("PLENDORO_SIM_SCENARIO", (dir / "world.scn").c_str(), 1);
        setenv("PLENDORO_SIM_STATE", state.c_str(), 1);
        PlSim_Reset();
    }
    void TearDown() override
    {
        unsetenv("PLENDORO_SIM_SCENARIO");
        unsetenv("PLENDORO_SIM_STATE");
        PlSim_Reset();
        fs::remove_all(dir);
    }
    const fs::path dir = fs::temp_directory_path() / ("plsim_state_" + std::to_string(getpid()));
    const fs::path state = dir / "state";
};

} // namespace

TEST_F(SimState, ABlockWrittenInOneRunIsReadInTheNext)
{
    ASSERT_EQ(Le16(WriteBlock(0, 0, Bytes(9, std::uint8_t(1))), 12), 128);
    ASSERT_EQ(Le16(WriteBlock(1, 3, Bytes(20, std::uint8_t(2))), 12), 131);
    PlSim_Reset();
    EXPECT_EQ(Block(1, 3), Bytes(20, std::uint8_t(2)));
    Link link(0);
    const Bytes reply = link.Exchange(Packet(0), 9);
    EXPECT_EQ(Bytes(reply.begin() + 16, reply.end()), Bytes(9, std::uint8_t(1)));
}

TEST_F(SimState, OnlyAnAcceptedWriteRewritesTheFile)
{
    const Bytes good = Packet(128, Bytes(9, std::uint8_t(3)));
    Bytes corrupt = good;
    corrupt[20] ^= 1;
    const struct {
        const char* fault;
        Bytes request;
        bool stored;
    } cases[] = {
        {"none", good, true},
        {"none", corrupt, false},
        {"none", Packet(128, Bytes(8, std::uint8_t(3))), false},
        {"error_block 0 5", good, false},
        {"silent", good, false},
        {"none", Packet(0), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault + std::string(" ") + std::to_string(c.request.size()));
        fs::remove(state);
        PlSim_Reset();
        ASSERT_EQ(PlSim_SetFault(0, c.fault), 0);
        Link link(0);
        link.Write(c.request);
        link.Quiet(30);
        EXPECT_EQ(fs::exists(state), c.stored);
    }
    PlSim_LoadScenarioText(kWorld);
    WriteBlock(0, 0, Bytes(9, std::uint8_t(4)));
    EXPECT_FALSE(fs::exists(state)) << "a world loaded through the control interface keeps no state";
}

TEST_F(SimState, EveryWriteLeavesAWholeFileAndNoTemporary)
{
    std::ofstream(state.string() + ".tmp") << "0005000 0 01 0"; // a writer killed earlier
    std::ofstream(state) << "0099999 2 AA\n";                   // a tracker of another scenario
    const std::regex line("(#.*|\\S+ \\d+( [0-9A-F]{2})+)");
    int seed = 10;
    for (int block : {0, 1, 2, 3, 5, 6, 0}) {
        SCOPED_TRACE(block);
        const Bytes bytes(std::size_t(PlSim_GetBlock(0, block, nullptr, 0)), std::uint8_t(++seed));
        ASSERT_EQ(Le16(WriteBlock(0, block, bytes), 12), 128 + block);
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.insert(e.path().filename());
        EXPECT_EQ(names, (std::set<std::string>{"world.scn", "state", "state.lock"}));
        std::ifstream text(state);
        std::set<std::string> lines;
        for (std::string l; std::getline(text, l); lines.insert(l))
            EXPECT_TRUE(std::regex_match(l, line)) << l;
        EXPECT_EQ(lines.count("0099999 2 AA"), 1u);
        PlSim_Reset(); // the next run finds the whole file
        EXPECT_EQ(Block(0, block), bytes);
    }
}

TEST_F(SimState, AMalformedOrUnreadableFileIsIgnoredWhole)
{
    const std::string good = "# kept\n0005000 0 11 22 33 44 55 66 77 88 99\n";
    const Bytes fromFile = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};
    const struct {
        std::string text;
        bool applied;
    } cases[] = {
        {good, true},
        {good + "0012345 6" + Repeat(" 00", 476) + "\n", true}, // a block firmware 3.04 lacks is skipped
        {"0005000 0" + Repeat(" 00", 10) + "\n", false},        // another size: the scenario's, not the factory one
        {good + "0005000 1 0\n", false},
        {good + "0005000 1 0G\n", false},
        {good + "0005000 1\n", false},
        {good + "0005000 x 00\n", false},
        {good + "0005000 1 ABC\n", false},
        {good + "0123456789ABCDEF 1 00\n", false},
        {good + "\x01\xFF\n", false},
        {good + "0005000 6" + Repeat(" 00", 477) + "\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        std::ofstream(state) << c.text;
        PlSim_Reset();
        EXPECT_EQ(Block(0, 0), c.applied ? fromFile : kScenarioBlock0);
    }
    fs::remove(state);
    fs::create_directory(state);
    PlSim_Reset();
    EXPECT_EQ(Block(0, 0), kScenarioBlock0);
}

TEST_F(SimState, AWriterWaitsForTheLock)
{
    const int lock = open((state.string() + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    Link link(0);
    std::thread writer([&] { link.Exchange(Packet(128, Bytes(9, std::uint8_t(7))), 0); });
    SleepMs(150);
    EXPECT_FALSE(fs::exists(state));
    flock(lock, LOCK_UN);
    close(lock);
    writer.join();
    PlSim_Reset();
    EXPECT_EQ(Block(0, 0), Bytes(9, std::uint8_t(7)));
}
