// Rules of the page "1-Wire": key group, sensor slots, the one-sensor box,
// keys added and deleted by hand, defaults and found addresses.
#include "editor/rules/OneWireRules.h"
#include "EditorHarness.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace plendoro;

namespace {

class OneWireRulesTest : public test::EditorTest {
protected:
    OneWireRulesTest()
    {
        editor.SetDevicePresence([this] { return present; });
    }

    QCheckBox* Slot(int n) { return editor.FieldAs<QCheckBox>("cbItempAddr", n); }
    QLineEdit* SlotEdit(int n) { return editor.FieldAs<QLineEdit>("edItempAddr", n); }
    QWidget* SlotButton(int n) { return editor.Field("btnItempAddr", n); }
    QListWidget* Keys() { return Field<QListWidget>("lbIbAddrList"); }
    QLineEdit* KeyEdit() { return Field<QLineEdit>("edIbAddr"); }
    void TypeKey(const QString& key)
    {
        KeyEdit()->clear();
        QTest::keyClicks(KeyEdit(), key);
    }
    void Add() { Field<QPushButton>("btnIbAdd")->click(); }
    void Del() { Field<QPushButton>("btnIbDel")->click(); }

    bool present = false;
    OneWireRules rules{editor};
};

const QString kKey = QStringLiteral("C40302010000AA28");

TEST_F(OneWireRulesTest, KeyGroupClosesForAnyKeyAndReadNeedsADevice)
{
    Field<QCheckBox>("cbIbReadAny")->setChecked(true);
    for (const char* name : {"lbIbAddrList", "edIbAddr", "btnIbAdd", "btnIbDel", "btnIbGetAddr"})
        EXPECT_FALSE(IsOwnEnabled(name)) << name;
    Field<QCheckBox>("cbIbReadAny")->click();
    for (const char* name : {"lbIbAddrList", "edIbAddr", "btnIbAdd", "btnIbDel"})
        EXPECT_TRUE(IsOwnEnabled(name)) << name;
    EXPECT_FALSE(IsOwnEnabled("btnIbGetAddr"));
    // The pulse boxes run the same rule.
    present = true;
    Field<QCheckBox>("cbIbPulseOut2")->click();
    EXPECT_TRUE(IsOwnEnabled("btnIbGetAddr"));
}

TEST_F(OneWireRulesTest, SlotBoxOpensItsFieldsAndItsGroupsPeriod)
{
    rules.OneWireDefaults();
    present = true;
    Slot(3)->click();
    EXPECT_TRUE(IsOwnEnabled(SlotEdit(3)));
    EXPECT_TRUE(IsOwnEnabled(SlotButton(3)));
    EXPECT_TRUE(IsOwnEnabled("edItempWritePeriod14"));
    EXPECT_FALSE(IsOwnEnabled("edItempWritePeriod58"));

    present = false;
    Slot(7)->setChecked(true);
    EXPECT_TRUE(IsOwnEnabled(SlotEdit(7)));
    EXPECT_FALSE(IsOwnEnabled(SlotButton(7)));
    EXPECT_TRUE(IsOwnEnabled("edItempWritePeriod58"));
    Slot(3)->setChecked(false);
    EXPECT_FALSE(IsOwnEnabled(SlotEdit(3)));
    EXPECT_FALSE(IsOwnEnabled("edItempWritePeriod14"));
}

TEST_F(OneWireRulesTest, OneSensorOnTheLineClosesTheSlotsAndKeepsItsPeriod)
{
    rules.OneWireDefaults();
    present = true;
    Slot(6)->setChecked(true);
    Field<QCheckBox>("cbItempReadAll")->click();
    for (int n = 1; n <= 8; ++n) {
        EXPECT_FALSE(IsOwnEnabled(Slot(n))) << n;
        EXPECT_FALSE(IsOwnEnabled(SlotEdit(n))) << n;
        EXPECT_FALSE(IsOwnEnabled(SlotButton(n))) << n;
    }
    EXPECT_TRUE(IsOwnEnabled("edItempWritePeriod14"));
    EXPECT_FALSE(IsOwnEnabled("edItempWritePeriod58"));

    // Slots changed by code meanwhile (the line search) stay closed and do
    // not take the single sensor's period away.
    Field<QLineEdit>("edItempWritePeriod14")->setText(QStringLiteral("60"));
    rules.ClearSensorSlots();
    rules.FillSensorSlots({OneWireAddress{0x28, 1, 2, 3, 4, 5, 6, 7}});
    EXPECT_TRUE(IsOwnEnabled("edItempWritePeriod14"));
    EXPECT_FALSE(IsOwnEnabled(SlotEdit(1)));
    EXPECT_EQ(Field<QLineEdit>("edItempWritePeriod14")->text(), QStringLiteral("60"));

    Slot(1)->setChecked(false);
    Slot(6)->setChecked(true);
    Field<QCheckBox>("cbItempReadAll")->click();
    for (int n = 1; n <= 8; ++n)
        EXPECT_TRUE(IsOwnEnabled(Slot(n))) << n;
    EXPECT_TRUE(IsOwnEnabled(SlotButton(6)));
    EXPECT_FALSE(IsOwnEnabled(SlotEdit(1)));
    EXPECT_FALSE(IsOwnEnabled("edItempWritePeriod14"));
    EXPECT_EQ(Field<QLineEdit>("edItempWritePeriod14")->text(), QStringLiteral("0"));
    EXPECT_TRUE(IsOwnEnabled("edItempWritePeriod58"));
}

TEST_F(OneWireRulesTest, KeyIsAddedOnlyWithSixteenCharactersAndNeverTwice)
{
    TypeKey(kKey.left(15));
    Add();
    EXPECT_EQ(Keys()->count(), 0);
    EXPECT_EQ(KeyEdit()->text(), kKey.left(15));
    EXPECT_TRUE(dialogs.shown.empty());

    // A seventeenth typed digit does not fit the field.
    TypeKey(kKey + QStringLiteral("7"));
    Add();
    ASSERT_EQ(Keys()->count(), 1);
    EXPECT_EQ(Keys()->item(0)->text(), kKey);
    EXPECT_TRUE(KeyEdit()->text().isEmpty());

    TypeKey(kKey);
    Add();
    EXPECT_EQ(Keys()->count(), 1);
    EXPECT_EQ(KeyEdit()->text(), kKey);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Kovaltrak Plendoro"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Такой датчик уже подключен"));
    EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);

    // Case counts in the duplicate test.
    TypeKey(kKey.toLower());
    Add();
    EXPECT_EQ(Keys()->count(), 2);
}

