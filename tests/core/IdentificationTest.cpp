#include "link/Identification.h"

#include "ScriptedLink.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace plendoro;
using Bytes = std::vector<std::uint8_t>;

namespace {
Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}
Bytes Padded(const std::string& s, std::size_t n = 12)
{
    Bytes b = Text(s);
    b.resize(std::max(n, b.size()), ' ');
    return b;
}
} // namespace

TEST(SerialTest, NumberAndMac)
{
    DeviceIdentity id;
    ApplySerial(id, "5000");
    EXPECT_EQ(id.serialNumber, 5000);
    EXPECT_EQ(FormatMac(id.mac), "00:50:26:00:13:88");

    ApplySerial(id, "0012345");
    EXPECT_EQ(id.serialNumber, 12345);
    EXPECT_EQ(FormatMac(id.mac), "00:50:26:00:30:39");

    ApplySerial(id, "FT5A");
    EXPECT_EQ(id.serialNumber, 0);
    EXPECT_EQ(FormatMac(id.mac), "00:50:26:00:00:00");

    EXPECT_EQ(SerialNumberFromText("  +42abc"), 42);
    EXPECT_EQ(SerialNumberFromText("-7"), -7);
    EXPECT_EQ(SerialNumberFromText(""), 0);
    // Only the low 24 bits reach the MAC address.
    EXPECT_EQ(FormatMac(MacFromSerial(0x12ABCDEF)), "00:50:26:AB:CD:EF");
}

TEST(VersionReplyTest, Parsing)
{
    int major = -1, minor = -1;
    const Bytes exact = Text("KVTW-4.3");
    EXPECT_FALSE(ParseVersionReply(exact.data(), exact.size(), major, minor)) << "eight bytes are too few";

    const Bytes padded = Padded("KVTW-4.3");
    ASSERT_TRUE(ParseVersionReply(padded.data(), padded.size(), major, minor));
    EXPECT_EQ(major * 100 + minor, 403);

    const Bytes full = Text("KVTW-4.03");
    ASSERT_TRUE(ParseVersionReply(full.data(), full.size(), major, minor));
    EXPECT_EQ(major, 4);
    EXPECT_EQ(minor, 3);
    EXPECT_EQ(FormatFirmware(major, minor), "4.03");

    const Bytes old = Padded("KVTW-3.5");
    ASSERT_TRUE(ParseVersionReply(old.data(), old.size(), major, minor));
    EXPECT_EQ(major * 100 + minor, 305);
    EXPECT_EQ(FormatFirmware(major, minor), "3.05");

    const Bytes noHyphen = Padded("KVTW4.03");
    EXPECT_FALSE(ParseVersionReply(noHyphen.data(), noHyphen.size(), major, minor));
    const Bytes oneNumber = Padded("KVTW-4");
    EXPECT_FALSE(ParseVersionReply(oneNumber.data(), oneNumber.size(), major, minor));
    // Out-of-range numbers are refused rather than wrapped into another generation.
    major = minor = -1;
    for (const char* bad :
         {"KVTW-201.00", "KVTW-4.100", "KVTW--1.03", "KVTW-4.-1", "KVTW-99999999999.1", "KVTW-21474837.00"}) {
        const Bytes reply = Padded(bad);
        EXPECT_FALSE(ParseVersionReply(reply.data(), reply.size(), major, minor)) << bad;
    }
    EXPECT_EQ(major, -1) << "a refused reply leaves the numbers alone";
    const Bytes edge = Padded("KVTW-200.99");
    ASSERT_TRUE(ParseVersionReply(edge.data(), edge.size(), major, minor));
    EXPECT_EQ(major * 100 + minor, 20099);
    // Garbage of any length never reads past what was received.
    Bytes junk(100, 'K');
    EXPECT_FALSE(ParseVersionReply(junk.data(), junk.size(), major, minor));
}

