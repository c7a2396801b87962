// Kinds, names and decoded descriptions of CAN identifiers, and the order
// of the recorded lists.
#include "services/core/CanParameters.h"
#include "services/core/CanListModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plendoro;

namespace {

using Lines = std::vector<std::string>;

TCANId_V3 Entry(std::uint32_t id, std::uint32_t a = 0, std::uint32_t b = 0)
{
    TCANId_V3 e;
    e.Id = id;
    e.dA = a;
    e.dB = b;
    return e;
}

// Every line but the last "RAW Data" one.
Lines Items(const TCANId_V3& e)
{
    Lines l = CanDetailLines(e);
    l.pop_back();
    return l;
}

struct Known {
    std::uint32_t id;
    const char* name;
};

const Known kKnown[] = {
    {0x0CF00300, "Педаль акселератора"},
    {0x0CF00400, "Обороты двигателя"},
    {0x18FEC000, "Пробег до следующего ТО"},
    {0x18FEC100, "Пробеги автомобиля"},
    {0x18FEE500, "Моточасы"},
    {0x18FEE900, "Общий расход топлива"},
    {0x18FEEA00, "Весовая нагрузка на оси"},
    {0x18FEEE00, "Температуры масла"},
    {0x18FEF100, "Скорость, состояние педалей"},
};

} // namespace

TEST(CanParametersTest, KindsAndNamesFollowTheParameterGroupOnly)
{
    for (const Known& k : kKnown) {
        EXPECT_TRUE(IsKnownCanPgn(k.id)) << std::hex << k.id;
        EXPECT_FALSE(IsFuelCanPgn(k.id));
        EXPECT_FALSE(IsUserCanPgn(k.id));
        EXPECT_EQ(CanParameterName(Entry(k.id)), k.name);
        // Another source address and priority: the same parameter, the
        // same line text.
        const std::uint32_t other = (k.id ^ 0x04000000) | 0x3D;
        EXPECT_TRUE(IsKnownCanPgn(other));
        EXPECT_EQ(CanParameterName(Entry(other)), CanParameterName(Entry(k.id)));
    }
    EXPECT_TRUE(IsFuelCanPgn(0x18FEFC17));
    EXPECT_FALSE(IsKnownCanPgn(0x18FEFC17));
    EXPECT_FALSE(IsUserCanPgn(0x18FEFC17));
    EXPECT_EQ(CanParameterName(Entry(0x18FEFC17)), "Уровень топлива в баке(23)");
    EXPECT_EQ(CanParameterName(Entry(0x18FEFC21)), "Уровень топлива в баке(33)");

    // Neighbours of the table and bits outside the group number.
    for (std::uint32_t id : {0x18FEF200u, 0x18F00200u, 0x18FEFD00u, 0x18FF0000u, 0x00000000u, 0x1FFFFFFFu}) {
        EXPECT_TRUE(IsUserCanPgn(id)) << std::hex << id;
        EXPECT_EQ(CanParameterName(Entry(id)), "Неизвестный параметр");
    }
    EXPECT_FALSE(IsUserCanPgn(0x00FEF100));
}

