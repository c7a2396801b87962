// The field table and the comparison of two editors, as the command line's
// diff and the window's "Различия" dialog use them.
#include "editor/FieldTable.h"
#include "EditorHarness.h"
#include "FormSnapshot.h"
#include "SampleValues.h"
#include "editor/binding/EditorBinding.h"

#include <QListWidget>

#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <string>

using namespace plendoro;
using test::Utf8;

namespace {

constexpr std::uint32_t kHours = 0x18FEE500;
constexpr std::uint32_t kSpeed = 0x18FEF100;

class FieldTableTest : public ::testing::Test {
protected:
    FieldTableTest()
    {
        for (test::EditorHarness* side : {&a, &b}) {
            SettingsEditor& e = side->editor;
            CreateEditorRules(e);
            WriteNetConfValues(e, test::SampleNetValues());
            WriteInputsConfValues(e, test::SampleInputsValues());
            OneWireConfValues oneWire = test::SampleOneWireValues();
            // A ticked slot whose address does not read: encoding would untick it.
            oneWire.cbItempAddr[2] = true;
            oneWire.edItempAddr[2] = "not an address";
            WriteOneWireConfValues(e, oneWire);
            side->Field<QLineEdit>("edWritePeriod")->setText("100");
            side->Field<QComboBox>("cbRS485Speed")->setCurrentIndex(1);
            e.can->FoundCanParameters() = {{kHours, 1, 0, 0, 0, 0}, {kSpeed, 1, 0, 0, 0, 0}};
            e.can->RebuildCanLists();
        }
    }

    std::vector<Difference> Differences(int firmwareA = 403, int firmwareB = 403)
    {
        return Compare(a.editor, firmwareA, b.editor, firmwareB);
    }

