// Text commands: identification and the device services, with the reply
// texts checked byte for byte and read back the way the configurator does.
#include "SimHost.h"

#include <cstdio>

using namespace simtest;

TEST_F(SimTest, VersionTextFollowsTheFirmwareVersion)
{
    const std::pair<int, const char*> cases[] = {{305, "KVTW-3.05"}, {250, "KVTW-2.50"}, {1012, "KVTW-10.12"}};
    Link link;
    for (auto [firmware, text] : cases) {
        PlSim_SetVersions(0, firmware, 4);
        link.Write("FL_READ_VERSION$");
        EXPECT_EQ(link.ReadAll(), text);
    }
}

TEST_F(SimTest, HardwareVersionIsOneSignedByteFromFirmware309)
{
    Link link;
    PlSim_SetVersions(0, 309, 4);
    link.Write("GET_HVERSION");
    EXPECT_EQ(link.Read(1), Bytes{0x04});
    PlSim_SetVersions(0, 403, -1);
    link.Write("GET_HVERSION");
    EXPECT_EQ(link.Read(1), Bytes{0xFF});
    EXPECT_TRUE(link.Quiet(10)) << "one byte and nothing after it";
    PlSim_SetVersions(0, 308, 4);
    link.Write("GET_HVERSION");
    EXPECT_TRUE(link.Quiet());
}

TEST_F(SimTest, EraseReportsFixedWidthProgressUntilDone)
{
    Link link;
    link.Write("FL_ERASE_DATA");
    EXPECT_EQ(link.ReadText(11), "ERASE_START");
    std::vector<int> seen;
    while (seen.empty() || seen.back() != 100) {
        const std::string line = link.ReadText(13);
        ASSERT_EQ(line.size(), 13u) << "the configurator needs 13 bytes a report";
        int percent = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "ERASE_POS=%d", &percent), 1) << line;
        seen.push_back(percent);
    }
    EXPECT_EQ(seen, (std::vector<int>{33, 66, 100}));
    EXPECT_TRUE(link.Quiet());

    PlSim_SetVersions(0, 302, 3);
    link.Write("FL_ERASE_DATA");
    EXPECT_TRUE(link.Quiet());
}

TEST_F(SimTest, CalibrationIsBusyUntilItsTimeHasPassed)
{
    Link link;
    link.Write("MMA_STATE");
    EXPECT_EQ(link.ReadAll(), "MMA_NORMAL");
    link.Write("MMA_CALIBRATE");
    EXPECT_EQ(link.ReadText(7), "STARTED");
    link.Write("MMA_STATE");
    const std::string busy = link.ReadAll();
    EXPECT_GE(busy.size(), 10u);
    EXPECT_NE(busy.substr(0, 10), "MMA_NORMAL");
    SleepMs(320);
    link.Write("MMA_STATE");
    EXPECT_EQ(link.ReadAll(), "MMA_NORMAL");
}

TEST_F(SimTest, CanSearchReportsEachIdentifierHeardWithItsLatestData)
{
    Link link;
    link.Write("CAN_TEST");
    EXPECT_EQ(link.ReadAll(), "CAN_STATE:;");
    link.Write("START_CAN_SEARCH");
    EXPECT_EQ(link.ReadAll(), "SEARCH_STARTED");
    link.Write("CAN_TEST");
    EXPECT_EQ(link.ReadAll(), "CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF;");
    SleepMs(340);
    link.Write("CAN_TEST");
    const std::string both = link.ReadAll();
    EXPECT_EQ(both, "CAN_STATE:18FEF100,11111111,22222222,0CF00400,00000000,0000007D;");

    link.Write("STOP_CAN_SEARCH");
    EXPECT_EQ(link.ReadAll(), "SEARCH_STOPPED");
    link.Write("CAN_TEST");
    EXPECT_EQ(link.ReadAll(), both) << "what was heard stays after the stop";

    PlSim_SetVersions(0, 250, 2);
    link.Write("START_CAN_SEARCH");
    EXPECT_TRUE(link.Quiet());
}

TEST_F(SimTest, OneWireSearchListsTheAddressesOfTheAskedFamily)
{
    Link link;
    link.Write("1WIRE_SEARCH_ALL");
    EXPECT_EQ(link.ReadAll(), "1WARE_ADDR:28:9F:3C:1A:05:00:00:38;01:5E:A2:13:0C:00:00:BB;28:41:77:2B:05:00:00:B1;");
    link.Write("1WIRE_SEARCH_40");
    EXPECT_EQ(link.ReadAll(), "1WARE_ADDR:28:9F:3C:1A:05:00:00:38;28:41:77:2B:05:00:00:B1;");
    link.Write("1WIRE_SEARCH_1");
    EXPECT_EQ(link.ReadAll(), "1WARE_ADDR:01:5E:A2:13:0C:00:00:BB;");
    ASSERT_EQ(PlSim_Configure(0, "onewire clear"), 0);
    link.Write("1WIRE_SEARCH_ALL");
    EXPECT_EQ(link.ReadAll(), "1WARE_ADDR:");

    PlSim_SetVersions(0, 304, 3);
    link.Write("1WIRE_SEARCH_ALL");
    EXPECT_TRUE(link.Quiet());
}

TEST_F(SimTest, UnknownCommandsAreLoggedAndLeftUnanswered)
{
    Link link;
    link.Write("FL_READ_VERSION");
    EXPECT_TRUE(link.Quiet());
    link.Write(std::string("\x01Z", 2));
    EXPECT_TRUE(link.Quiet());
    link.Write("FL_READ_VERSION$\r\n");
    EXPECT_EQ(link.ReadAll(), "KVTW-4.03");
    EXPECT_EQ(Log(), "CMD FL_READ_VERSION\nCMD \\x01Z\nCMD FL_READ_VERSION$\n");
    EXPECT_EQ(PlSim_RequestCount(0), 3);
    PlSim_ClearLog(0);
    EXPECT_EQ(PlSim_RequestCount(0), 0);
}
