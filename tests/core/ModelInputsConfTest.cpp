#include "model/Conversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

using namespace plendoro;

namespace {

using Block = std::array<std::uint8_t, kInputsConfSize>;

std::uint16_t Le16(const Block& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t Le32(const Block& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

InputsConfValues Filled()
{
    InputsConfValues v;
    v.analog[0] = {true, 500, true, 1, "200", "8"};
    v.analog[1] = {false, 60, false, 1, "300", "4"};
    for (std::size_t k = 0; k < kDigitalInputCount; ++k) {
        v.input[k].cbInLevel = static_cast<int>(k % 2);
        v.input[k].cbInSend = k % 3 == 0;
        v.input[k].cbInCont = k % 4 == 1;
        v.input[k].edInDuration = std::to_string(k * 7);
        v.input[k].rbInMode = static_cast<int>(k % 5);
    }
    v.edCnt12SendPeriod = "600";
    v.edCnt34SendPeriod = "60";
    v.edCnt56SendPeriod = "0";
    v.edCnt78SendPeriod = "3600";
    v.edAInWritePeriod = "30";
    return v;
}

TEST(ModelInputsConf, RoundTripOnCurrentFirmware)
{
    const Block b = EncodeInputsConf(Filled(), 305);
    InputsConfValues v;
    ASSERT_TRUE(DecodeInputsConf(b, 305, v));
    EXPECT_EQ(EncodeInputsConf(v, 305), b);
    EXPECT_EQ(v.analog[0].edAInDigLevel, 500);
    EXPECT_EQ(v.analog[0].cbAInAdMethod, 1);
    EXPECT_EQ(v.analog[0].edAInAdLevel, "200");
    EXPECT_EQ(v.input[7].edInDuration, "49");
    EXPECT_EQ(v.input[4].rbInMode, kModeMotion);
    EXPECT_EQ(v.edCnt34SendPeriod, "60");
}

TEST(ModelInputsConf, AnalogInputNotUsedAsDigitalWrites732AndKeepsTheSpinValue)
{
    InputsConfValues v = Filled();
    v.analog[0].cbAInAsDigital = false;
    v.analog[0].edAInDigLevel = 420;
    Block b = EncodeInputsConf(v, 305);
    EXPECT_EQ(b[0] & 1, 0);
    EXPECT_EQ(Le16(b, 4), 732);

    b[4] = 0x11;
    b[5] = 0x01;
    ASSERT_TRUE(DecodeInputsConf(b, 305, v));
    EXPECT_FALSE(v.analog[0].cbAInAsDigital);
    EXPECT_EQ(v.analog[0].edAInDigLevel, 420);
}

TEST(ModelInputsConf, AdaptiveOffWritesMethodZeroAndLevel1023)
{
    InputsConfValues v = Filled();
    v.analog[1].cbAInAdaptive = false;
    v.analog[1].cbAInAdMethod = 1;
    v.analog[1].edAInAdLevel = "12";
    Block b = EncodeInputsConf(v, 305);
    EXPECT_EQ(b[10] & 0x0E, 0);
    EXPECT_EQ(Le16(b, 16), 1023);

    // Decoding a block without adaptive mode keeps the method and level shown.
    b[16] = 5;
    ASSERT_TRUE(DecodeInputsConf(b, 305, v));
    EXPECT_EQ(v.analog[1].cbAInAdMethod, 1);
    EXPECT_EQ(v.analog[1].edAInAdLevel, "12");
}

TEST(ModelInputsConf, AdaptiveTextDefaultsAndMethodsWithoutListEntry)
{
    InputsConfValues v = Filled();
    v.analog[0].edAInAdLevel = "";
    v.analog[0].edAInAverPeriod = "x";
    v.analog[0].cbAInAdMethod = -1;
    Block b = EncodeInputsConf(v, 305);
    EXPECT_EQ(Le16(b, 6), 1023);
    EXPECT_EQ(Le16(b, 8), 16);
    EXPECT_EQ((b[0] >> 2) & 3, 3);
    ASSERT_TRUE(DecodeInputsConf(b, 305, v));
    EXPECT_EQ(v.analog[0].cbAInAdMethod, -1);
}

TEST(ModelInputsConf, InputWordOfInputThreeOnNewAndOldFirmware)
{
    Block b{};
    b[28] = 0x14;
    b[29] = 0x02;
    InputsConfValues v;
    v.input[2].cbInSend = true;
    v.input[2].cbInCont = true;
    v.input[2].edInDuration = "33";
    ASSERT_TRUE(DecodeInputsConf(b, 305, v));
    EXPECT_EQ(v.input[2].rbInMode, kModeMotion);
    EXPECT_EQ(v.input[2].cbInLevel, 1);
    EXPECT_EQ(v.input[2].edInDuration, "8");
    EXPECT_FALSE(v.input[2].cbInSend);
    EXPECT_FALSE(v.input[2].cbInCont);

    InputsConfValues old;
    old.input[2].cbInSend = true;
    old.input[2].cbInCont = true;
    old.input[2].edInDuration = "33";
    ASSERT_TRUE(DecodeInputsConf(b, 250, old));
    EXPECT_EQ(old.input[2].rbInMode, kModeMotion);
    EXPECT_EQ(old.input[2].cbInLevel, 1);
    EXPECT_TRUE(old.input[2].cbInSend);
    EXPECT_TRUE(old.input[2].cbInCont);
    EXPECT_EQ(old.input[2].edInDuration, "33");
}

TEST(ModelInputsConf, TransferBitsNeedFirmware300AndDurationIsMasked)
{
    InputsConfValues v = Filled();
    for (auto& in : v.input) {
        in.cbInSend = true;
        in.cbInCont = true;
        in.edInDuration = "63";
    }
    const Block b = EncodeInputsConf(v, 299);
    for (std::size_t k = 0; k < kDigitalInputCount; ++k)
        EXPECT_EQ(Le16(b, 20 + 4 * k) & 0x0FE8, 0) << k;
    const Block now = EncodeInputsConf(v, 300);
    EXPECT_EQ(Le16(now, 20) & 0x0FE8, 0x0FE8);

    v.input[1].edInDuration = "70";
    EXPECT_EQ((Le16(EncodeInputsConf(v, 305), 24) >> 6) & 63, 6);
    v.input[1].edInDuration = "";
    EXPECT_EQ((Le16(EncodeInputsConf(v, 305), 24) >> 6) & 63, 1);
}

TEST(ModelInputsConf, ModeOutOfRangeReadsAsSimpleAndNoButtonWritesMotion)
{
    Block b{};
    b[20] = 6;
    b[24] = 5;
    b[28] = 3;
    InputsConfValues v;
    v.input[0].rbInMode = kModeFreq;
    ASSERT_TRUE(DecodeInputsConf(b, 305, v));
    EXPECT_EQ(v.input[0].rbInMode, kModeBase);
    EXPECT_EQ(v.input[1].rbInMode, kModeBase);
    EXPECT_EQ(v.input[2].rbInMode, kModeFreq);
    EXPECT_EQ(EncodeInputsConf(v, 305)[20] & 7, 0);

    v.input[5].rbInMode = -1;
    EXPECT_EQ(EncodeInputsConf(v, 305)[40] & 7, 4);
}

TEST(ModelInputsConf, PeriodDefaultsDifferPerFieldAndReadSigned)
{
    InputsConfValues v;
    v.edCnt12SendPeriod = "";
    v.edCnt34SendPeriod = "";
    v.edCnt56SendPeriod = "-";
    v.edCnt78SendPeriod = "";
    v.edAInWritePeriod = "";
    const Block b = EncodeInputsConf(v, 305);
    EXPECT_EQ(Le32(b, 52), 3600u);
    EXPECT_EQ(Le32(b, 56), 3600u);
    EXPECT_EQ(Le32(b, 60), 0u);
    EXPECT_EQ(Le32(b, 64), 0u);
    EXPECT_EQ(Le32(b, 68), 0u);

    Block wide{};
    std::fill(wide.begin() + 68, wide.end(), 0xFF);
    ASSERT_TRUE(DecodeInputsConf(wide, 305, v));
    EXPECT_EQ(v.edCnt78SendPeriod, "-1");
    EXPECT_EQ(Le32(EncodeInputsConf(v, 305), 68), 0xFFFFFFFFu);
}

TEST(ModelInputsConf, ReservedBytesAndBitsComeBackZero)
{
    const Block clean = EncodeInputsConf(Filled(), 305);
    Block dirty = clean;
    for (std::size_t i : {1u, 2u, 3u, 11u, 12u, 13u})
        dirty[i] = 0x5A;
    dirty[0] |= 0xF0;
    dirty[10] |= 0xF0;
    for (std::size_t k = 0; k < kDigitalInputCount; ++k) {
        dirty[20 + 4 * k + 1] |= 0xF0;
        dirty[20 + 4 * k + 2] = 0xFF;
        dirty[20 + 4 * k + 3] = 0xFF;
    }
    InputsConfValues v = Filled();
    ASSERT_TRUE(DecodeInputsConf(dirty, 305, v));
    EXPECT_EQ(EncodeInputsConf(v, 305), clean);
}

TEST(ModelInputsConf, ShortBlockIsRefused)
{
    InputsConfValues v = Filled();
    EXPECT_FALSE(DecodeInputsConf(std::array<std::uint8_t, 71>{}, 305, v));
    EXPECT_EQ(v.edAInWritePeriod, "30");
}

} // namespace