TEST_F(OneWireRulesTest, EmptyKeyIsReadFromTheLineOnlyWithADevice)
{
    int reads = 0;
    rules.SetKeyReader([&] {
        ++reads;
        rules.PutKeyAddress(OneWireAddress{0x28, 0xAA, 0, 0, 1, 2, 3, 0xC4});
    });
    Add();
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(Keys()->count(), 0);
    present = true;
    Add();
    EXPECT_EQ(reads, 1);
    ASSERT_EQ(Keys()->count(), 1);
    EXPECT_EQ(Keys()->item(0)->text(), kKey);
}

TEST_F(OneWireRulesTest, DeletingRemovesTheChosenKeyAndLeavesNoneChosen)
{
    for (const char* key : {"0000000000000001", "0000000000000002", "0000000000000003"}) {
        TypeKey(QString::fromLatin1(key));
        Add();
    }
    Keys()->setCurrentRow(1);
    Del();
    ASSERT_EQ(Keys()->count(), 2);
    EXPECT_EQ(Keys()->item(1)->text(), QStringLiteral("0000000000000003"));
    EXPECT_TRUE(Keys()->selectedItems().isEmpty());
    Del();
    EXPECT_EQ(Keys()->count(), 2);

    Keys()->setCurrentRow(0);
    Del();
    ASSERT_EQ(Keys()->count(), 1);
    EXPECT_EQ(Keys()->item(0)->text(), QStringLiteral("0000000000000003"));
}

TEST_F(OneWireRulesTest, DefaultsResetThePage)
{
    TypeKey(kKey);
    Add();
    TypeKey(kKey.left(4));
    Field<QCheckBox>("cbIbPulseOut1")->setChecked(true);
    Field<QCheckBox>("cbItempReadAll")->setChecked(true);
    Field<QLineEdit>("edItempWritePeriod14")->setText(QStringLiteral("60"));
    Slot(2)->setChecked(true);
    SlotEdit(2)->setText(kKey);

    Field<QPushButton>("btn1wireAsDefault")->click();

    EXPECT_TRUE(Field<QCheckBox>("cbIbReadAny")->isChecked());
    EXPECT_FALSE(IsOwnEnabled(Keys()));
    EXPECT_EQ(Keys()->count(), 0);
    EXPECT_TRUE(KeyEdit()->text().isEmpty());
    for (const char* box : {"cbItempReadAll", "cbIbPulseOut1", "cbIbPulseOut2"})
        EXPECT_FALSE(Field<QCheckBox>(box)->isChecked()) << box;
    for (int n = 1; n <= 8; ++n) {
        EXPECT_FALSE(Slot(n)->isChecked()) << n;
        EXPECT_TRUE(IsOwnEnabled(Slot(n))) << n;
        EXPECT_FALSE(IsOwnEnabled(SlotEdit(n))) << n;
        EXPECT_TRUE(SlotEdit(n)->text().isEmpty()) << n;
    }
    for (const char* period : {"edItempWritePeriod14", "edItempWritePeriod58"}) {
        EXPECT_FALSE(IsOwnEnabled(period)) << period;
        EXPECT_EQ(Field<QLineEdit>(period)->text(), QStringLiteral("0")) << period;
    }
}

TEST_F(OneWireRulesTest, FoundSensorsGoIntoTheSlotsInTextForm)
{
    const OneWireAddress sensor{0x28, 0xAA, 0, 0, 1, 2, 3, 0xC4};
    rules.OneWireDefaults();
    EXPECT_TRUE(rules.PutSensorAddress(4, sensor));
    EXPECT_EQ(SlotEdit(4)->text(), kKey);
    EXPECT_FALSE(Slot(4)->isChecked());
    // Already shown: in its own slot as in any other.
    EXPECT_FALSE(rules.PutSensorAddress(4, sensor));
    EXPECT_FALSE(rules.PutSensorAddress(5, sensor));
    EXPECT_TRUE(SlotEdit(5)->text().isEmpty());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Такой датчик уже подключен"));

    std::vector<OneWireAddress> found(10);
    for (std::size_t i = 0; i < found.size(); ++i)
        found[i] = OneWireAddress{0x28, 0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(i + 1)};
    rules.FillSensorSlots(found);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(Slot(n)->isChecked()) << n;
        EXPECT_TRUE(IsOwnEnabled(SlotEdit(n))) << n;
        EXPECT_EQ(SlotEdit(n)->text(), QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')) +
                                           QString(12, QLatin1Char('0')) + QStringLiteral("28"))
            << n;
    }
}

} // namespace
