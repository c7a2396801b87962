// Block packets: reads and writes per firmware generation and the device's
// error replies, judged with the host's own checksum.
#include "SimHost.h"

#include <map>

using namespace simtest;

namespace {

Bytes Hex(const std::string& text)
{
    Bytes b;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3)
        b.push_back(std::uint8_t(std::stoi(text.substr(i, 2), nullptr, 16)));
    return b;
}

void ExpectPacket(const Bytes& reply, std::uint16_t id, std::size_t payload)
{
    ASSERT_EQ(reply.size(), 16 + payload);
    EXPECT_EQ(Le16(reply, 8), 16 + payload);
    EXPECT_EQ(Le16(reply, 10), 16);
    EXPECT_EQ(Le16(reply, 12), id);
    EXPECT_EQ(InternetSum(reply), 0xFFFF);
}

std::uint32_t ErrorCode(Link& link, const Bytes& request)
{
    const Bytes reply = link.Exchange(request, 0);
    if (reply.size() != 20)
        return 0xFFFFFFFF;
    EXPECT_EQ(Le16(reply, 8), 20);
    EXPECT_EQ(Le16(reply, 10), 16);
    EXPECT_EQ(Le16(reply, 12), 192);
    EXPECT_EQ(InternetSum(reply), 0xFFFF);
    return Le32(reply, 16);
}

std::string LastLine()
{
    std::string log = Log();
    if (!log.empty())
        log.pop_back();
    return log.substr(log.rfind('\n') + 1);
}

Bytes Pattern(std::size_t n, int seed)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t(i * 7 + std::size_t(seed));
    return b;
}

struct Generation {
    int firmware;
    std::map<int, std::size_t> sizes;
};
void PrintTo(const Generation& g, std::ostream* os)
{
    *os << "firmware " << g.firmware;
}

class SimBlockRoundTrip : public SimTest, public ::testing::WithParamInterface<Generation> {};

} // namespace

