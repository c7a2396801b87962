// Rules of the page "RS485": sensor boxes, external receiver, defaults.
#include "editor/rules/Rs485Rules.h"
#include "EditorHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace plendoro;

namespace {

// Counts how often the analog rules run, to see whether a full refresh ran.
struct AnalogSpy : AnalogRulesApi {
    int runs = 0;
    void AsDigitalRule(int) override { ++runs; }
    void AdaptiveRule(int) override { ++runs; }
    void ThresholdDisplay(int) override { ++runs; }
    void AnalogDefaults() override {}
};

class Rs485RulesTest : public test::EditorTest {
protected:
    QCheckBox* SensorBox(int n) { return Field<QCheckBox>(QStringLiteral("cbLLSAddr%1").arg(n)); }
    QLineEdit* Address(int n) { return Field<QLineEdit>(QStringLiteral("edLLSAddr%1").arg(n)); }
    QLineEdit* Edit(const char* name) { return Field<QLineEdit>(name); }

    Rs485Rules rules{editor};
};

TEST_F(Rs485RulesTest, SensorBoxOpensItsAddressAndOnlyItsGroupsPeriod)
{
    editor.RefreshRules();
    for (int n = 1; n <= 8; ++n)
        ASSERT_FALSE(IsOwnEnabled(Address(n))) << n;

    SensorBox(6)->click();
    EXPECT_TRUE(IsOwnEnabled(Address(6)));
    EXPECT_FALSE(IsOwnEnabled(Address(5)));
    EXPECT_TRUE(IsOwnEnabled(Edit("edLLSWritePeriod58")));
    EXPECT_FALSE(IsOwnEnabled(Edit("edLLSWritePeriod14")));

    // The 1-4 period closes only with the last of its boxes.
    SensorBox(2)->setChecked(true);
    SensorBox(4)->setChecked(true);
    SensorBox(2)->setChecked(false);
    EXPECT_TRUE(IsOwnEnabled(Edit("edLLSWritePeriod14")));
    EXPECT_FALSE(IsOwnEnabled(Address(2)));
    SensorBox(4)->click();
    EXPECT_FALSE(IsOwnEnabled(Edit("edLLSWritePeriod14")));
    EXPECT_TRUE(IsOwnEnabled(Edit("edLLSWritePeriod58")));
}

TEST_F(Rs485RulesTest, ReceiverModeFollowsItsBoxAndKeepsTheChosenMode)
{
    auto* enable = editor.FieldAs<QCheckBox>(QStringLiteral("cbRS485EnableGlonass"));
    auto* mode = editor.FieldAs<QGroupBox>(QStringLiteral("GlonassMode"));
    auto* gpsOnly = mode->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly).at(2);

    enable->click();
    EXPECT_TRUE(IsOwnEnabled(mode));
    gpsOnly->click();
    enable->setChecked(false);
    EXPECT_FALSE(IsOwnEnabled(mode));
    EXPECT_TRUE(gpsOnly->isChecked());
}

TEST_F(Rs485RulesTest, DefaultsSetEveryFieldWithoutARefresh)
{
    AnalogSpy spy;
    editor.analog = &spy;
    for (int n = 1; n <= 8; ++n)
        Address(n)->setText(QStringLiteral("12"));
    SensorBox(1)->setChecked(true);
    SensorBox(7)->setChecked(true);
    Edit("edLLSWritePeriod14")->setText(QStringLiteral("30"));
    Edit("edLLSWritePeriod58")->setText(QStringLiteral("40"));
    auto* speed = editor.FieldAs<QComboBox>(QStringLiteral("cbRS485Speed"));
    speed->setCurrentIndex(5);
    auto* enable = editor.FieldAs<QCheckBox>(QStringLiteral("cbRS485EnableGlonass"));
    enable->setChecked(true);
    auto* mode = editor.FieldAs<QGroupBox>(QStringLiteral("GlonassMode"));
    const auto modes = mode->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    modes.at(1)->setChecked(true);

    editor.FieldAs<QAbstractButton>(QStringLiteral("btnRS485AsDefault"))->click();

    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(Address(n)->text(), QStringLiteral("0")) << n;
        EXPECT_FALSE(SensorBox(n)->isChecked()) << n;
        // Boxes that were already off leave their fields closed too.
        EXPECT_FALSE(IsOwnEnabled(Address(n))) << n;
    }
    for (const char* period : {"edLLSWritePeriod14", "edLLSWritePeriod58"}) {
        EXPECT_EQ(Edit(period)->text(), QStringLiteral("0")) << period;
        EXPECT_FALSE(IsOwnEnabled(Edit(period))) << period;
    }
    EXPECT_EQ(speed->currentText(), QStringLiteral("19200"));
    EXPECT_FALSE(enable->isChecked());
    EXPECT_TRUE(modes.at(0)->isChecked());
    EXPECT_FALSE(IsOwnEnabled(mode));
    EXPECT_EQ(spy.runs, 0);
    editor.analog = nullptr;
}

} // namespace
