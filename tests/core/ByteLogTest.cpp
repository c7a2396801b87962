#include "common/Log.h"
#include "link/Identification.h"
#include "link/Protocol.h"
#include "link/TextExchange.h"

#include "FakeClock.h"
#include "ScriptedLink.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace plendoro;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Captured {
    LogChannel channel;
    std::string line;
};

std::vector<Captured> gLines;
int gFilterCalls = 0;
bool gLinkWanted = true;

void Capture(LogChannel channel, std::string_view line)
{
    gLines.push_back({channel, std::string(line)});
}

bool Filter(LogChannel channel)
{
    ++gFilterCalls;
    return channel == LogChannel::Link ? gLinkWanted : true;
}

Bytes Reply(std::uint16_t id, std::size_t payload)
{
    Bytes p(16 + payload, 0x5A);
    const char magic[] = "HDRV1.0";
    std::copy(magic, magic + 8, p.begin());
    WriteLe16(&p[8], static_cast<std::uint16_t>(p.size()));
    WriteLe16(&p[10], 16);
    WriteLe16(&p[12], id);
    WriteLe16(&p[14], 0);
    WriteLe16(&p[14], static_cast<std::uint16_t>(~Sum16(p.data(), p.size())));
    return p;
}

bool Contains(const std::string& line, const std::string& part)
{
    return line.find(part) != std::string::npos;
}

// Each test starts and ends without a sink: the log is process-wide.
struct ByteLogTest : ::testing::Test {
    ScriptedLink link;
    FakeClock clock;
    std::array<std::uint8_t, kPacketBufferSize> buffer{};
    std::string failure;

    ByteLogTest()
    {
        gLines.clear();
        gFilterCalls = 0;
        gLinkWanted = true;
    }
    ~ByteLogTest() override { SetLogSink(nullptr); }

    // A read of block 1 whose first attempt meets silence.
    bool ReadAfterOneSilence()
    {
        link.QueueSilence();
        link.Queue(Reply(1, 4));
        return Transact(link, clock, buffer.data(), 1, 4, 0, failure);
    }

    std::string Joined() const
    {
        std::string all;
        for (const auto& c : gLines)
            all += c.line + '\n';
        return all;
    }
};

} // namespace

TEST(ByteLogFormatTest, HexAndPrintable)
{
    const std::uint8_t bytes[] = {0x00, 0x0F, 0xA5, 0xFF, 'O', 'K', '\\', '\n'};
    EXPECT_EQ(HexBytes(bytes, 0), "");
    EXPECT_EQ(HexBytes(bytes, 1), "00");
    EXPECT_EQ(HexBytes(bytes, 4), "00 0F A5 FF");
    EXPECT_EQ(PrintableBytes(bytes + 4, 4), "OK\\x5C\\x0A");
    EXPECT_EQ(PrintableBytes(bytes, 1), "\\x00");
}

TEST_F(ByteLogTest, TransactLogsRequestReplyAndRetry)
{
    SetLogSink(&Capture);
    ASSERT_TRUE(ReadAfterOneSilence()) << failure;

    const std::string all = Joined();
    // The request for block 1 as it goes on the wire, header and check.
    EXPECT_TRUE(Contains(all, "attempt 1 request 48 44 52 56 31 2E 30 00 10 00 10 00 01 00 E3 36\n")) << all;
    EXPECT_TRUE(Contains(all, "attempt 2 request 48 44 52 56")) << all;
    EXPECT_TRUE(Contains(all, "no reply on attempt 1, retrying")) << all;
    EXPECT_TRUE(Contains(all, "reply 0 of 20 bytes")) << all;
    EXPECT_TRUE(Contains(all, "reply 20 of 20 bytes 48 44 52 56 31 2E 30 00 14 00 10 00 01 00")) << all;
    for (const auto& c : gLines) {
        EXPECT_EQ(c.channel, LogChannel::Link) << c.line;
        EXPECT_TRUE(Contains(c.line, "transact id=1: ")) << c.line;
    }
}

