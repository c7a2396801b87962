#include "model/Conversions.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

using namespace plendoro;

namespace {

using Block = std::array<std::uint8_t, kCanConfSize>;

std::uint32_t SlotId(const Block& b, std::size_t s)
{
    const std::size_t at = 4 + 7 * s;
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Entries with ids 1000 + i; `recorded` lists the indexes marked Used.
std::vector<TCANId_V3> Entries(std::size_t count, std::initializer_list<std::size_t> recorded)
{
    std::vector<TCANId_V3> list(count);
    for (std::size_t i = 0; i < count; ++i)
        list[i] = {static_cast<std::uint32_t>(1000 + i), 0, static_cast<std::uint8_t>(i), 1, 0xAAAA, 0xBBBB};
    for (std::size_t i : recorded)
        list[i].Used = 1;
    return list;
}

TEST(ModelCanConf, RecordedEntriesFirstThenOthersUpToThirty)
{
    const auto list = Entries(35, {4, 20, 33});
    const Block b = EncodeCanConf(list, CanConfValues{});
    EXPECT_EQ(SlotId(b, 0), 1004u);
    EXPECT_EQ(SlotId(b, 1), 1020u);
    EXPECT_EQ(SlotId(b, 2), 1033u);
    EXPECT_EQ(b[4 + 4], 1);
    // The 27 unrecorded entries that fit are the first 27 in list order:
    // 0-3, 5-19, 21-28.
    std::vector<std::uint32_t> others;
    for (std::size_t s = 3; s < 30; ++s)
        others.push_back(SlotId(b, s));
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; expected.size() < 27; ++i)
        if (i != 4 && i != 20 && i != 33)
            expected.push_back(1000 + i);
    EXPECT_EQ(others, expected);
    EXPECT_EQ(expected.back(), 1028u);
}

TEST(ModelCanConf, FortyRecordedEntriesStoreTheFirstThirty)
{
    std::vector<TCANId_V3> list = Entries(40, {});
    for (auto& e : list)
        e.Used = 1;
    const Block b = EncodeCanConf(list, CanConfValues{});
    for (std::size_t s = 0; s < 30; ++s)
        EXPECT_EQ(SlotId(b, s), 1000 + s);
}

TEST(ModelCanConf, SlotCarriesUsedOrderAndWindow)
{
    const std::vector<TCANId_V3> list{{0x18FEF100, 1, 2, 2, 0xFFFF2A00, 0xC3FFFFFF}};
    CanConfValues v;
    v.edCANPeriodSave = "300";
    const Block b = EncodeCanConf(list, v);
    EXPECT_EQ((std::array<std::uint8_t, 11>{0x2C, 0x01, 0, 0, 0x00, 0xF1, 0xFE, 0x18, 1, 2, 2}),
              (std::array<std::uint8_t, 11>{b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10]}));
}

TEST(ModelCanConf, EmptyListGivesZeroSlotsAndDecodesToAnEmptyList)
{
    CanConfValues v;
    v.edCANPeriodSave = "60";
    const Block b = EncodeCanConf({}, v);
    EXPECT_EQ(b[0], 60);
    for (std::size_t i = 4; i < kCanConfSize; ++i)
        ASSERT_EQ(b[i], 0) << i;

    std::vector<TCANId_V3> found = Entries(5, {1});
    ASSERT_TRUE(DecodeCanConf(b, found, v));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(v.edCANPeriodSave, "60");
}

TEST(ModelCanConf, SlotWithIdZeroIsEmpty)
{
    Block b{};
    b[4 + 4] = 1;
    b[4 + 5] = 7;
    b[4 + 6] = 2;
    b[4 + 7 * 3] = 0x42;
    b[4 + 7 * 3 + 5] = 9;
    std::vector<TCANId_V3> found;
    CanConfValues v;
    ASSERT_TRUE(DecodeCanConf(b, found, v));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Id, 0x42u);
    EXPECT_EQ(found[0].Order, 9);
}

TEST(ModelCanConf, ReadBackPutsRecordedFirstWithDataWordsZero)
{
    const auto list = Entries(6, {2, 5});
    const Block b = EncodeCanConf(list, CanConfValues{});
    std::vector<TCANId_V3> found;
    CanConfValues v;
    ASSERT_TRUE(DecodeCanConf(b, found, v));
    std::vector<std::uint32_t> ids;
    for (const auto& e : found) {
        ids.push_back(e.Id);
        EXPECT_EQ(e.dA, 0u);
        EXPECT_EQ(e.dB, 0u);
        EXPECT_EQ(e.Window, 1);
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{1002, 1005, 1000, 1001, 1003, 1004}));
    EXPECT_EQ(found[0].Used, 1);
    EXPECT_EQ(found[2].Used, 0);
    EXPECT_EQ(found[0].Order, 2);
}

TEST(ModelCanConf, PeriodTextDefaultsAndSignedDisplay)
{
    CanConfValues v;
    v.edCANPeriodSave = "";
    Block b = EncodeCanConf({}, v);
    EXPECT_EQ(b[0] | b[1] | b[2] | b[3], 0);
    b[0] = b[1] = b[2] = b[3] = 0xFF;
    std::vector<TCANId_V3> found;
    ASSERT_TRUE(DecodeCanConf(b, found, v));
    EXPECT_EQ(v.edCANPeriodSave, "-1");
    EXPECT_EQ(EncodeCanConf(found, v), b);
}

TEST(ModelCanConf, ShortBlockIsRefusedAndKeepsTheList)
{
    const std::array<std::uint8_t, 213> shortBlock{};
    std::vector<TCANId_V3> found = Entries(3, {});
    CanConfValues v;
    EXPECT_FALSE(DecodeCanConf(shortBlock, found, v));
    EXPECT_EQ(found.size(), 3u);
}

} // namespace
