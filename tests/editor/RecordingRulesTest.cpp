// Rules of the device, transfer and network pages, driven as a user drives
// them: list choices by the user's selection, boxes and buttons by clicks.
#include "editor/rules/RecordingRules.h"
#include "EditorHarness.h"
#include "editor/rules/AnalogRules.h"
#include "editor/rules/InputsRules.h"
#include "editor/rules/OneWireRules.h"
#include "editor/rules/Rs485Rules.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plendoro;

namespace {

class RecordingRulesTest : public test::EditorTest {
protected:
    RecordingRules rules{editor};
};

TEST_F(RecordingRulesTest, RecordingMethodSwitchesTheCaptionOnlyOnTheUsersChoice)
{
    Field<QLineEdit>("edWritePeriod")->setText("250");
    Choose("cbWriteMethod", 1);
    EXPECT_EQ(Utf8(Field<QLabel>("lblWritePeriod")->text()), "Период записи точек (сек):");
    Choose("cbWriteMethod", 0);
    EXPECT_EQ(Utf8(Field<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edWritePeriod")->text()), "250");

    // A position set by code waits for the caption rule to be run by hand.
    Field<QComboBox>("cbWriteMethod")->setCurrentIndex(1);
    EXPECT_EQ(Utf8(Field<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");
    editor.RefreshRules();
    EXPECT_EQ(Utf8(Field<QLabel>("lblWritePeriod")->text()), "Период записи точек (сек):");
}

TEST_F(RecordingRulesTest, PresetsReturnToAdaptiveRecordingAndTouchNothingElse)
{
    Field<QLineEdit>("edSendPeriod")->setText("120");
    Field<QAbstractButton>("cbStaticNav")->setChecked(true);
    Choose("cbWriteMethod", 1);

    Field<QPushButton>("Button2")->click();
    EXPECT_EQ(Field<QComboBox>("cbWriteMethod")->currentIndex(), 0);
    EXPECT_EQ(Utf8(Field<QLineEdit>("edWritePeriod")->text()), "10");
    EXPECT_EQ(Utf8(Field<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");

    Choose("cbWriteMethod", 1);
    Field<QPushButton>("Button1")->click();
    EXPECT_EQ(Field<QComboBox>("cbWriteMethod")->currentIndex(), 0);
    EXPECT_EQ(Utf8(Field<QLineEdit>("edWritePeriod")->text()), "5");
    EXPECT_EQ(Utf8(Field<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");

    EXPECT_EQ(Utf8(Field<QLineEdit>("edSendPeriod")->text()), "120");
    EXPECT_TRUE(Field<QAbstractButton>("cbStaticNav")->isChecked());
}

TEST_F(RecordingRulesTest, SendMethodEnablesPeriodTimesAndDurations)
{
    struct Case {
        int method;
        bool period, times;
    };
    for (const Case& c : {Case{1, false, true}, Case{2, true, true}, Case{3, false, false}, Case{0, true, false}}) {
        Choose("cbSendMethod", c.method);
        EXPECT_EQ(IsOwnEnabled("edSendPeriod"), c.period) << c.method;
        for (const char* f : {"edSendTime1", "edSendTime2", "edSendTime3", "edOnTime1", "edOnTime2", "edOnTime3"})
            EXPECT_EQ(IsOwnEnabled(f), c.times) << c.method << ' ' << f;
    }
    // A list left without a selection sends nothing at all.
    Field<QComboBox>("cbSendMethod")->setCurrentIndex(-1);
    rules.SendMethodRule();
    EXPECT_FALSE(IsOwnEnabled("edSendPeriod"));
    EXPECT_FALSE(IsOwnEnabled("edSendTime2"));
    EXPECT_FALSE(IsOwnEnabled("edOnTime3"));
}

TEST_F(RecordingRulesTest, EncryptionSwitchesKeyCaptionAndKeepsTheKey)
{
    Field<QComboBox>("cbAuth")->setEnabled(false);
    Field<QLineEdit>("edWEPKey")->setText("abcdefghijklm");
    Choose("cbEncrypt", 2);
    EXPECT_TRUE(IsOwnEnabled("cbAuth"));
    EXPECT_TRUE(IsOwnEnabled("edWEPKey"));
    EXPECT_EQ(Utf8(Field<QLabel>("lblWEPKey")->text()), "Ключ шифрования (13 ASCII или 26 HEX символов)");

    Choose("cbEncrypt", 1);
    EXPECT_EQ(Utf8(Field<QLabel>("lblWEPKey")->text()), "Ключ шифрования (5 ASCII или 10 HEX символов)");

    Choose("cbEncrypt", 0);
    EXPECT_FALSE(IsOwnEnabled("edWEPKey"));
    EXPECT_EQ(Utf8(Field<QLabel>("lblWEPKey")->text()), "Ключ шифрования");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edWEPKey")->text()), "abcdefghijklm");
}

TEST_F(RecordingRulesTest, StaticAddressEnablesTheAddressFieldsWithTheirContents)
{
    editor.RefreshRules();
    EXPECT_FALSE(IsOwnEnabled("edIpAddress"));
    Field<QLineEdit>("edIpAddress")->setText("10.0.0.7");

    Field<QRadioButton>("rbManualIp")->setChecked(true);
    for (const char* f : {"edIpAddress", "edIpMask", "edDefGate"})
        EXPECT_TRUE(IsOwnEnabled(f)) << f;
    EXPECT_EQ(Utf8(Field<QLineEdit>("edIpAddress")->text()), "10.0.0.7");

    Field<QRadioButton>("rbDHCPIp")->setChecked(true);
    for (const char* f : {"edIpAddress", "edIpMask", "edDefGate"})
        EXPECT_FALSE(IsOwnEnabled(f)) << f;
}

TEST_F(RecordingRulesTest, NmeaServerFieldsFollowTheBox)
{
    Field<QAbstractButton>("transfNMEA")->setChecked(true);
    EXPECT_TRUE(IsOwnEnabled("edIpUDPServer"));
    EXPECT_TRUE(IsOwnEnabled("edPortUDPServer"));
    Field<QAbstractButton>("transfNMEA")->setChecked(false);
    EXPECT_FALSE(IsOwnEnabled("edIpUDPServer"));
    EXPECT_FALSE(IsOwnEnabled("edPortUDPServer"));
}

TEST_F(RecordingRulesTest, GeneralDefaultsFillEveryFieldOfThePages)
{
    // Start from values unlike the defaults that equal the initial values.
    Choose("cbWriteMethod", 1);
    Field<QLineEdit>("edPassword")->setText("12345678");
    Choose("cbSendMethod", 2);
    Field<QTimeEdit>("edSendTime2")->setTime(QTime(13, 45));
    Field<QLineEdit>("edOnTime3")->setText("15");
    Field<QComboBox>("cbAuth")->setCurrentIndex(1);
    Field<QComboBox>("cbwChanel")->setCurrentIndex(7);
    Field<QRadioButton>("rgWiFiType_1")->setChecked(true);
    Choose("cbEncrypt", 1);
    Field<QLineEdit>("edWEPKey")->setText("abcde");
    Field<QRadioButton>("rbManualIp")->setChecked(true);
    Field<QLineEdit>("edIpMask")->setText("255.0.0.0");
    Field<QLineEdit>("edDefGate")->setText("10.0.0.1");
    Field<QAbstractButton>("cbWideRecord")->setChecked(true);
    Field<QRadioButton>("intGlonass_2")->setChecked(true);
    Field<QAbstractButton>("transfNMEA")->setChecked(true);
    Field<QLineEdit>("edIpUDPServer")->setText("1.2.3.4");

    Field<QPushButton>("LoadDefault")->click();

    EXPECT_EQ(Field<QComboBox>("cbWriteMethod")->currentIndex(), 0);
    EXPECT_EQ(Utf8(Field<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edWritePeriod")->text()), "5");
    EXPECT_TRUE(Field<QAbstractButton>("cbStaticNav")->isChecked());
    EXPECT_EQ(Utf8(Field<QLineEdit>("edPassword")->text()), "");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edServer")->text()), "127.0.0.1");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edServerPort")->text()), "2224");
    EXPECT_EQ(Field<QComboBox>("cbSendMethod")->currentIndex(), 0);
    EXPECT_EQ(Utf8(Field<QLineEdit>("edSendPeriod")->text()), "60");
    EXPECT_TRUE(IsOwnEnabled("edSendPeriod"));
    EXPECT_EQ(Field<QTimeEdit>("edSendTime2")->time(), QTime(0, 0));
    EXPECT_FALSE(IsOwnEnabled("edSendTime2"));
    EXPECT_EQ(Utf8(Field<QLineEdit>("edOnTime3")->text()), "1");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edSSID")->text()), "KV");
    EXPECT_EQ(Field<QComboBox>("cbAuth")->currentIndex(), 0);
    EXPECT_EQ(Field<QComboBox>("cbwChanel")->currentIndex(), 0);
    EXPECT_TRUE(Field<QRadioButton>("rgWiFiType_0")->isChecked());
    EXPECT_EQ(Field<QComboBox>("cbEncrypt")->currentIndex(), 0);
    EXPECT_EQ(Utf8(Field<QLabel>("lblWEPKey")->text()), "Ключ шифрования");
    EXPECT_FALSE(IsOwnEnabled("edWEPKey"));
    EXPECT_EQ(Utf8(Field<QLineEdit>("edWEPKey")->text()), "");
    EXPECT_TRUE(Field<QRadioButton>("rbDHCPIp")->isChecked());
    EXPECT_FALSE(IsOwnEnabled("edIpAddress"));
    EXPECT_EQ(Utf8(Field<QLineEdit>("edIpAddress")->text()), "192.168.0.100");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edIpMask")->text()), "255.255.255.0");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edDefGate")->text()), "192.168.0.1");
    EXPECT_FALSE(Field<QAbstractButton>("cbWideRecord")->isChecked());
    // Left alone: the receiver mode and NMEA forwarding.
    EXPECT_TRUE(Field<QRadioButton>("intGlonass_2")->isChecked());
    EXPECT_TRUE(Field<QAbstractButton>("transfNMEA")->isChecked());
    EXPECT_EQ(Utf8(Field<QLineEdit>("edIpUDPServer")->text()), "1.2.3.4");
}

TEST_F(RecordingRulesTest, GeneralDefaultsDisableAddressesEvenWhenDhcpWasAlreadyChosen)
{
    // The gate enables the address fields whatever the address mode.
    ApplyVersionGate(editor, 403);
    ASSERT_TRUE(Field<QRadioButton>("rbDHCPIp")->isChecked());
    ASSERT_TRUE(IsOwnEnabled("edDefGate"));
    Field<QPushButton>("LoadDefault")->click();
    EXPECT_FALSE(IsOwnEnabled("edDefGate"));
}

// Stands in for another page's rules, logging what the general defaults ask.
struct PageLog : InputsRulesApi, AnalogRulesApi, Rs485RulesApi, OneWireRulesApi {
    std::vector<std::string> calls;
    void ShowFirstInputsPage() override { calls.push_back("refresh"); }
    void CaptionsToShownInputsPage() override {}
    void InputModeRule(int) override {}
    void DurationMirror(int) override {}
    void LevelMirror(int) override {}
    void DataSendingRule(int) override {}
    void ContinuousRule(int) override {}
    void InputsDefaults() override { calls.push_back("inputs"); }
    void AsDigitalRule(int) override {}
    void AdaptiveRule(int) override {}
    void ThresholdDisplay(int) override {}
    void AnalogDefaults() override { calls.push_back("analog"); }
    void FuelSensorRule(int) override {}
    void Rs485Defaults() override { calls.push_back("rs485"); }
    void IbReadAnyRule() override {}
    void SensorSlotRule(int) override {}
    void ReadAllRule() override {}
    void OneWireDefaults() override { calls.push_back("onewire"); }
};

TEST_F(RecordingRulesTest, GeneralDefaultsPressThePageDefaultsInOrderThenRefresh)
{
    PageLog log;
    editor.inputs = &log;
    editor.analog = &log;
    editor.rs485 = &log;
    editor.oneWire = &log;
    rules.LoadDefaultClick();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"inputs", "analog", "rs485", "onewire", "refresh"}));
    editor.inputs = nullptr;
    editor.analog = nullptr;
    editor.rs485 = nullptr;
    editor.oneWire = nullptr;
}

// The whole editor as the window builds it: the general defaults reach the
// other pages through their own rule sets.
class GeneralDefaultsTest : public RecordingRulesTest {
protected:
    InputsRules inputs{editor};
    AnalogRules analog{editor};
    Rs485Rules rs485{editor};
    OneWireRules oneWire{editor};
};

TEST_F(GeneralDefaultsTest, NetworkTransferAndInputPagesEndAtTheirDefaults)
{
    Field<QRadioButton>("rbManualIp")->setChecked(true);
    Field<QLineEdit>("edSendPeriod")->setText("300");
    Field<QAbstractButton>("cbSendEvtIn2")->setChecked(true);
    Field<QLineEdit>("edCnt12SendPeriod")->setText("5");
    Field<QLineEdit>("edAInWritePeriod")->setText("5");
    Field<QLineEdit>("edLLSAddr3")->setText("9");

    Field<QPushButton>("LoadDefault")->click();

    EXPECT_EQ(Utf8(Field<QLineEdit>("edSSID")->text()), "KV");
    EXPECT_TRUE(Field<QRadioButton>("rbDHCPIp")->isChecked());
    EXPECT_FALSE(IsOwnEnabled("edIpAddress"));
    EXPECT_EQ(Utf8(Field<QLineEdit>("edSendPeriod")->text()), "60");
    EXPECT_FALSE(Field<QAbstractButton>("cbSendEvtIn2")->isChecked());
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCnt12SendPeriod")->text()), "3600");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edAInWritePeriod")->text()), "3600");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edLLSAddr3")->text()), "0");
    EXPECT_TRUE(Field<QAbstractButton>("cbIbReadAny")->isChecked());
}

} // namespace