TEST_F(ByteLogTest, TransactFailuresAreNamed)
{
    SetLogSink(&Capture);
    // Silence on every attempt.
    EXPECT_FALSE(Transact(link, clock, buffer.data(), 2, 4, 0, failure));
    EXPECT_TRUE(Contains(Joined(), "transact id=2: no reply after 8 attempts")) << Joined();
    EXPECT_TRUE(Contains(Joined(), "no reply on attempt 7, retrying")) << Joined();
    EXPECT_FALSE(Contains(Joined(), "no reply on attempt 8")) << "the last attempt is not retried";

    // A reply for another block.
    gLines.clear();
    link.Queue(Reply(3, 4));
    EXPECT_FALSE(Transact(link, clock, buffer.data(), 2, 4, 0, failure));
    EXPECT_TRUE(Contains(Joined(), "transact id=2: bad reply: length 20, header 16, id 3")) << Joined();

    // The device's own error code.
    gLines.clear();
    Bytes error = Reply(kErrorReplyId, 4);
    WriteLe32(&error[16], 4);
    WriteLe16(&error[14], 0);
    WriteLe16(&error[14], static_cast<std::uint16_t>(~Sum16(error.data(), error.size())));
    link.Queue(error);
    EXPECT_FALSE(Transact(link, clock, buffer.data(), 5, 40, 0, failure));
    EXPECT_TRUE(Contains(Joined(), "transact id=5: device error 4")) << Joined();
}

TEST_F(ByteLogTest, LoggingLeavesTheExchangeAsItIs)
{
    ASSERT_TRUE(ReadAfterOneSilence());
    const auto quietWrites = link.writes;
    const auto quietSleeps = clock.sleeps;
    const auto quietReads = link.readSizes;

    ScriptedLink logged;
    FakeClock loggedClock;
    SetLogSink(&Capture);
    logged.QueueSilence();
    logged.Queue(Reply(1, 4));
    std::array<std::uint8_t, kPacketBufferSize> other{};
    ASSERT_TRUE(Transact(logged, loggedClock, other.data(), 1, 4, 0, failure));
    ASSERT_FALSE(gLines.empty());
    EXPECT_EQ(logged.writes, quietWrites);
    EXPECT_EQ(loggedClock.sleeps, quietSleeps);
    EXPECT_EQ(logged.readSizes, quietReads);
    EXPECT_EQ(other, buffer);
}

TEST_F(ByteLogTest, NothingReachesARemovedOrUnwantedSink)
{
    SetLogSink(&Capture);
    SetLogSink(nullptr);
    EXPECT_FALSE(LogEnabled(LogChannel::Link));
    ASSERT_TRUE(ReadAfterOneSilence());
    EXPECT_TRUE(gLines.empty());

    // A filter that turns the link channel down keeps its lines out, while
    // presence lines still pass.
    gLinkWanted = false;
    SetLogSink(&Capture, &Filter);
    link.QueueSilence();
    link.Queue(Reply(1, 4));
    ASSERT_TRUE(Transact(link, clock, buffer.data(), 1, 4, 0, failure));
    EXPECT_GT(gFilterCalls, 0);
    EXPECT_TRUE(gLines.empty());
    EXPECT_FALSE(LogEnabled(LogChannel::Link));
    EXPECT_TRUE(LogEnabled(LogChannel::Presence));
}

TEST_F(ByteLogTest, TextCommandsShowWordsAndHex)
{
    SetLogSink(&Capture);
    link.QueueSilence();
    link.Queue(Bytes{'K', 'V', 'T', 'W', '-', '3', '.', '0', '9', 0});
    link.Queue(Bytes{0x02});
    DeviceIdentity identity;
    ASSERT_TRUE(QueryVersions(link, identity));

    const std::string all = Joined();
    EXPECT_TRUE(Contains(all, "text request \"FL_READ_VERSION$\" 46 4C 5F 52")) << all;
    EXPECT_TRUE(Contains(all, "text reply: none within 200 ms")) << all;
    EXPECT_TRUE(Contains(all, "text reply \"KVTW-3.09\\x00\" 4B 56 54 57 2D 33 2E 30 39 00")) << all;
    EXPECT_TRUE(Contains(all, "text request \"GET_HVERSION\"")) << all;
    EXPECT_TRUE(Contains(all, "hardware version reply 02")) << all;

    // A long reply collected in pieces shows once, whole.
    gLines.clear();
    link.Queue(Bytes{'C', 'A', 'N'});
    link.Queue(Bytes{'1', ';'});
    std::array<std::uint8_t, 16> reply{};
    EXPECT_EQ(ReadTimedUntil(link, reply.data(), reply.size(), 300, ';'), 5u);
    ASSERT_EQ(gLines.size(), 1u) << Joined();
    EXPECT_EQ(gLines[0].line, "text reply \"CAN1;\" 43 41 4E 31 3B");
}
