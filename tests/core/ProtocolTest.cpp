#include "link/Protocol.h"

#include "FakeClock.h"
#include "ScriptedLink.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

using namespace plendoro;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Packet(std::uint16_t id, const Bytes& payload, std::uint16_t totalOverride = 0)
{
    Bytes p(16 + payload.size());
    std::copy(payload.begin(), payload.end(), p.begin() + 16);
    const char magic[] = "HDRV1.0";
    std::copy(magic, magic + 7, p.begin());
    WriteLe16(&p[8], totalOverride ? totalOverride : static_cast<std::uint16_t>(p.size()));
    WriteLe16(&p[10], 16);
    WriteLe16(&p[12], id);
    WriteLe16(&p[14], static_cast<std::uint16_t>(~Sum16(p.data(), p.size())));
    return p;
}

Bytes ErrorReply(std::uint32_t code)
{
    Bytes payload(4);
    WriteLe32(payload.data(), code);
    return Packet(kErrorReplyId, payload);
}

Bytes Block(std::size_t n, std::uint8_t seed)
{
    Bytes b(n);
    std::iota(b.begin(), b.end(), seed);
    return b;
}

struct TransactFixture : ::testing::Test {
    ScriptedLink link;
    FakeClock clock;
    std::array<std::uint8_t, kPacketBufferSize> buffer{};
    std::string failure;

    bool Run(std::uint16_t id, std::size_t r, std::size_t q)
    {
        return Transact(link, clock, buffer.data(), id, r, q, failure);
    }
};

} // namespace

TEST(Sum16Test, KnownVectors)
{
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(Sum16(abc, 3), 0x62C4);
    EXPECT_EQ(static_cast<std::uint16_t>(~Sum16(abc, 3)), 0x9D3B);
    // End-around carry: FFFF + 0001 folds back to 0001.
    const std::uint8_t carry[] = {0xFF, 0xFF, 0x01, 0x00};
    EXPECT_EQ(Sum16(carry, 4), 0x0001);
    EXPECT_EQ(Sum16(abc, 0), 0);
}

TEST(PacketHeaderTest, RequestsMatchTheWireBytes)
{
    std::array<std::uint8_t, 16> p{};
    PacketHeader::BuildRequest(p.data(), 1, 0);
    const Bytes block1 = {0x48, 0x44, 0x52, 0x56, 0x31, 0x2E, 0x30, 0x00,
                          0x10, 0x00, 0x10, 0x00, 0x01, 0x00, 0xE3, 0x36};
    EXPECT_EQ(Bytes(p.begin(), p.end()), block1);

    PacketHeader::BuildRequest(p.data(), 0, 0);
    EXPECT_EQ(p[12], 0x00);
    EXPECT_EQ(p[13], 0x00);
    EXPECT_EQ(p[14], 0xE4);
    EXPECT_EQ(p[15], 0x36);

    // The acknowledgement of a block 0 write, as the device builds it.
    const Bytes ack = {0x48, 0x44, 0x52, 0x56, 0x31, 0x2E, 0x30, 0x00, 0x10, 0x00, 0x10, 0x00, 0x80, 0x00, 0x64, 0x36};
    EXPECT_EQ(Packet(128, {}), ack);
    EXPECT_EQ(Sum16(ack.data(), ack.size()), 0xFFFF);
}

TEST(PacketHeaderTest, ErrorReplyBytes)
{
    const Bytes crc = {0x48, 0x44, 0x52, 0x56, 0x31, 0x2E, 0x30, 0x00, 0x14, 0x00,
                       0x10, 0x00, 0xC0, 0x00, 0x1C, 0x36, 0x04, 0x00, 0x00, 0x00};
    EXPECT_EQ(ErrorReply(4), crc);
}

