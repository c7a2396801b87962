#include "model/Conversions.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using namespace plendoro;

namespace {

using Block = std::array<std::uint8_t, kRs485ConfSize>;

std::uint32_t Baud(const Block& b)
{
    return b[4] | b[5] << 8 | b[6] << 16 | static_cast<std::uint32_t>(b[7]) << 24;
}

Rs485ConfValues Decoded(const Block& b, int fw, Rs485ConfValues v = {})
{
    EXPECT_TRUE(DecodeRs485Conf(b, fw, v));
    return v;
}

TEST(ModelRs485Conf, RoundTripKeepsSensorsPeriodsAndSpeed)
{
    // Receiver code 3 written for 307+, 57600 baud, periods 30 and 3600,
    // sensors 1, 4 and 8.
    const Block b{0x0B, 0, 0, 0, 0x00, 0xE1, 0, 0, 30, 0, 0x10, 0x0E, 1, 0, 0, 200, 0, 0, 0, 254};
    const Rs485ConfValues v = Decoded(b, 310);
    EXPECT_EQ(v.cbRS485Speed, 4);
    EXPECT_EQ(v.edLLSWritePeriod58, "3600");
    EXPECT_TRUE(v.cbLLSAddr[0]);
    EXPECT_EQ(v.edLLSAddr[3], "200");
    EXPECT_FALSE(v.cbLLSAddr[1]);
    EXPECT_EQ(v.edLLSAddr[1], "0");
    EXPECT_EQ(v.GlonassMode, 1);
    EXPECT_EQ(EncodeRs485Conf(v, 310), b);
}

TEST(ModelRs485Conf, SensorAddresses)
{
    Block b{};
    b[13] = 255;
    Rs485ConfValues shown;
    shown.cbLLSAddr[1] = true;
    shown.edLLSAddr[1] = "17";
    Rs485ConfValues v = Decoded(b, 305, shown);
    EXPECT_FALSE(v.cbLLSAddr[1]);
    EXPECT_EQ(v.edLLSAddr[1], "0");
    EXPECT_EQ(EncodeRs485Conf(v, 305)[13], 0);

    v.cbLLSAddr = {true, true, false};
    v.edLLSAddr = {"", "300", "9"};
    b = EncodeRs485Conf(v, 305);
    EXPECT_EQ(b[12], 0);
    EXPECT_EQ(b[13], 44);
    EXPECT_EQ(b[14], 0);
    v = Decoded(b, 305);
    EXPECT_FALSE(v.cbLLSAddr[0]);
    EXPECT_EQ(v.edLLSAddr[1], "44");
}

TEST(ModelRs485Conf, SpeedOutsideTheTable)
{
    Block b{};
    b[4] = 0x40; // 14400
    b[5] = 0x38;
    Rs485ConfValues shown;
    shown.cbRS485Speed = 5;
    Rs485ConfValues v = Decoded(b, 305, shown);
    EXPECT_EQ(v.cbRS485Speed, 5);
    EXPECT_EQ(Baud(EncodeRs485Conf(v, 305)), 115200u);
    v.cbRS485Speed = 0;
    EXPECT_EQ(Baud(EncodeRs485Conf(v, 305)), 4800u);
    // Only code can leave the list without a speed; nothing is read past it.
    v.cbRS485Speed = -1;
    EXPECT_EQ(Baud(EncodeRs485Conf(v, 305)), 0u);
    v.cbRS485Speed = 6;
    EXPECT_EQ(Baud(EncodeRs485Conf(v, 305)), 0u);
}

TEST(ModelRs485Conf, ReceiverByteBelow307IsNeitherWrittenNorRead)
{
    Rs485ConfValues v;
    v.cbRS485EnableGlonass = true;
    v.GlonassMode = 2;
    EXPECT_EQ(EncodeRs485Conf(v, 306)[0], 0);
    Rs485ConfValues shown;
    shown.GlonassMode = 1;
    v = Decoded(Block{0x0C}, 306, shown);
    EXPECT_FALSE(v.cbRS485EnableGlonass);
    EXPECT_EQ(v.GlonassMode, 1);
}

TEST(ModelRs485Conf, ReceiverCodesFrom307)
{
    Rs485ConfValues v;
    v.cbRS485EnableGlonass = true;
    v.GlonassMode = 2;
    EXPECT_EQ(EncodeRs485Conf(v, 307)[0], 0x0C);
    v.GlonassMode = 0;
    EXPECT_EQ(EncodeRs485Conf(v, 307)[0], 0x09);
    v.GlonassMode = -1;
    EXPECT_EQ(EncodeRs485Conf(v, 307)[0], 0x08);
    v.GlonassMode = 2;
    v.cbRS485EnableGlonass = false;
    EXPECT_EQ(EncodeRs485Conf(v, 307)[0], 0x08);

    // Code 7 names no mode: the box is ticked and the mode stays.
    Rs485ConfValues shown;
    shown.GlonassMode = 1;
    v = Decoded(Block{0x07}, 307, shown);
    EXPECT_TRUE(v.cbRS485EnableGlonass);
    EXPECT_TRUE(v.GlonassModeEnabled);
    EXPECT_EQ(v.GlonassMode, 1);

    v = Decoded(Block{0x0A}, 310, shown);
    EXPECT_EQ(v.GlonassMode, 0);
    EXPECT_EQ(EncodeRs485Conf(v, 310)[0], 0x09);
    for (std::uint8_t code : {4, 5, 6})
        EXPECT_EQ(Decoded(Block{code}, 307).GlonassMode, 2) << int(code);

    v = Decoded(Block{0x08}, 307, shown);
    EXPECT_FALSE(v.cbRS485EnableGlonass);
    EXPECT_FALSE(v.GlonassModeEnabled);
    EXPECT_EQ(v.GlonassMode, 1);
}

TEST(ModelRs485Conf, ReservedBytesAndPeriodText)
{
    const Rs485ConfValues v = Decoded(Block{0xF1, 1, 2, 3, 0x80, 0x25}, 310);
    const Block out = EncodeRs485Conf(v, 310);
    EXPECT_EQ((std::array<std::uint8_t, 4>{out[0], out[1], out[2], out[3]}),
              (std::array<std::uint8_t, 4>{0x09, 0, 0, 0}));

    Rs485ConfValues p;
    p.edLLSWritePeriod14 = "abc";
    p.edLLSWritePeriod58 = "65537";
    const Block b = EncodeRs485Conf(p, 305);
    EXPECT_EQ(b[8] | b[9] << 8, 0);
    EXPECT_EQ(b[10] | b[11] << 8, 1);
}

TEST(ModelRs485Conf, ShortBlockIsRefused)
{
    Rs485ConfValues v;
    v.cbLLSAddr[0] = true;
    EXPECT_FALSE(DecodeRs485Conf(std::array<std::uint8_t, 19>{}, 310, v));
    EXPECT_TRUE(v.cbLLSAddr[0]);
}

} // namespace
