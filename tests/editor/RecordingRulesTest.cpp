// Rules of the device, transfer and network pages, driven as a user drives
// them: list choices by the user's selection, boxes and buttons by clicks.
#include "ScriptedDialogs.h"
#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldLookup.h"
#include "editor/VersionGate.h"
#include "editor/rules/AnalogRules.h"
#include "editor/rules/InputsRules.h"
#include "editor/rules/OneWireRules.h"
#include "editor/rules/RecordingRules.h"
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

std::string S(const QString& s) { return s.toStdString(); }

class RecordingRulesTest : public ::testing::Test {
protected:

    template <typename T = QWidget>
    T* F(const char* name)
    {
        auto* w = editor.FieldAs<T>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Choose(const char* list, int position)
    {
        auto* combo = F<QComboBox>(list);
        combo->setCurrentIndex(position);
        emit combo->activated(position);
    }
    bool On(const char* name) { return IsOwnEnabled(F(name)); }

    QTabWidget pages;
    // The rules find their fields when constructed, so the pages come first.
    const bool built = (AddEditorPages(&pages), true);
    ScriptedDialogs dialogs;
    SettingsEditor editor{&pages, dialogs};
    RecordingRules rules{editor};
};

TEST_F(RecordingRulesTest, RecordingMethodSwitchesTheCaptionOnlyOnTheUsersChoice)
{
    F<QLineEdit>("edWritePeriod")->setText("250");
    Choose("cbWriteMethod", 1);
    EXPECT_EQ(S(F<QLabel>("lblWritePeriod")->text()), "Период записи точек (сек):");
    Choose("cbWriteMethod", 0);
    EXPECT_EQ(S(F<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");
    EXPECT_EQ(S(F<QLineEdit>("edWritePeriod")->text()), "250");

    // A position set by code waits for the caption rule to be run by hand.
    F<QComboBox>("cbWriteMethod")->setCurrentIndex(1);
    EXPECT_EQ(S(F<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");
    editor.RefreshRules();
    EXPECT_EQ(S(F<QLabel>("lblWritePeriod")->text()), "Период записи точек (сек):");
}

TEST_F(RecordingRulesTest, PresetsReturnToAdaptiveRecordingAndTouchNothingElse)
{
    F<QLineEdit>("edSendPeriod")->setText("120");
    F<QAbstractButton>("cbStaticNav")->setChecked(true);
    Choose("cbWriteMethod", 1);

    F<QPushButton>("Button2")->click();
    EXPECT_EQ(F<QComboBox>("cbWriteMethod")->currentIndex(), 0);
    EXPECT_EQ(S(F<QLineEdit>("edWritePeriod")->text()), "10");
    EXPECT_EQ(S(F<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");

    Choose("cbWriteMethod", 1);
    F<QPushButton>("Button1")->click();
    EXPECT_EQ(F<QComboBox>("cbWriteMethod")->currentIndex(), 0);
    EXPECT_EQ(S(F<QLineEdit>("edWritePeriod")->text()), "5");
    EXPECT_EQ(S(F<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");

    EXPECT_EQ(S(F<QLineEdit>("edSendPeriod")->text()), "120");
    EXPECT_TRUE(F<QAbstractButton>("cbStaticNav")->isChecked());
}

TEST_F(RecordingRulesTest, SendMethodEnablesPeriodTimesAndDurations)
{
    struct Case {
        int method;
        bool period, times;
    };
    for (const Case& c : {Case{1, false, true}, Case{2, true, true}, Case{3, false, false}, Case{0, true, false}}) {
        Choose("cbSendMethod", c.method);
        EXPECT_EQ(On("edSendPeriod"), c.period) << c.method;
        for (const char* f : {"edSendTime1", "edSendTime2", "edSendTime3", "edOnTime1", "edOnTime2", "edOnTime3"})
            EXPECT_EQ(On(f), c.times) << c.method << ' ' << f;
    }
    // A list left without a selection sends nothing at all.
    F<QComboBox>("cbSendMethod")->setCurrentIndex(-1);
    rules.SendMethodRule();
    EXPECT_FALSE(On("edSendPeriod"));
    EXPECT_FALSE(On("edSendTime2"));
    EXPECT_FALSE(On("edOnTime3"));
}

TEST_F(RecordingRulesTest, EncryptionSwitchesKeyCaptionAndKeepsTheKey)
{
    F<QComboBox>("cbAuth")->setEnabled(false);
    F<QLineEdit>("edWEPKey")->setText("abcdefghijklm");
    Choose("cbEncrypt", 2);
    EXPECT_TRUE(On("cbAuth"));
    EXPECT_TRUE(On("edWEPKey"));
    EXPECT_EQ(S(F<QLabel>("lblWEPKey")->text()), "Ключ шифрования (13 ASCII или 26 HEX символов)");

    Choose("cbEncrypt", 1);
    EXPECT_EQ(S(F<QLabel>("lblWEPKey")->text()), "Ключ шифрования (5 ASCII или 10 HEX символов)");

    Choose("cbEncrypt", 0);
    EXPECT_FALSE(On("edWEPKey"));
    EXPECT_EQ(S(F<QLabel>("lblWEPKey")->text()), "Ключ шифрования");
    EXPECT_EQ(S(F<QLineEdit>("edWEPKey")->text()), "abcdefghijklm");
}

TEST_F(RecordingRulesTest, StaticAddressEnablesTheAddressFieldsWithTheirContents)
{
    editor.RefreshRules();
    EXPECT_FALSE(On("edIpAddress"));
    F<QLineEdit>("edIpAddress")->setText("10.0.0.7");

    F<QRadioButton>("rbManualIp")->setChecked(true);
    for (const char* f : {"edIpAddress", "edIpMask", "edDefGate"})
        EXPECT_TRUE(On(f)) << f;
    EXPECT_EQ(S(F<QLineEdit>("edIpAddress")->text()), "10.0.0.7");

    F<QRadioButton>("rbDHCPIp")->setChecked(true);
    for (const char* f : {"edIpAddress", "edIpMask", "edDefGate"})
        EXPECT_FALSE(On(f)) << f;
}

TEST_F(RecordingRulesTest, NmeaServerFieldsFollowTheBox)
{
    F<QAbstractButton>("transfNMEA")->setChecked(true);
    EXPECT_TRUE(On("edIpUDPServer"));
    EXPECT_TRUE(On("edPortUDPServer"));
    F<QAbstractButton>("transfNMEA")->setChecked(false);
    EXPECT_FALSE(On("edIpUDPServer"));
    EXPECT_FALSE(On("edPortUDPServer"));
}

TEST_F(RecordingRulesTest, GeneralDefaultsFillEveryFieldOfThePages)
{
    // Start from values unlike the defaults that equal the initial values.
    Choose("cbWriteMethod", 1);
    F<QLineEdit>("edPassword")->setText("12345678");
    Choose("cbSendMethod", 2);
    F<QTimeEdit>("edSendTime2")->setTime(QTime(13, 45));
    F<QLineEdit>("edOnTime3")->setText("15");
    F<QComboBox>("cbAuth")->setCurrentIndex(1);
    F<QComboBox>("cbwChanel")->setCurrentIndex(7);
    F<QRadioButton>("rgWiFiType_1")->setChecked(true);
    Choose("cbEncrypt", 1);
    F<QLineEdit>("edWEPKey")->setText("abcde");
    F<QRadioButton>("rbManualIp")->setChecked(true);
    F<QLineEdit>("edIpMask")->setText("255.0.0.0");
    F<QLineEdit>("edDefGate")->setText("10.0.0.1");
    F<QAbstractButton>("cbWideRecord")->setChecked(true);
    F<QRadioButton>("intGlonass_2")->setChecked(true);
    F<QAbstractButton>("transfNMEA")->setChecked(true);
    F<QLineEdit>("edIpUDPServer")->setText("1.2.3.4");

    F<QPushButton>("LoadDefault")->click();

    EXPECT_EQ(F<QComboBox>("cbWriteMethod")->currentIndex(), 0);
    EXPECT_EQ(S(F<QLabel>("lblWritePeriod")->text()), "Интервал записи точек (м):");
    EXPECT_EQ(S(F<QLineEdit>("edWritePeriod")->text()), "5");
    EXPECT_TRUE(F<QAbstractButton>("cbStaticNav")->isChecked());
    EXPECT_EQ(S(F<QLineEdit>("edPassword")->text()), "");
    EXPECT_EQ(S(F<QLineEdit>("edServer")->text()), "127.0.0.1");
    EXPECT_EQ(S(F<QLineEdit>("edServerPort")->text()), "2224");
    EXPECT_EQ(F<QComboBox>("cbSendMethod")->currentIndex(), 0);
    EXPECT_EQ(S(F<QLineEdit>("edSendPeriod")->text()), "60");
    EXPECT_TRUE(On("edSendPeriod"));
    EXPECT_EQ(F<QTimeEdit>("edSendTime2")->time(), QTime(0, 0));
    EXPECT_FALSE(On("edSendTime2"));
    EXPECT_EQ(S(F<QLineEdit>("edOnTime3")->text()), "1");
    EXPECT_EQ(S(F<QLineEdit>("edSSID")->text()), "KV");
    EXPECT_EQ(F<QComboBox>("cbAuth")->currentIndex(), 0);
    EXPECT_EQ(F<QComboBox>("cbwChanel")->currentIndex(), 0);
    EXPECT_TRUE(F<QRadioButton>("rgWiFiType_0")->isChecked());
    EXPECT_EQ(F<QComboBox>("cbEncrypt")->currentIndex(), 0);
    EXPECT_EQ(S(F<QLabel>("lblWEPKey")->text()), "Ключ шифрования");
    EXPECT_FALSE(On("edWEPKey"));
    EXPECT_EQ(S(F<QLineEdit>("edWEPKey")->text()), "");
    EXPECT_TRUE(F<QRadioButton>("rbDHCPIp")->isChecked());
    EXPECT_FALSE(On("edIpAddress"));
    EXPECT_EQ(S(F<QLineEdit>("edIpAddress")->text()), "192.168.0.100");
    EXPECT_EQ(S(F<QLineEdit>("edIpMask")->text()), "255.255.255.0");
    EXPECT_EQ(S(F<QLineEdit>("edDefGate")->text()), "192.168.0.1");
    EXPECT_FALSE(F<QAbstractButton>("cbWideRecord")->isChecked());
    // Left alone: the receiver mode and NMEA forwarding.
    EXPECT_TRUE(F<QRadioButton>("intGlonass_2")->isChecked());
    EXPECT_TRUE(F<QAbstractButton>("transfNMEA")->isChecked());
    EXPECT_EQ(S(F<QLineEdit>("edIpUDPServer")->text()), "1.2.3.4");
}

TEST_F(RecordingRulesTest, GeneralDefaultsDisableAddressesEvenWhenDhcpWasAlreadyChosen)
{
    // The gate enables the address fields whatever the address mode.
    ApplyVersionGate(editor, 403);
    ASSERT_TRUE(F<QRadioButton>("rbDHCPIp")->isChecked());
    ASSERT_TRUE(On("edDefGate"));
    F<QPushButton>("LoadDefault")->click();
    EXPECT_FALSE(On("edDefGate"));
}

// Stands in for another page's rules, logging what the general defaults ask.
struct PageLog : InputsRulesApi, AnalogRulesApi, Rs485RulesApi, OneWireRulesApi {
    std::vector<std::string> calls;
    void ShowFirstInputsPage() override { calls.push_back("refresh"); }
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
    F<QRadioButton>("rbManualIp")->setChecked(true);
    F<QLineEdit>("edSendPeriod")->setText("300");
    F<QAbstractButton>("cbSendEvtIn2")->setChecked(true);
    F<QLineEdit>("edCnt12SendPeriod")->setText("5");
    F<QLineEdit>("edAInWritePeriod")->setText("5");
    F<QLineEdit>("edLLSAddr3")->setText("9");

    F<QPushButton>("LoadDefault")->click();

    EXPECT_EQ(S(F<QLineEdit>("edSSID")->text()), "KV");
    EXPECT_TRUE(F<QRadioButton>("rbDHCPIp")->isChecked());
    EXPECT_FALSE(On("edIpAddress"));
    EXPECT_EQ(S(F<QLineEdit>("edSendPeriod")->text()), "60");
    EXPECT_FALSE(F<QAbstractButton>("cbSendEvtIn2")->isChecked());
    EXPECT_EQ(S(F<QLineEdit>("edCnt12SendPeriod")->text()), "3600");
    EXPECT_EQ(S(F<QLineEdit>("edAInWritePeriod")->text()), "3600");
    EXPECT_EQ(S(F<QLineEdit>("edLLSAddr3")->text()), "0");
    EXPECT_TRUE(F<QAbstractButton>("cbIbReadAny")->isChecked());
}

} // namespace