TEST(PacketHeaderTest, ErrorTexts)
{
    EXPECT_EQ(DeviceErrorText(0), "");
    EXPECT_EQ(DeviceErrorText(1), "Ошибка длинны");
    EXPECT_EQ(DeviceErrorText(2), "Ошибка в заголовке");
    EXPECT_EQ(DeviceErrorText(3), "Внутренняя ошибка");
    EXPECT_EQ(DeviceErrorText(4), "Ошибка CRC");
    EXPECT_EQ(DeviceErrorText(5), "Ошибка при сохранении параметров");
    EXPECT_EQ(DeviceErrorText(6), "");
    EXPECT_EQ(DeviceErrorText(0xFFFFFFFFu), "");
}

TEST_F(TransactFixture, ReadDeliversTheBlock)
{
    const Bytes block = Block(117, 3);
    link.Queue(Packet(1, block));
    ASSERT_TRUE(Run(1, 117, 0)) << failure;
    EXPECT_TRUE(std::equal(block.begin(), block.end(), buffer.begin() + 16));
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0].size(), 16u);
    EXPECT_EQ(link.readSizes, std::vector<std::size_t>{133});
    EXPECT_EQ(clock.sleeps, std::vector<unsigned>{5});
}

TEST_F(TransactFixture, ForeignMagicIsAccepted)
{
    Bytes reply = Packet(0, Block(9, 1));
    // Change the magic and keep the check right: only the fields that matter
    // are examined.
    reply[0] = 'X';
    reply[1] = 'Y';
    WriteLe16(&reply[14], 0);
    WriteLe16(&reply[14], static_cast<std::uint16_t>(~Sum16(reply.data(), reply.size())));
    link.Queue(reply);
    EXPECT_TRUE(Run(0, 9, 0)) << failure;
}

TEST_F(TransactFixture, WriteSendsPiecesOfSixtyFourWithPauses)
{
    const Bytes block = Block(476, 7);
    std::copy(block.begin(), block.end(), buffer.begin() + 16);
    link.Queue(Packet(134, {}));
    ASSERT_TRUE(Run(134, 0, 476)) << failure;

    std::vector<std::size_t> pieces;
    for (const auto& w : link.writes)
        pieces.push_back(w.size());
    EXPECT_EQ(pieces, (std::vector<std::size_t>{64, 64, 64, 64, 64, 64, 64, 44}));
    // 5 ms before the request, 2 ms between pieces, none after the last.
    EXPECT_EQ(clock.sleeps, (std::vector<unsigned>{5, 2, 2, 2, 2, 2, 2, 2}));

    const Bytes sent = link.AllWritten();
    ASSERT_EQ(sent.size(), 492u);
    EXPECT_EQ(ReadLe16(&sent[8]), 492);
    EXPECT_EQ(ReadLe16(&sent[12]), 134);
    EXPECT_EQ(Sum16(sent.data(), sent.size()), 0xFFFF);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), sent.begin() + 16));
}

TEST_F(TransactFixture, ErrorReplyToAWriteArrivesInTwoReads)
{
    std::copy_n(Block(9, 0).begin(), 9, buffer.begin() + 16);
    link.Queue(ErrorReply(5));
    EXPECT_FALSE(Run(128, 0, 9));
    EXPECT_EQ(failure, "Запрос Id=128 ошибка: Ошибка при сохранении параметров");
    EXPECT_EQ(link.readSizes, (std::vector<std::size_t>{16, 4}));
    EXPECT_EQ(link.writes.size(), 1u) << "an error reply is not retried";
}

TEST_F(TransactFixture, ErrorReplyToAReadIsTwentyBytes)
{
    link.Queue(ErrorReply(4));
    EXPECT_FALSE(Run(3, 20, 0));
    EXPECT_EQ(failure, "Запрос Id=3 ошибка: Ошибка CRC");

    for (std::uint32_t code : {1u, 2u, 3u}) {
        link.Queue(ErrorReply(code));
        EXPECT_FALSE(Run(0, 9, 0));
        EXPECT_EQ(failure, "Запрос Id=0 ошибка: " + DeviceErrorText(code));
    }
    for (std::uint32_t code : {0u, 6u, 192u}) {
        link.Queue(ErrorReply(code));
        EXPECT_FALSE(Run(2, 72, 0));
        EXPECT_EQ(failure, "Запрос Id=2 ошибка: ");
    }
}

