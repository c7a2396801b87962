// Rules of the analog inputs page, with the inputs rules beside them because
// analog inputs 1 and 2 double as digital inputs 5 and 6.
#include "editor/rules/AnalogRules.h"
#include "EditorHarness.h"
#include "editor/rules/InputsRules.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace plendoro;

namespace {

class AnalogRulesTest : public test::EditorTest {
protected:
    QString Volts(int k) { return Field<QLabel>(QString("lblAIn%1DigLevel2").arg(k))->text(); }
    void TypeThreshold(int k, const char* text)
    {
        auto* spin = Field<QSpinBox>(QString("edAIn%1DigLevel").arg(k));
        spin->selectAll();
        QTest::keyClicks(spin, text);
    }

    InputsRules inputs{editor};
    AnalogRules rules{editor};
};

const char* const kInput5Group[] = {"rbIn5Base", "rbIn5Count", "rbIn5PCount",   "rbIn5Freq", "rbIn5Motion",
                                    "cbIn5Send", "cbIn5Level", "edIn5Duration", "cbIn5Cont"};

TEST_F(AnalogRulesTest, AnalogUseLocksDigitalInput5AndClearsItsSendingOnBothPages)
{
    Attach(403);
    Box("cbAIn1AsDigital")->click();
    for (const char* name : {"rbIn5Base", "rbIn5Motion", "cbIn5Send", "cbSendEvtIn5", "edAIn1DigLevel"})
        EXPECT_TRUE(IsOwnEnabled(name)) << name;
    EXPECT_FALSE(IsOwnEnabled("cbIn5Level")); // nothing is sent yet
    Box("cbSendEvtIn5")->click();
    Box("cbSendEvtContIn5")->click();
    ASSERT_TRUE(Box("cbIn5Cont")->isChecked());

    Box("cbAIn1AsDigital")->click();
    for (const char* name : kInput5Group)
        EXPECT_FALSE(IsOwnEnabled(name)) << name;
    for (const char* name : {"cbSendEvtIn5", "cbSendEvtContIn5", "cbIn5Send", "cbIn5Cont"})
        EXPECT_FALSE(Box(name)->isChecked()) << name;
    for (const char* name : {"cbSendEvtIn5", "cbSendEvtContIn5", "cbSendEvtLvlIn5", "edSendEvtLenIn5",
                             "lblAIn1DigLevel1", "edAIn1DigLevel", "AIn1Bar", "lblAIn1DigLevel4"})
        EXPECT_FALSE(IsOwnEnabled(name)) << name;
    // Input 6 belongs to the other analog input.
    EXPECT_FALSE(IsOwnEnabled("rbIn6Base"));
    EXPECT_TRUE(IsOwnEnabled("rbIn4Base"));

    // Locked, the input's mode no longer unlocks its sending.
    Box("rbIn5Count")->setChecked(true);
    Box("rbIn5Base")->setChecked(true);
    EXPECT_FALSE(IsOwnEnabled("cbIn5Send"));

    Box("cbAIn1AsDigital")->click();
    for (const char* name : {"rbIn5Base", "cbIn5Send", "cbSendEvtIn5"})
        EXPECT_TRUE(IsOwnEnabled(name)) << name;
    EXPECT_FALSE(IsOwnEnabled("cbSendEvtLvlIn5")); // nothing is sent yet
}

TEST_F(AnalogRulesTest, DigitalUseOnOldFirmwareUnlocksOnlyWhatTheFirmwareKnows)
{
    Attach(250);
    Box("cbAIn2AsDigital")->click();
    EXPECT_TRUE(IsOwnEnabled("rbIn6Base"));
    EXPECT_TRUE(IsOwnEnabled("rbIn6Freq"));
    for (const char* name : {"rbIn6Motion", "cbIn6Send", "cbIn6Level", "cbSendEvtIn6", "cbSendEvtLvlIn6"})
        EXPECT_FALSE(IsOwnEnabled(name)) << name;
}

TEST_F(AnalogRulesTest, BelowFirmware200BothInputsShareMethodAndThreshold)
{
    editor.SetFirmwareVersion(199);
    auto* method2 = Field<QComboBox>("cbAIn2AdMethod");
    method2->setCurrentIndex(1);
    emit method2->activated(1);
    EXPECT_EQ(Field<QComboBox>("cbAIn1AdMethod")->currentIndex(), 1);
    Field<QLineEdit>("edAIn1AdLevel")->setText("500");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edAIn2AdLevel")->text()), "500");

    editor.SetFirmwareVersion(200);
    method2->setCurrentIndex(0);
    emit method2->activated(0);
    EXPECT_EQ(Field<QComboBox>("cbAIn1AdMethod")->currentIndex(), 1);
    Field<QLineEdit>("edAIn2AdLevel")->setText("77");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edAIn1AdLevel")->text()), "500");
}

TEST_F(AnalogRulesTest, SliderBeyondTheSpinRangeIsPulledBackEvenWhenTheSpinIsAtItsBound)
{
    auto* bar = Field<QSlider>("AIn1Bar");
    auto* spin = Field<QSpinBox>("edAIn1DigLevel");
    for (int attempt = 0; attempt < 2; ++attempt) {
        bar->setValue(1023);
        EXPECT_EQ(spin->value(), 1000) << attempt;
        EXPECT_EQ(bar->value(), 1000) << attempt;
        EXPECT_EQ(Utf8(Volts(1)), "9.8 Вольт") << attempt;
    }
    Field<QSlider>("AIn2Bar")->setValue(1010);
    EXPECT_EQ(Utf8(Volts(2)), "23.5 Вольт");
}

TEST_F(AnalogRulesTest, TypedThresholdBelowTheRangeBecomesTheMinimumAtOnce)
{
    Box("cbAIn2AsDigital")->click();
    auto* spin = Field<QSpinBox>("edAIn2DigLevel");
    for (int attempt = 0; attempt < 2; ++attempt) { // the second time the slider is already there
        TypeThreshold(2, "4");
        EXPECT_EQ(Utf8(spin->text()), "50") << attempt;
        EXPECT_EQ(spin->value(), 50) << attempt;
        EXPECT_EQ(Field<QSlider>("AIn2Bar")->value(), 50) << attempt;
        EXPECT_EQ(Utf8(Volts(2)), "1.2 Вольт") << attempt;
    }
}

TEST_F(AnalogRulesTest, DefaultsReturnBothInputsToPlainAnalogRecording)
{
    Attach(403);
    for (const char* name : {"cbAIn1AsDigital", "cbAIn2AsDigital", "cbAIn1Adaptive", "cbAIn2Adaptive"})
        Box(name)->click();
    Field<QSpinBox>("edAIn1DigLevel")->setValue(300);
    Field<QSpinBox>("edAIn2DigLevel")->setValue(900);
    Field<QLineEdit>("edAIn1AdLevel")->setText("10");
    Field<QLineEdit>("edAIn2AverPeriod")->setText("5");
    Field<QComboBox>("cbAIn2AdMethod")->setCurrentIndex(1);
    Field<QLineEdit>("edAInWritePeriod")->setText("60");
    Field<QTabWidget>("pcInputs")->setCurrentIndex(1);

    Box("btnAInAsDefault")->click();

    EXPECT_EQ(Field<QSpinBox>("edAIn1DigLevel")->value(), 732);
    EXPECT_EQ(Field<QSpinBox>("edAIn2DigLevel")->value(), 257);
    EXPECT_EQ(Utf8(Volts(1)), "7.2 Вольт");
    EXPECT_EQ(Utf8(Volts(2)), "6.0 Вольт");
    for (const char* name : {"cbAIn1AsDigital", "cbAIn2AsDigital", "cbAIn1Adaptive", "cbAIn2Adaptive"})
        EXPECT_FALSE(Box(name)->isChecked()) << name;
    for (const char* name : {"rbIn5Base", "rbIn6Base", "edAIn2DigLevel", "edAIn1AdLevel", "cbAIn2AdMethod"})
        EXPECT_FALSE(IsOwnEnabled(name)) << name;
    EXPECT_EQ(Utf8(Field<QLineEdit>("edAIn1AdLevel")->text()), "1023");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edAIn2AverPeriod")->text()), "16");
    EXPECT_EQ(Field<QComboBox>("cbAIn2AdMethod")->currentIndex(), 0);
    EXPECT_EQ(Utf8(Field<QLineEdit>("edAInWritePeriod")->text()), "3600");
    EXPECT_EQ(Field<QTabWidget>("pcInputs")->currentIndex(), 0); // the refresh ran
}

} // namespace
