// The named failure modes, one by one.
#include "SimHost.h"

using namespace simtest;

namespace {

std::string Version(Link& link)
{
    link.Write("FL_READ_VERSION$");
    return link.ReadAll(300);
}

} // namespace

TEST_F(SimTest, SilentDeviceHearsEverythingAndAnswersNothingForGoodOrForNRequests)
{
    ASSERT_EQ(PlSim_SetFault(0, "silent"), 0);
    const Bytes block0 = Block(0, 0);
    Link link;
    link.Write("FL_READ_VERSION$");
    EXPECT_TRUE(link.Quiet());
    link.Write(Packet(128, Bytes(9, 0x77)));
    EXPECT_TRUE(link.Quiet());
    EXPECT_EQ(Block(0, 0), block0) << "a silent device does not act either";
    EXPECT_EQ(Log(), "CMD FL_READ_VERSION$\nWRITE 0 9\n");

    ASSERT_EQ(PlSim_SetFault(0, "none; silent 2"), 0);
    EXPECT_EQ(Version(link), "");
    link.Write(Packet(0));
    EXPECT_TRUE(link.Quiet());
    EXPECT_EQ(Version(link), "KVTW-4.03") << "silent for two requests only";
}

TEST_F(SimTest, BadChecksumSpoilsOnlyTheCheck)
{
    ASSERT_EQ(PlSim_SetFault(0, "bad_checksum"), 0);
    Link link;
    const Bytes reply = link.Exchange(Packet(1), 117);
    ASSERT_EQ(reply.size(), 133u);
    EXPECT_EQ(Le16(reply, 8), 133);
    EXPECT_EQ(Le16(reply, 12), 1);
    EXPECT_EQ(Bytes(reply.begin() + 16, reply.end()), Block(0, 1));
    EXPECT_NE(InternetSum(reply), 0xFFFF);
    EXPECT_NE(InternetSum(link.Exchange(Packet(4), 0)), 0xFFFF) << "error replies too";
}

TEST_F(SimTest, ErrorBlockAnswersEveryReadAndWriteOfThatBlock)
{
    ASSERT_EQ(PlSim_SetFault(0, "error_block 5 3"), 0);
    const Bytes block5 = Block(0, 5);
    Link link;
    link.Timeout(100); // the read of 16 + 214 bytes ends short
    const Bytes read = link.Exchange(Packet(5), 214);
    ASSERT_EQ(read.size(), 20u);
    EXPECT_EQ(Le16(read, 12), 192);
    EXPECT_EQ(Le32(read, 16), 3u);
    const Bytes write = link.Exchange(Packet(133, Bytes(214, 0)), 0);
    ASSERT_EQ(write.size(), 20u) << "the code follows the first 16 bytes";
    EXPECT_EQ(Le32(write, 16), 3u);
    EXPECT_EQ(InternetSum(write), 0xFFFF);
    EXPECT_EQ(Block(0, 5), block5);
    EXPECT_EQ(link.Exchange(Packet(2), 72).size(), 88u) << "other blocks are unaffected";
}

TEST_F(SimTest, UnplugAfterNRequestsTakesTheDeviceAwayMidExchange)
{
    ASSERT_EQ(PlSim_SetFault(0, "unplug_after 2"), 0);
    Link link;
    EXPECT_EQ(Version(link), "KVTW-4.03");
    EXPECT_EQ(Version(link), "KVTW-4.03");
    link.Write("FL_READ_VERSION$");
    FT_STATUS status = 0;
    EXPECT_TRUE(link.Read(9, &status).empty());
    EXPECT_EQ(status, 4u);
    EXPECT_EQ(link.Write("FL_READ_VERSION$"), 4u);
    DWORD count = 9;
    FT_ListDevices(&count, nullptr, 0x80000000u);
    EXPECT_EQ(count, 0u);

    PlSim_Plug(0);
    Link again;
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(Version(again), "KVTW-4.03") << "the fault is spent";
}

TEST_F(SimTest, SplitReplyArrivesInTwoPartsAfterAGap)
{
    ASSERT_EQ(PlSim_SetFault(0, "split 150"), 0);
    Link link;
    link.Write("FL_READ_VERSION$");
    link.WaitRx(1);
    EXPECT_EQ(link.Rx(), 4u) << "only the first part so far";
    EXPECT_EQ(link.ReadText(9), "KVTW-4.03") << "a blocking read collects both parts";
}

TEST_F(SimTest, GluedReplyIsFollowedByJunk)
{
    ASSERT_EQ(PlSim_SetFault(0, "glued 3"), 0);
    Link link;
    const Bytes reply = link.Exchange(Packet(0), 9);
    ASSERT_EQ(reply.size(), 25u);
    EXPECT_EQ(InternetSum(reply), 0xFFFF);
    link.WaitRx(3);
    EXPECT_EQ(link.Rx(), 3u);
}

TEST_F(SimTest, AlternateAnswersEverySecondRequestOnly)
{
    ASSERT_EQ(PlSim_SetFault(0, "alternate"), 0);
    const Bytes block0 = Block(0, 0);
    Link link;
    link.Write(Packet(128, Bytes(9, 0x77)));
    EXPECT_TRUE(link.Quiet()) << "the first request goes unanswered";
    EXPECT_EQ(Block(0, 0), block0) << "and is not acted on";
    EXPECT_EQ(link.Exchange(Packet(1), 117).size(), 133u);
    EXPECT_EQ(Version(link), "");
    EXPECT_EQ(Version(link), "KVTW-4.03") << "text commands take their turns too";
    link.Write(Packet(0));
    EXPECT_TRUE(link.Quiet());
    EXPECT_EQ(Log(), "WRITE 0 9\nREAD 1\nCMD FL_READ_VERSION$\nCMD FL_READ_VERSION$\nREAD 0\n");

    ASSERT_EQ(PlSim_SetFault(0, "none"), 0);
    EXPECT_EQ(Version(link), "KVTW-4.03");
    EXPECT_EQ(Version(link), "KVTW-4.03");
}

TEST_F(SimTest, VersionFaultsSilenceOnlyTheirOwnCommand)
{
    Link link;
    ASSERT_EQ(PlSim_SetFault(0, "no_hversion"), 0);
    link.Write("GET_HVERSION");
    EXPECT_TRUE(link.Quiet());
    EXPECT_EQ(Version(link), "KVTW-4.03");

    ASSERT_EQ(PlSim_SetFault(0, "none; version_silent"), 0);
    EXPECT_EQ(Version(link), "");
    link.Write("GET_HVERSION");
    EXPECT_EQ(link.Read(1), Bytes{0x04});
}

TEST_F(SimTest, UnknownOrMalformedFaultsAreRefusedWithoutEffect)
{
    EXPECT_EQ(PlSim_SetFault(0, "explode"), -1);
    EXPECT_NE(std::string(PlSim_LastError()).find("explode"), std::string::npos);
    EXPECT_EQ(PlSim_SetFault(0, "silent; error_block 5"), -1) << "all or nothing";
    EXPECT_EQ(PlSim_SetFault(0, "unplug_after -1"), -1);
    EXPECT_EQ(PlSim_SetFault(7, "silent"), -1);
    Link link;
    EXPECT_EQ(Version(link), "KVTW-4.03");
}