TEST(CanParametersTest, DetailOfEveryParameterGroupWithValues)
{
    EXPECT_EQ(Items(Entry(0x0CF00300, 0x00AB0000)), Lines{"Педаль акселератора(171)"});
    EXPECT_EQ(CanDetailLines(Entry(0x0CF00400, 0x12345678, 0x9ABCDEF0)),
              (Lines{"Обороты двигателя", "RAW Data: ID0x0CF00400, dA=0x12345678, dB=0x9ABCDEF0"}));
    EXPECT_EQ(Items(Entry(0x18FEC000, 0x00123400)), Lines{"Пробег до следующего ТО(4660)"});
    EXPECT_EQ(Items(Entry(0x18FEC100, 0x00001000, 0x00000050)),
              (Lines{"Общий пробег автомобиля(4096)", "Дневной пробег автомобиля(10)"}));
    EXPECT_EQ(Items(Entry(0x18FEC100, 0xFFFFFFFE, 0)),
              (Lines{"Общий пробег автомобиля(-2)", "Дневной пробег автомобиля(0)"}));
    EXPECT_EQ(Items(Entry(0x18FEE500, 0x80000000)), Lines{"Моточасы(-2147483648)"});
    EXPECT_EQ(Items(Entry(0x18FEE900, 0xFFFFFFFF, 0x0000007D)), Lines{"Общий расход топлива(125)"});
    EXPECT_EQ(Items(Entry(0x18FEEA00, 0x00320023)), Lines{"Весовая нагрузка на ось 2 колесо 3 (50)"});
    EXPECT_EQ(Items(Entry(0x18FEEE00, 0x005A6478)),
              (Lines{"Температура масла(90)", "Температура охлаждающей жидкости(120)", "Температура топлива(100)"}));
    EXPECT_EQ(Items(Entry(0x18FEF100, 0xA23C0008)), (Lines{"Скорость(60)", "Круиз контроль(2)", "Педаль тормоза(2)",
                                                           "Ручной тормоз(2)", "Педаль сцепления(2)"}));
    EXPECT_EQ(Items(Entry(0x18FEFC17, 0x00005A00)), Lines{"Уровень топлива в баке 23 (90)"});
    EXPECT_EQ(Items(Entry(0x18FEFC21, 0xFFFF3000)), Lines{"Уровень топлива в баке 33 (48)"});
    EXPECT_EQ(CanDetailLines(Entry(0x18FF0001, 1, 2)),
              (Lines{"Неизвестный параметр (0x18FF0001)", "RAW Data: ID0x18FF0001, dA=0x00000001, dB=0x00000002"}));
    EXPECT_EQ(CanDetailText(Entry(0x18FEC100, 0x00001000, 0x00000050)),
              "Общий пробег автомобиля(4096)\r\nДневной пробег автомобиля(10)\r\n"
              "RAW Data: ID0x18FEC100, dA=0x00001000, dB=0x00000050");
}

TEST(CanParametersTest, DetailMarksMissingValues)
{
    EXPECT_EQ(Items(Entry(0x0CF00300, 0x00AB0100)), Lines{"Педаль акселератора(НД)"});
    EXPECT_EQ(Items(Entry(0x18FEC000, 0x00000100)), Lines{"Пробег до следующего ТО(НД)"});
    EXPECT_EQ(Items(Entry(0x18FEC100, 0xFFFFFFFF, 0x00000008)),
              (Lines{"Общий пробег автомобиля(НД)", "Дневной пробег автомобиля(НД)"}));
    // One bit short of all set is a value.
    EXPECT_EQ(Items(Entry(0x18FEE500, 0xFFFFFFFF)), Lines{"Моточасы(НД)"});
    EXPECT_EQ(Items(Entry(0x18FEE500, 0x7FFFFFFF)), Lines{"Моточасы(2147483647)"});
    EXPECT_EQ(Items(Entry(0x18FEE900, 0, 0xFFFFFFFF)), Lines{"Общий расход топлива(НД)"});
    EXPECT_EQ(Items(Entry(0x18FEEA00, 0x00010000)), Lines{"Весовая нагрузка на оси(НД)"});
    EXPECT_EQ(Items(Entry(0x18FEEE00, 0x00010101)),
              (Lines{"Температура масла(НД)", "Температура охлаждающей жидкости(НД)", "Температура топлива(НД)"}));
    EXPECT_EQ(Items(Entry(0x18FEF100, 0xFFFFFFFF)), (Lines{"Скорость(НД)", "Круиз контроль(НД)", "Педаль тормоза(НД)",
                                                           "Ручной тормоз(НД)", "Педаль сцепления(НД)"}));
    EXPECT_EQ(Items(Entry(0x18FEFC17, 0xFFFFFFFF)), Lines{"Уровень топлива в баке 23 (НД)"});
    // Each item tests its own bit only.
    EXPECT_EQ(Items(Entry(0x18FEF100, 0x00000004)), (Lines{"Скорость(0)", "Круиз контроль(0)", "Педаль тормоза(0)",
                                                           "Ручной тормоз(0)", "Педаль сцепления(НД)"}));
}