    test::EditorHarness a;
    test::EditorHarness b;
};

TEST_F(FieldTableTest, AnUnchangedCopyDiffersInNothingAndCompareChangesNeitherSide)
{
    const QString before[] = {test::FormSnapshot(a.pages), test::FormSnapshot(b.pages)};
    EXPECT_TRUE(Differences().empty());
    EXPECT_EQ(Utf8(test::FormSnapshot(a.pages)), Utf8(before[0]));
    EXPECT_EQ(Utf8(test::FormSnapshot(b.pages)), Utf8(before[1]));
}

struct Change {
    const char* what;
    std::function<void(test::EditorHarness&)> apply; // to b
    Difference expected;
};

class FieldTableDifference : public FieldTableTest, public ::testing::WithParamInterface<Change> {};

TEST_P(FieldTableDifference, AppearsOnceWithItsPageAndCaption)
{
    const Change& change = GetParam();
    change.apply(b);
    const std::vector<Difference> found = Differences();
    ASSERT_EQ(found.size(), 1u) << change.what;
    const Difference& d = found.front();
    const Difference& e = change.expected;
    EXPECT_EQ(d.kind, e.kind);
    EXPECT_EQ(Utf8(d.field.name), Utf8(e.field.name));
    EXPECT_EQ(Utf8(d.field.page), Utf8(e.field.page));
    EXPECT_EQ(Utf8(d.field.caption), Utf8(e.field.caption));
    EXPECT_EQ(Utf8(d.a), Utf8(e.a));
    EXPECT_EQ(Utf8(d.b), Utf8(e.b));
}

Difference Expect(const char* name, const char* page, const char* caption, Difference::Kind kind, const char* a,
                  const char* b)
{
    Difference d;
    d.field.name = QString::fromUtf8(name);
    d.field.page = QString::fromUtf8(page);
    d.field.caption = QString::fromUtf8(caption);
    d.kind = kind;
    d.a = QString::fromUtf8(a);
    d.b = QString::fromUtf8(b);
    return d;
}

using K = Difference::Kind;
INSTANTIATE_TEST_SUITE_P(
    Changes, FieldTableDifference,
    ::testing::Values(
        Change{"period", [](test::EditorHarness& h) { h.Field<QLineEdit>("edWritePeriod")->setText("250"); },
               Expect("edWritePeriod", "Настройки прибора", "Интервал записи точек (м)", K::Changed, "100", "250")},
        Change{"list choice", [](test::EditorHarness& h) { h.Field<QComboBox>("cbRS485Speed")->setCurrentIndex(4); },
               Expect("cbRS485Speed", "Расширения / RS485", "Скорость интерфейса RS485", K::Changed, "9600", "57600")},
        Change{"iButton key",
               [](test::EditorHarness& h) { h.Field<QListWidget>("lbIbAddrList")->addItem("0000000000000C01"); },
               Expect("lbIbAddrList", "Расширения / 1-Wire", "Список ключей", K::Added, "", "0000000000000C01")},
        Change{"chosen CAN parameter",
               [](test::EditorHarness& h) {
                   h.editor.can->FoundCanParameters()[0].Used = 0;
                   h.editor.can->RebuildCanLists();
               },
               Expect("lbCANUsedIds", "Расширения / CAN", "Записывать параметры", K::Removed, "Моточасы", "")}),
    // Named by what changes, not by the bytes of the case.
    [](const ::testing::TestParamInfo<Change>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(FieldTableTest, FieldsNewerThanOneSideAreOnlyInTheOther)
{
    const std::vector<Difference> found = Differences(304, 403);
    std::size_t newer = 0;
    for (const FieldRow& row : FieldTable(a.editor))
        newer += row.minVersion > 304 ? 1 : 0;
    EXPECT_EQ(found.size(), newer);
    std::set<std::string> oneWire;
    for (const Difference& d : found) {
        EXPECT_EQ(d.kind, K::OnlyInB) << Utf8(d.field.name);
        EXPECT_EQ(Utf8(d.a), "нет в этой версии");
        EXPECT_EQ(Utf8(d.b), Utf8(ShownValue(b.editor, d.field)));
        if (d.field.page == QStringLiteral("Расширения / 1-Wire"))
            oneWire.insert(Utf8(d.field.name));
    }
    EXPECT_TRUE(oneWire.contains("cbIbReadAny") && oneWire.contains("edItempAddr8") &&
                oneWire.contains("edItempWritePeriod58"));
    const std::vector<Difference> reversed = Differences(403, 304);
    ASSERT_EQ(reversed.size(), newer);
    EXPECT_EQ(reversed.front().kind, K::OnlyInA);
    EXPECT_EQ(Utf8(reversed.front().b), "нет в этой версии");
}

TEST_F(FieldTableTest, RowsAreUniqueNamedPlacedAndCaptioned)
{
    const std::vector<FieldRow> rows = FieldTable(a.editor);
    std::set<std::string> names;
    std::map<std::string, std::string> captions; // page and caption to name
    for (const FieldRow& row : rows) {
        EXPECT_TRUE(names.insert(Utf8(row.name)).second) << Utf8(row.name);
        EXPECT_FALSE(row.page.isEmpty()) << Utf8(row.name);
        EXPECT_FALSE(row.caption.isEmpty()) << Utf8(row.name);
        captions[Utf8(row.page + " | " + row.caption)] = Utf8(row.name);
        // The hidden control points travel in no block.
        EXPECT_FALSE(row.page.startsWith(QStringLiteral("Контрольные точки"))) << Utf8(row.name);
    }
    EXPECT_EQ(captions.size(), rows.size()) << "a caption repeats on a page";
    const std::map<std::string, std::string> expected = {
        {"Цифровые входы / Входы 1-4 | Вход 2: Данные", "cbIn2Send"},
        {"Цифровые входы / Входы 5-8 | Вход 6: Момент отсылки (событие)", "cbIn6Level"},
        {"Передача данных | Передача NMEA по UDP: IP адрес сервера", "edIpUDPServer"},
        {"Аналоговые входы | Аналоговый вход 2: Порог переключения", "edAIn2DigLevel"},
        {"Цифровые входы / Входы 1-4 | Вход 1", "gbIn1"},
    };
    for (const auto& [caption, name] : expected)
        EXPECT_EQ(captions[caption], name) << caption;
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(Utf8(rows.front().name), "cbWriteMethod");
}

} // namespace