TEST(ReadVersionsTest, RetriesUntilAGoodReply)
{
    ScriptedLink link;
    link.Queue(Text("KVTW-4.3")); // too short
    link.QueueSilence();
    link.Queue(Padded("KVTW4.03")); // no hyphen
    link.Queue(Text("KVTW-3.08"));
    DeviceIdentity id;
    ASSERT_TRUE(QueryVersions(link, id));
    EXPECT_EQ(id.firmwareVersion, 308);
    EXPECT_EQ(link.writes.size(), 4u);
    for (const auto& w : link.writes)
        EXPECT_EQ(std::string(w.begin(), w.end()), "FL_READ_VERSION$");
    EXPECT_EQ(id.hardwareVersion, 4) << "308 never asks for the hardware version";
}

TEST(ReadVersionsTest, GivesUpAfterNineteenAttempts)
{
    ScriptedLink link;
    DeviceIdentity id;
    id.firmwareVersion = 305;
    EXPECT_FALSE(QueryVersions(link, id));
    EXPECT_EQ(link.writes.size(), 19u);
    EXPECT_EQ(id.firmwareVersion, 305) << "a failed read keeps the version in force";
}

TEST(ReadVersionsTest, AnOverflowingVersionIsRetriedLikeGarbage)
{
    ScriptedLink link;
    link.Queue(Padded("KVTW-21474837.48"));
    link.Queue(Padded("KVTW-3.100"));
    link.Queue(Text("KVTW-3.08"));
    DeviceIdentity id;
    ASSERT_TRUE(QueryVersions(link, id));
    EXPECT_EQ(link.writes.size(), 3u);
    EXPECT_EQ(id.firmwareVersion, 308);
}

TEST(ReadVersionsTest, HardwareVersionFrom309)
{
    ScriptedLink link;
    link.Queue(Text("KVTW-3.09"));
    link.Queue(Bytes{0xFF});
    DeviceIdentity id;
    ASSERT_TRUE(QueryVersions(link, id));
    ASSERT_EQ(link.writes.size(), 2u);
    EXPECT_EQ(std::string(link.writes[1].begin(), link.writes[1].end()), "GET_HVERSION");
    EXPECT_EQ(id.hardwareVersion, -1);
    EXPECT_FALSE(HasGlonassReceiver(id.hardwareVersion));

    // No answer keeps the previous hardware version.
    ScriptedLink quiet;
    quiet.Queue(Text("KVTW-4.03"));
    DeviceIdentity id2;
    id2.hardwareVersion = 3;
    ASSERT_TRUE(QueryVersions(quiet, id2));
    EXPECT_EQ(id2.hardwareVersion, 3);
}

TEST(VersionGateTest, Generations)
{
    EXPECT_EQ(GenerationOf(250), FirmwareGeneration::First);
    EXPECT_EQ(GenerationOf(299), FirmwareGeneration::First);
    EXPECT_EQ(GenerationOf(300), FirmwareGeneration::Second);
    EXPECT_EQ(GenerationOf(402), FirmwareGeneration::Second);
    EXPECT_EQ(GenerationOf(403), FirmwareGeneration::Third);
    EXPECT_EQ(NetConfSize(250), 108u);
    EXPECT_EQ(NetConfSize(304), 111u);
    EXPECT_EQ(NetConfSize(403), 117u);
    EXPECT_FALSE(HasCanBlock(299));
    EXPECT_TRUE(HasCanBlock(300));
    EXPECT_FALSE(HasOneWireBlock(304));
    EXPECT_TRUE(HasOneWireBlock(305));
    EXPECT_FALSE(ReadsHardwareVersion(308));
    EXPECT_TRUE(ReadsHardwareVersion(309));
    EXPECT_FALSE(HasExternalReceiver(306));
    EXPECT_TRUE(HasExternalReceiver(307));
    EXPECT_FALSE(HasGlonassReceiver(3));
    EXPECT_TRUE(HasGlonassReceiver(4));
}