TEST(CanParametersTest, AnEntryWithoutDataWordsShowsZeroValues)
{
    const std::vector<std::pair<std::uint32_t, Lines>> expected = {
        {0x0CF00300, {"Педаль акселератора(0)"}},
        {0x0CF00400, {"Обороты двигателя"}},
        {0x18FEC000, {"Пробег до следующего ТО(0)"}},
        {0x18FEC100, {"Общий пробег автомобиля(0)", "Дневной пробег автомобиля(0)"}},
        {0x18FEE500, {"Моточасы(0)"}},
        {0x18FEE900, {"Общий расход топлива(0)"}},
        {0x18FEEA00, {"Весовая нагрузка на ось 0 колесо 0 (0)"}},
        {0x18FEEE00, {"Температура масла(0)", "Температура охлаждающей жидкости(0)", "Температура топлива(0)"}},
        {0x18FEF100,
         {"Скорость(0)", "Круиз контроль(0)", "Педаль тормоза(0)", "Ручной тормоз(0)", "Педаль сцепления(0)"}},
        {0x18FEFC05, {"Уровень топлива в баке 5 (0)"}},
        {0x18FF0A05, {"Неизвестный параметр (0x18FF0A05)"}},
    };
    for (const auto& [id, lines] : expected) {
        const Lines all = CanDetailLines(Entry(id));
        EXPECT_EQ(Items(Entry(id)), lines) << std::hex << id;
        char raw[64];
        std::snprintf(raw, sizeof raw, "RAW Data: ID0x%08X, dA=0x00000000, dB=0x00000000", unsigned(id));
        EXPECT_EQ(all.back(), raw);
    }
}

TEST(CanParametersTest, ListsSortByOrderWithThePlainExchangeSort)
{
    std::vector<TCANId_V3> e = {Entry(0x18FEFC01), Entry(0x18FEFC02), Entry(0x18FEFC03),
                                Entry(0x18FEF100), Entry(0x18FF0001), Entry(0x18FF0002)};
    for (auto& x : e)
        x.Used = 1;
    e[0].Order = 2;
    e[1].Order = 2;
    e[2].Order = 1;
    e[4].Order = 1;
    e[4].Window = 2;
    e[5].Order = 0;
    const CanListLines l = BuildCanListLines(e);
    ASSERT_EQ(l.found.size(), 6u);
    ASSERT_EQ(l.common.size(), 1u);
    EXPECT_EQ(l.common[0].entry, 3u);
    // The exchange with the Order-1 line carries the first Order-2 line
    // behind the second.
    ASSERT_EQ(l.fuel.size(), 3u);
    EXPECT_EQ(l.fuel[0].entry, 2u);
    EXPECT_EQ(l.fuel[1].entry, 1u);
    EXPECT_EQ(l.fuel[2].entry, 0u);
    ASSERT_EQ(l.user.size(), 2u);
    EXPECT_EQ(l.user[0].text, "Неизвестный параметр; 1-6 байты");
    EXPECT_EQ(l.user[1].text, "Неизвестный параметр; 3-8 байты");

    // Only Used = 1 is listed as recorded.
    e[3].Used = 0;
    e[5].Used = 2;
    const CanListLines fewer = BuildCanListLines(e);
    EXPECT_TRUE(fewer.common.empty());
    EXPECT_EQ(fewer.user.size(), 1u);
    EXPECT_EQ(fewer.found.size(), 6u);
}