TEST_P(SimBlockRoundTrip, EveryBlockOfTheGenerationReadsWritesAndKeeps)
{
    const Generation& g = GetParam();
    ASSERT_EQ(PlSim_SetVersions(0, g.firmware, 4), 0);
    Link link;
    for (int block : {0, 1, 2, 3, 5, 6}) {
        SCOPED_TRACE("block " + std::to_string(block));
        const auto size = g.sizes.find(block);
        if (size == g.sizes.end()) {
            EXPECT_EQ(PlSim_GetBlock(0, block, nullptr, 0), -1);
            EXPECT_EQ(ErrorCode(link, Packet(std::uint16_t(block))), 2u);
            EXPECT_EQ(ErrorCode(link, Packet(std::uint16_t(128 + block), Bytes(476, 0))), 2u);
            continue;
        }
        const Bytes stored = Block(0, block);
        ASSERT_EQ(stored.size(), size->second);
        const Bytes reply = link.Exchange(Packet(std::uint16_t(block)), size->second);
        ExpectPacket(reply, std::uint16_t(block), size->second);
        EXPECT_EQ(Bytes(reply.begin() + 16, reply.end()), stored);

        const Bytes changed = Pattern(size->second, block);
        ExpectPacket(link.Exchange(Packet(std::uint16_t(128 + block), changed), 0), std::uint16_t(128 + block), 0);
        EXPECT_EQ(Block(0, block), changed);
        const Bytes again = link.Exchange(Packet(std::uint16_t(block)), size->second);
        EXPECT_EQ(Bytes(again.begin() + 16, again.end()), changed);
        EXPECT_EQ(LastLine(), "READ " + std::to_string(block));
    }
    EXPECT_NE(Log().find("\nWRITE 1 " + std::to_string(g.sizes.at(1)) + "\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Generations, SimBlockRoundTrip,
                         ::testing::Values(Generation{250, {{0, 9}, {1, 108}, {2, 72}, {3, 20}}},
                                           Generation{304, {{0, 9}, {1, 111}, {2, 72}, {3, 20}, {5, 214}}},
                                           Generation{305, {{0, 9}, {1, 111}, {2, 72}, {3, 20}, {5, 214}, {6, 476}}},
                                           Generation{402, {{0, 9}, {1, 111}, {2, 72}, {3, 20}, {5, 214}, {6, 476}}},
                                           Generation{403, {{0, 9}, {1, 117}, {2, 72}, {3, 20}, {5, 214}, {6, 476}}}),
                         [](const auto& info) { return "Firmware" + std::to_string(info.param.firmware); });

TEST_F(SimTest, RepliesMatchTheProtocolsWorkedExamples)
{
    ASSERT_EQ(Packet(1), Hex("48 44 52 56 31 2E 30 00 10 00 10 00 01 00 E3 36"));
    Link link;
    EXPECT_EQ(link.Exchange(Packet(128, Block(0, 0)), 0), Hex("48 44 52 56 31 2E 30 00 10 00 10 00 80 00 64 36"));
    Bytes broken = Packet(0);
    broken[14] ^= 0x01;
    EXPECT_EQ(link.Exchange(broken, 0), Hex("48 44 52 56 31 2E 30 00 14 00 10 00 C0 00 1C 36 04 00 00 00"));
}

TEST_F(SimTest, MalformedRequestsGetTheMatchingErrorCode)
{
    Bytes badMagic = Packet(0), badCheck = Packet(129, Bytes(117, 0x11));
    badMagic[1] = 'X';
    badCheck[100] ^= 0x04;
    struct Case {
        Bytes request;
        std::uint32_t code;
        const char* logged;
    };
    const Case cases[] = {
        {Packet(1, Bytes(4, 0)), 1, "BAD length"},   // a read carrying a payload
        {Packet(128, Bytes(8, 0)), 1, "BAD length"}, // a write one byte short
        {Packet(0, {}, 10), 1, "BAD length"},        // total below the header
        {Packet(0, {}, 600), 1, "BAD length"},       // total above the largest packet
        {Packet(0, {}, -1, 20), 2, "BAD header"},
        {badMagic, 2, "BAD header"},
        {badCheck, 4, "BAD checksum"},
        {Packet(4), 2, "BAD id 4"},
        {Packet(132, Bytes(9, 0)), 2, "BAD id 132"},
        {Packet(192), 2, "BAD id 192"},
    };
    const Bytes block0 = Block(0, 0), block1 = Block(0, 1);
    Link link;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logged);
        EXPECT_EQ(ErrorCode(link, c.request), c.code);
        EXPECT_EQ(LastLine(), c.logged);
        FT_ResetDevice(link.h); // also ends the skipping of a refused packet
    }
    EXPECT_EQ(Block(0, 0), block0);
    EXPECT_EQ(Block(0, 1), block1);
}

TEST_F(SimTest, PacketSentInPiecesIsAssembledByItsLength)
{
    const Bytes payload = Pattern(476, 3), request = Packet(134, payload);
    Link link;
    for (std::size_t at = 0; at < request.size(); at += 64) {
        SleepMs(at ? 2 : 0);
        link.Write(Bytes(request.begin() + long(at), request.begin() + long(std::min(at + 64, request.size()))));
    }
    ExpectPacket(link.Read(16), 134, 0);
    EXPECT_EQ(Block(0, 6), payload);
    EXPECT_EQ(Log(), "WRITE 6 476\n");
}

TEST_F(SimTest, HalfPacketIsForgottenAfterSilence)
{
    const Bytes block1 = Block(0, 1), write = Packet(129, Bytes(117, 0x33));
    Link link;
    link.Write(Bytes(write.begin(), write.begin() + 40));
    SleepMs(120); // the scenario gives up after 50 ms
    ExpectPacket(link.Exchange(Packet(0), 9), 0, 9);
    EXPECT_EQ(Log(), "BAD incomplete\nREAD 0\n");
    EXPECT_EQ(Block(0, 1), block1);
}

TEST_F(SimTest, OversizedPacketIsAnsweredOnceAndSkippedWhole)
{
    const Bytes request = Packet(129, Bytes(584, 'A'), 600);
    Link link;
    for (std::size_t at = 0; at < request.size(); at += 64)
        link.Write(Bytes(request.begin() + long(at), request.begin() + long(std::min(at + 64, request.size()))));
    EXPECT_EQ(ErrorCode(link, {}), 1u);
    EXPECT_TRUE(link.Quiet()) << "one error reply, nothing for the skipped bytes";
    EXPECT_EQ(Log(), "BAD length\n");
    ExpectPacket(link.Exchange(Packet(3), 20), 3, 20);
}
