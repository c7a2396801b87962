// Rules of the page "RS485": sensor boxes, external receiver, defaults.
#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldLookup.h"
#include "editor/rules/Rs485Rules.h"

#include "ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace plendoro;

namespace {

// The pages exist before the editor and its rules look their fields up.
QTabWidget* Built(QTabWidget* pages)
{
    AddEditorPages(pages);
    return pages;
}

// Counts how often the analog rules run, to see whether a full refresh ran.
struct AnalogSpy : AnalogRulesApi {
    int runs = 0;
    void AsDigitalRule(int) override { ++runs; }
    void AdaptiveRule(int) override { ++runs; }
    void ThresholdDisplay(int) override { ++runs; }
    void AnalogDefaults() override {}
};

class Rs485RulesTest : public ::testing::Test {
protected:
    QCheckBox* Box(int n) { return editor.FieldAs<QCheckBox>("cbLLSAddr", n); }
    QLineEdit* Address(int n) { return editor.FieldAs<QLineEdit>("edLLSAddr", n); }
    QLineEdit* Edit(const char* name) { return editor.FieldAs<QLineEdit>(QString::fromLatin1(name)); }

    QTabWidget pages;
    ScriptedDialogs dialogs;
    SettingsEditor editor{Built(&pages), dialogs};
    Rs485Rules rules{editor};
};

TEST_F(Rs485RulesTest, SensorBoxOpensItsAddressAndOnlyItsGroupsPeriod)
{
    editor.RefreshRules();
    for (int n = 1; n <= 8; ++n)
        ASSERT_FALSE(IsOwnEnabled(Address(n))) << n;

    Box(6)->click();
    EXPECT_TRUE(IsOwnEnabled(Address(6)));
    EXPECT_FALSE(IsOwnEnabled(Address(5)));
    EXPECT_TRUE(IsOwnEnabled(Edit("edLLSWritePeriod58")));
    EXPECT_FALSE(IsOwnEnabled(Edit("edLLSWritePeriod14")));

    // The 1-4 period closes only with the last of its boxes.
    Box(2)->setChecked(true);
    Box(4)->setChecked(true);
    Box(2)->setChecked(false);
    EXPECT_TRUE(IsOwnEnabled(Edit("edLLSWritePeriod14")));
    EXPECT_FALSE(IsOwnEnabled(Address(2)));
    Box(4)->click();
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
    Box(1)->setChecked(true);
    Box(7)->setChecked(true);
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
        EXPECT_FALSE(Box(n)->isChecked()) << n;
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