TEST_F(TransactFixture, WrongReplyEndsWithoutRetry)
{
    // Wrong id.
    link.Queue(Packet(2, Block(9, 0)));
    EXPECT_FALSE(Run(0, 9, 0));
    EXPECT_EQ(failure, "Неверный ответ прибора.");

    // Bad check.
    Bytes bad = Packet(0, Block(9, 0));
    bad[20] ^= 0x01;
    link.Queue(bad);
    EXPECT_FALSE(Run(0, 9, 0));
    EXPECT_EQ(failure, "Неверный ответ прибора.");

    // Header length other than 16.
    Bytes hl = Packet(0, Block(9, 0));
    WriteLe16(&hl[10], 15);
    WriteLe16(&hl[14], 0);
    WriteLe16(&hl[14], static_cast<std::uint16_t>(~Sum16(hl.data(), hl.size())));
    link.Queue(hl);
    EXPECT_FALSE(Run(0, 9, 0));
    EXPECT_EQ(failure, "Неверный ответ прибора.");

    EXPECT_EQ(link.writes.size(), 3u);
}

TEST_F(TransactFixture, SilenceCostsEightAttempts)
{
    EXPECT_FALSE(Run(5, 214, 0));
    EXPECT_EQ(failure, "Ошибка при считывании параметров.");
    EXPECT_EQ(link.writes.size(), 8u);
    EXPECT_EQ(link.reads, 8);
    Bytes expected;
    for (int i = 0; i < 8; ++i) {
        expected.push_back(5);
        expected.push_back(100);
    }
    EXPECT_EQ(Bytes(clock.sleeps.begin(), clock.sleeps.end()), expected);
}

TEST_F(TransactFixture, ShortReplyIsRetriedThenAccepted)
{
    Bytes good = Packet(0, Block(9, 9));
    link.Queue(Bytes(good.begin(), good.begin() + 10)); // cut short
    link.Queue(good);
    ASSERT_TRUE(Run(0, 9, 0)) << failure;
    EXPECT_EQ(link.writes.size(), 2u);
}

TEST_F(TransactFixture, RetriedWriteSendsTheSamePayload)
{
    const Bytes block = Block(72, 40);
    std::copy(block.begin(), block.end(), buffer.begin() + 16);
    link.QueueSilence();
    link.Queue(Packet(130, {}));
    ASSERT_TRUE(Run(130, 0, 72)) << failure;
    const Bytes sent = link.AllWritten();
    ASSERT_EQ(sent.size(), 2u * 88u);
    EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + 88, sent.begin() + 88));
}

TEST_F(TransactFixture, DeclaredLengthNeverReadsPastTheBuffer)
{
    // A reply of the right size claiming a huge total length: the follow-up
    // read stops at the end of the 1024-byte buffer, and the reply fails.
    Bytes reply = Packet(6, Block(476, 0), 0xFFFF);
    Bytes tail(2000, 0xAB);
    link.Queue(reply);
    link.Queue(tail);
    std::array<std::uint8_t, kPacketBufferSize + 64> guarded{};
    guarded.fill(0x5A);
    EXPECT_FALSE(Transact(link, clock, guarded.data(), 6, 476, 0, failure));
    EXPECT_EQ(failure, "Неверный ответ прибора.");
    ASSERT_EQ(link.readSizes.size(), 2u);
    EXPECT_EQ(link.readSizes[1], kPacketBufferSize - 492);
    for (std::size_t i = kPacketBufferSize; i < guarded.size(); ++i)
        ASSERT_EQ(guarded[i], 0x5A) << "byte " << i << " beyond the buffer was written";
}
