#include "model/Conversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

using namespace plendoro;

namespace {

using Block = std::array<std::uint8_t, kOneWireConfSize>;

std::uint32_t Flags(const Block& b)
{
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::string KeyLine(int i)
{
    char text[17];
    std::snprintf(text, sizeof text, "C4%06X0000AA01", i); // byte 4 is i's low byte
    return text;
}

OneWireConfValues ListedKeys(int count)
{
    OneWireConfValues v;
    v.cbIbReadAny = false;
    for (int i = 1; i <= count; ++i)
        v.lbIbAddrList.push_back(KeyLine(i));
    return v;
}

OneWireConfValues Decoded(const Block& b, OneWireConfValues v = {})
{
    EXPECT_TRUE(DecodeOneWireConf(b, v));
    return v;
}

TEST(ModelOneWireConf, AnyKeyStoresNoKeyButStoredKeysAreStillListed)
{
    OneWireConfValues v = ListedKeys(3);
    v.cbIbReadAny = true;
    Block b = EncodeOneWireConf(v);
    EXPECT_EQ(Flags(b), 1u);
    EXPECT_TRUE(std::all_of(b.begin() + 76, b.end(), [](std::uint8_t x) { return x == 0; }));
    v = Decoded(b, ListedKeys(2));
    EXPECT_TRUE(v.cbIbReadAny);
    EXPECT_TRUE(v.lbIbAddrList.empty());

    b[76] = 0x01;
    v = Decoded(b);
    EXPECT_TRUE(v.cbIbReadAny);
    EXPECT_EQ(v.lbIbAddrList, std::vector<std::string>{"0000000000000001"});
}

TEST(ModelOneWireConf, EmptyListSetsNoKeysWhichIsIgnoredWhenRead)
{
    OneWireConfValues v;
    v.cbIbReadAny = false;
    EXPECT_EQ(Flags(EncodeOneWireConf(v)), 0x400u);

    Block b{};
    b[1] = 0xE4; // NoKeys and the unused bits 13-15
    b[2] = 0xFF;
    b[3] = 0xFF;
    v = Decoded(b);
    EXPECT_FALSE(v.cbIbReadAny);
    EXPECT_TRUE(v.lbIbAddrList.empty());
    EXPECT_EQ(Flags(EncodeOneWireConf(v)), 0x400u);
}

TEST(ModelOneWireConf, KeyLineIsStoredByteZeroFirst)
{
    OneWireConfValues v;
    v.cbIbReadAny = false;
    v.lbIbAddrList = {"C403020100", "NOT-A-KEY-AT-ALL", "C40302010000AA28"};
    const Block b = EncodeOneWireConf(v);
    EXPECT_EQ(Flags(b), 0u);
    const std::array<std::uint8_t, 9> stored{b[76], b[77], b[78], b[79], b[80], b[81], b[82], b[83], b[84]};
    EXPECT_EQ(stored, (std::array<std::uint8_t, 9>{0x28, 0xAA, 0x00, 0x00, 0x01, 0x02, 0x03, 0xC4, 0}));
    EXPECT_EQ(Decoded(b).lbIbAddrList, std::vector<std::string>{"C40302010000AA28"});
}

TEST(ModelOneWireConf, FiftyKeysAtMost)
{
    OneWireConfValues v = ListedKeys(51);
    const Block b = EncodeOneWireConf(v);
    EXPECT_EQ(b[76 + 8 * 49 + 4], 50);
    OneWireConfValues back = Decoded(b);
    ASSERT_EQ(back.lbIbAddrList.size(), 50u);
    EXPECT_EQ(back.lbIbAddrList.back(), KeyLine(50));

    // Skipped lines do not count towards the fifty.
    v.lbIbAddrList.insert(v.lbIbAddrList.begin(), "junk");
    v.lbIbAddrList.resize(51);
    EXPECT_EQ(Decoded(EncodeOneWireConf(v)).lbIbAddrList.back(), KeyLine(50));
}

TEST(ModelOneWireConf, KeySlotNeedsOneOfItsFirstSixBytes)
{
    Block b{};
    b[76 + 6] = 0x12;
    b[76 + 7] = 0x34;
    b[84 + 5] = 0x01;
    EXPECT_EQ(Decoded(b).lbIbAddrList, std::vector<std::string>{"0000010000000000"});
}

TEST(ModelOneWireConf, SensorWithUnreadableAddressIsUnticked)
{
    OneWireConfValues v;
    v.cbItempAddr[0] = true;
    v.edItempAddr[0] = "0102030405060728";
    v.cbItempAddr[2] = true;
    v.edItempAddr[2] = "01020304ZZ060728";
    const Block b = EncodeOneWireConf(v);
    EXPECT_TRUE(v.cbItempAddr[0]);
    EXPECT_FALSE(v.cbItempAddr[2]);
    EXPECT_EQ(Flags(b), 1u | 1u << 2);
    EXPECT_EQ(b[12], 0x28);
    EXPECT_EQ(b[19], 0x01);
    EXPECT_TRUE(std::all_of(b.begin() + 28, b.begin() + 36, [](std::uint8_t x) { return x == 0; }));
}

TEST(ModelOneWireConf, DecodeStartsFromThePageDefaults)
{
    OneWireConfValues v;
    v.cbItempAddr[7] = true;
    v.edItempAddr[7] = "AABBCCDDEEFF0028";
    v.edItempAddr[4] = "1111111111111128";
    v.cbIbPulseOut2 = true;
    v.edItempWritePeriod14 = "30";
    v.edItempWritePeriod58 = "";
    Block b = EncodeOneWireConf(v);
    EXPECT_EQ(Flags(b), 1u | 1u << 9 | 1u << 12);
    EXPECT_EQ(b[12 + 8 * 7], 0x28);
    EXPECT_EQ(b[12 + 8 * 4], 0);
    EXPECT_EQ(b[4], 30);
    EXPECT_EQ(b[8], 0);

    OneWireConfValues shown;
    shown.cbItempAddr[4] = true;
    shown.edItempAddr[4] = "stale";
    shown.edIbAddr = "typed";
    shown.cbIbPulseOut1 = true;
    shown.edItempWritePeriod58Enabled = true;
    OneWireConfValues back = Decoded(b, shown);
    EXPECT_TRUE(back.cbItempAddr[7]);
    EXPECT_EQ(back.edItempAddr[7], "AABBCCDDEEFF0028");
    EXPECT_FALSE(back.cbItempAddr[4]);
    EXPECT_EQ(back.edItempAddr[4], "");
    EXPECT_EQ(back.edIbAddr, "");
    EXPECT_FALSE(back.cbIbPulseOut1);
    EXPECT_TRUE(back.cbIbPulseOut2);
    EXPECT_EQ(back.edItempWritePeriod14, "30");
    EXPECT_EQ(back.edItempWritePeriod58, "0");
    EXPECT_FALSE(back.edItempWritePeriod58Enabled);
    EXPECT_EQ(EncodeOneWireConf(back), b);

    b[8] = b[9] = b[10] = b[11] = 0xFF;
    EXPECT_EQ(Decoded(b).edItempWritePeriod58, "-1");
}

TEST(ModelOneWireConf, OneSensorOnTheLineStoresAndShowsNoSlot)
{
    OneWireConfValues v;
    v.cbItempReadAll = true;
    v.cbItempAddr[1] = true;
    v.edItempAddr[1] = "0102030405060728";
    v.cbItempAddr[5] = true;
    v.edItempAddr[5] = "bad";
    Block b = EncodeOneWireConf(v);
    EXPECT_EQ(Flags(b), 1u | 2u);
    EXPECT_TRUE(std::all_of(b.begin() + 12, b.begin() + 76, [](std::uint8_t x) { return x == 0; }));
    EXPECT_TRUE(v.cbItempAddr[5]);

    // Sensor bits beside the one-sensor flag are not shown either.
    b[0] |= 0x04 | 0x08;
    b[12] = 0x28;
    const OneWireConfValues back = Decoded(b);
    EXPECT_TRUE(back.cbItempReadAll);
    for (std::size_t n = 0; n < kOneWireSensorCount; ++n) {
        EXPECT_FALSE(back.cbItempAddr[n]);
        EXPECT_EQ(back.edItempAddr[n], "");
    }
}

TEST(ModelOneWireConf, ShortBlockIsRefusedAndKeepsThePage)
{
    OneWireConfValues v = ListedKeys(2);
    EXPECT_FALSE(DecodeOneWireConf(std::array<std::uint8_t, 475>{}, v));
    EXPECT_FALSE(v.cbIbReadAny);
    EXPECT_EQ(v.lbIbAddrList.size(), 2u);
}

} // namespace
