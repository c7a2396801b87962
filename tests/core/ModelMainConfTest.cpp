#include "model/Conversions.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using namespace plendoro;

namespace {

using Block = std::array<std::uint8_t, kMainConfSize>;

TEST(ModelMainConf, ExampleBlockDecodesAndEncodesBack)
{
    const Block block{0x00, 0x00, 0x00, 0x00, 0x3C, 0x00, 0xFE, 0x01, 0x00};
    MainConfValues v;
    v.cbWideRecord = true;
    v.cbStaticNav = true;
    v.intGlonass = 2;
    v.cbWriteMethod = 1;
    ASSERT_TRUE(DecodeMainConf(block, v));
    EXPECT_EQ(v.cbWriteMethod, 0);
    EXPECT_EQ(v.edWritePeriod, "60");
    EXPECT_FALSE(v.cbWideRecord);
    EXPECT_FALSE(v.cbStaticNav);
    EXPECT_EQ(v.intGlonass, 0);
    EXPECT_EQ(v.dX, -2);
    EXPECT_EQ(v.dY, 1);
    EXPECT_EQ(v.dZ, 0);
    EXPECT_EQ(EncodeMainConf(v), block);
}

TEST(ModelMainConf, FlagBitsAndReceiverModeThreeReadsAsJoint)
{
    const Block block{0x3B, 0, 0, 0, 10, 0, 0, 0, 0};
    MainConfValues v;
    ASSERT_TRUE(DecodeMainConf(block, v));
    EXPECT_TRUE(v.cbWideRecord);
    EXPECT_EQ(v.cbWriteMethod, 1);
    EXPECT_TRUE(v.cbStaticNav);
    EXPECT_EQ(v.intGlonass, 0);
    EXPECT_EQ(EncodeMainConf(v)[0], 0x0B);

    MainConfValues gps;
    ASSERT_TRUE(DecodeMainConf(Block{0x20, 0, 0, 0, 0, 0, 0, 0, 0}, gps));
    EXPECT_EQ(gps.intGlonass, 2);
    ASSERT_TRUE(DecodeMainConf(Block{0x10, 0, 0, 0, 0, 0, 0, 0, 0}, gps));
    EXPECT_EQ(gps.intGlonass, 1);
}

TEST(ModelMainConf, ReservedBytesAndBitsComeBackZero)
{
    const Block block{0xC0, 0x11, 0x22, 0x33, 0x05, 0x00, 0x7F, 0x80, 0xFF};
    MainConfValues v;
    ASSERT_TRUE(DecodeMainConf(block, v));
    const Block expected{0x00, 0, 0, 0, 0x05, 0x00, 0x7F, 0x80, 0xFF};
    EXPECT_EQ(EncodeMainConf(v), expected);
    EXPECT_EQ(v.dY, -128);
    EXPECT_EQ(v.dZ, -1);
}

TEST(ModelMainConf, MethodWithoutListEntryLeavesNoSelectionAndWritesThree)
{
    MainConfValues v;
    ASSERT_TRUE(DecodeMainConf(Block{0x04, 0, 0, 0, 0, 0, 0, 0, 0}, v));
    EXPECT_EQ(v.cbWriteMethod, -1);
    ASSERT_TRUE(DecodeMainConf(Block{0x06, 0, 0, 0, 0, 0, 0, 0, 0}, v));
    EXPECT_EQ(v.cbWriteMethod, -1);
    EXPECT_EQ(EncodeMainConf(v)[0] & 0x06, 0x06);
}

TEST(ModelMainConf, WritePeriodTextDefaultsAndTruncation)
{
    MainConfValues v;
    v.edWritePeriod = "abc";
    EXPECT_EQ(EncodeMainConf(v)[4], 5);
    v.edWritePeriod = "";
    EXPECT_EQ(EncodeMainConf(v)[4], 5);
    v.edWritePeriod = " 60";
    EXPECT_EQ(EncodeMainConf(v)[4], 5);
    v.edWritePeriod = "65537";
    Block b = EncodeMainConf(v);
    EXPECT_EQ(b[4], 1);
    EXPECT_EQ(b[5], 0);
    v.edWritePeriod = "3600";
    b = EncodeMainConf(v);
    EXPECT_EQ(b[4], 0x10);
    EXPECT_EQ(b[5], 0x0E);
}

TEST(ModelMainConf, HeldAxesAreZeroUntilABlockIsDecoded)
{
    MainConfValues v;
    const Block b = EncodeMainConf(v);
    EXPECT_EQ(b[6], 0);
    EXPECT_EQ(b[7], 0);
    EXPECT_EQ(b[8], 0);
}

TEST(ModelMainConf, ShortBlockIsRefusedAndChangesNothing)
{
    const std::array<std::uint8_t, 8> shortBlock{0x3B, 0, 0, 0, 1, 0, 1, 1};
    MainConfValues v;
    v.edWritePeriod = "77";
    v.cbWriteMethod = 1;
    EXPECT_FALSE(DecodeMainConf(shortBlock, v));
    EXPECT_EQ(v.edWritePeriod, "77");
    EXPECT_EQ(v.cbWriteMethod, 1);
    EXPECT_FALSE(v.cbWideRecord);
}

} // namespace
