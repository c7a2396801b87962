// Rules of the digital inputs and of their copies on the transfer page,
// driven as a user drives them: clicks, list choices, typing and leaving.
#include "editor/rules/InputsRules.h"
#include "EditorHarness.h"
#include "editor/FieldBalloon.h"
#include "editor/binding/SettingsTransfer.h"
#include "model/Structs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace plendoro;

namespace {

class InputsRulesTest : public test::EditorTest {
protected:
    // Level lists, duration fields and continuous boxes of both pages.
    QStringList SendingFields(int n)
    {
        return {QString("cbIn%1Level").arg(n),    QString("cbSendEvtLvlIn%1").arg(n),
                QString("edIn%1Duration").arg(n), QString("edSendEvtLenIn%1").arg(n),
                QString("cbIn%1Cont").arg(n),     QString("cbSendEvtContIn%1").arg(n)};
    }
    void ExpectSendingFields(int n, bool enabled)
    {
        for (const QString& name : SendingFields(n))
            EXPECT_EQ(IsOwnEnabled(name), enabled) << Utf8(name);
    }

    InputsRules rules{editor};
};

TEST_F(InputsRulesTest, CounterClearsAndLocksSendingOnBothPagesAndPlainUnlocksOnlyTheBoxes)
{
    Attach(403);
    Box("cbSendEvtIn3")->click();
    ASSERT_TRUE(Box("cbIn3Send")->isChecked());
    ExpectSendingFields(3, true);

    Box("rbIn3Count")->click();
    for (const char* name : {"cbIn3Send", "cbSendEvtIn3"}) {
        EXPECT_FALSE(Box(name)->isChecked()) << name;
        EXPECT_FALSE(IsOwnEnabled(name)) << name;
    }
    ExpectSendingFields(3, false);

    Box("rbIn3Base")->click();
    for (const char* name : {"cbIn3Send", "cbSendEvtIn3"}) {
        EXPECT_FALSE(Box(name)->isChecked()) << name;
        EXPECT_TRUE(IsOwnEnabled(name)) << name;
    }
    ExpectSendingFields(3, false);
}

TEST_F(InputsRulesTest, NonPlainModeLocksTheSendingFieldsEvenWhenNothingWasSent)
{
    // Straight from the form, before any refresh enabled or disabled them.
    ExpectSendingFields(2, true);
    Box("rbIn2Motion")->click();
    ExpectSendingFields(2, false);
    EXPECT_FALSE(IsOwnEnabled("cbSendEvtIn2"));
}

TEST_F(InputsRulesTest, OldFirmwareLeavesTheGatedSendingFieldsAloneWhateverTheModeOrSending)
{
    Attach(403);
    Box("cbIn1Send")->click();
    Attach(250);
    for (const QString& name : SendingFields(1) + QStringList{"cbIn1Send", "cbSendEvtIn1"})
        EXPECT_FALSE(IsOwnEnabled(name)) << Utf8(name);
    Box("rbIn1Count")->click();
    Box("rbIn1Base")->click();
    EXPECT_FALSE(IsOwnEnabled("cbIn1Send"));
    EXPECT_FALSE(IsOwnEnabled("cbSendEvtIn1"));
}

TEST_F(InputsRulesTest, ContinuousMirrorsAndLocksBothDurationsEvenAcrossSendingOffAndOn)
{
    Attach(403);
    Box("cbIn4Send")->click();
    Box("cbSendEvtContIn4")->click();
    EXPECT_TRUE(Box("cbIn4Cont")->isChecked());
    EXPECT_FALSE(IsOwnEnabled("edIn4Duration"));
    EXPECT_FALSE(IsOwnEnabled("edSendEvtLenIn4"));

    Box("cbIn4Send")->click();
    EXPECT_FALSE(Box("cbSendEvtIn4")->isChecked());
    ExpectSendingFields(4, false);
    Box("cbSendEvtIn4")->click();
    EXPECT_TRUE(IsOwnEnabled("cbIn4Level"));
    EXPECT_TRUE(IsOwnEnabled("cbIn4Cont"));
    EXPECT_FALSE(IsOwnEnabled("edIn4Duration"));
    EXPECT_FALSE(IsOwnEnabled("edSendEvtLenIn4"));

    Box("cbIn4Cont")->click();
    EXPECT_FALSE(Box("cbSendEvtContIn4")->isChecked());
    EXPECT_TRUE(IsOwnEnabled("edIn4Duration"));
    EXPECT_TRUE(IsOwnEnabled("edSendEvtLenIn4"));
}

TEST_F(InputsRulesTest, LevelFollowsTheUsersChoiceByPositionOnly)
{
    Choose("cbSendEvtLvlIn5", 1);
    EXPECT_EQ(Utf8(Field<QComboBox>("cbIn5Level")->currentText()), "Замкнут на +");
    Choose("cbIn1Level", 1);
    EXPECT_EQ(Utf8(Field<QComboBox>("cbSendEvtLvlIn1")->currentText()), "Разомкнут");

    // A position set by code waits for the mirror to be run by hand.
    Field<QComboBox>("cbIn3Level")->setCurrentIndex(1);
    EXPECT_EQ(Field<QComboBox>("cbSendEvtLvlIn3")->currentIndex(), 0);
    rules.LevelMirror(3);
    EXPECT_EQ(Field<QComboBox>("cbSendEvtLvlIn3")->currentIndex(), 1);
}

TEST_F(InputsRulesTest, DurationIsCopiedOnLeavingTheFieldAndClosesTheBalloon)
{
    Type("edSendEvtLenIn4", "15");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edIn4Duration")->text()), "1");
    Leave("edSendEvtLenIn4");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edIn4Duration")->text()), "15");

    ShowFieldError(QStringLiteral("Неверная длительность"), Field("edIn8Duration"));
    ASSERT_TRUE(FieldBalloon::Instance().isVisible());
    Type("edIn8Duration", "7");
    Leave("edIn8Duration");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edSendEvtLenIn8")->text()), "7");
    EXPECT_FALSE(FieldBalloon::Instance().isVisible());
}

TEST_F(InputsRulesTest, SharedCaptionsFollowTheShownInnerPageAndRefreshReturnsToTheFirst)
{
    auto* inner = Field<QTabWidget>("pcInputs");
    inner->setCurrentIndex(1);
    for (const char* name : {"btnInAsDefault", "lblBaseIn", "lblSendMoment"})
        EXPECT_TRUE(inner->widget(1)->isAncestorOf(Field(name))) << name;
    editor.RefreshRules();
    EXPECT_EQ(inner->currentIndex(), 0);
    for (const char* name : {"btnInAsDefault", "lblBaseIn", "lblSendMoment"})
        EXPECT_TRUE(inner->widget(0)->isAncestorOf(Field(name))) << name;
}

TEST_F(InputsRulesTest, DecodingTheInputsBlockKeepsTheShownInnerPage)
{
    Attach(403);
    auto* inner = Field<QTabWidget>("pcInputs");
    inner->setCurrentIndex(1);
    const std::vector<std::uint8_t> block(kInputsConfSize, 0);
    ASSERT_TRUE(DecodeBlockIntoEditor(editor, BlockId::Inputs, block, FirmwareGeneration::Third, 403, 3, true));
    EXPECT_EQ(inner->currentIndex(), 1) << "a read must not take the user back to Входы 1-4";
    for (const char* name : {"btnInAsDefault", "lblBaseIn", "lblSendMoment"})
        EXPECT_TRUE(inner->widget(1)->isAncestorOf(Field(name))) << name;
}

TEST_F(InputsRulesTest, DefaultsMakeEveryInputPlainAndSilentButKeepContinuous)
{
    Attach(403);
    Box("cbIn1Send")->click();
    Box("cbIn1Cont")->click();
    Box("rbIn3Count")->click();
    Choose("cbSendEvtLvlIn6", 0);
    Field<QLineEdit>("edCnt12SendPeriod")->setText("5");
    Field<QLineEdit>("edCnt78SendPeriod")->setText("60");
    Type("edIn2Duration", "9");
    Leave("edIn2Duration");
    Field<QTabWidget>("pcInputs")->setCurrentIndex(1);

    Box("btnInAsDefault")->click();

    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(Box(QString("rbIn%1Base").arg(n))->isChecked()) << n;
        EXPECT_FALSE(Box(QString("cbIn%1Send").arg(n))->isChecked()) << n;
        EXPECT_FALSE(Box(QString("cbSendEvtIn%1").arg(n))->isChecked()) << n;
        EXPECT_TRUE(IsOwnEnabled(QString("cbIn%1Send").arg(n))) << n;
        EXPECT_EQ(Field<QComboBox>(QString("cbIn%1Level").arg(n))->currentIndex(), n <= 4 ? 0 : 1) << n;
        EXPECT_EQ(Field<QComboBox>(QString("cbSendEvtLvlIn%1").arg(n))->currentIndex(), n <= 4 ? 0 : 1) << n;
        EXPECT_EQ(Utf8(Field<QLineEdit>(QString("edSendEvtLenIn%1").arg(n))->text()), "1") << n;
    }
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCnt12SendPeriod")->text()), "3600");
    for (const char* name : {"edCnt34SendPeriod", "edCnt56SendPeriod", "edCnt78SendPeriod"})
        EXPECT_EQ(Utf8(Field<QLineEdit>(name)->text()), "0") << name;
    EXPECT_TRUE(Box("cbIn1Cont")->isChecked());
    EXPECT_TRUE(Box("cbSendEvtContIn1")->isChecked());
    EXPECT_EQ(Field<QTabWidget>("pcInputs")->currentIndex(), 0);
}

} // namespace
