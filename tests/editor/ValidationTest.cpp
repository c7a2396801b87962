// The checks before writing, run on the real pages: each starts from an
// editor whose every checked field holds a valid value and spoils one thing.
#include "editor/Validation.h"
#include "EditorHarness.h"
#include "editor/FieldBalloon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace plendoro;

namespace {

class FakeControlPoints final : public ControlPointRulesApi {
public:
    void TransferRule(int) override {}
    bool StoreRule() override
    {
        ++stores;
        return allow;
    }
    bool allow = true;
    int stores = 0;
};

// Every text field the checks read, with a value they accept.
const std::vector<std::pair<const char*, const char*>> kValid = {
    {"edWritePeriod", "60"},
    {"edPassword", "12345678"},
    {"edServerPort", "2224"},
    {"edServer", "127.0.0.1"},
    {"edSendPeriod", "60"},
    {"edOnTime1", "1"},
    {"edOnTime2", "1"},
    {"edOnTime3", "1"},
    {"edSSID", "KV"},
    {"edWEPKey", ""},
    {"edIpAddress", "192.168.0.2"},
    {"edIpMask", "255.255.255.0"},
    {"edDefGate", "192.168.0.1"},
    {"edIn1Duration", "1"},
    {"edIn2Duration", "1"},
    {"edIn3Duration", "1"},
    {"edIn4Duration", "1"},
    {"edIn5Duration", "1"},
    {"edIn6Duration", "1"},
    {"edIn7Duration", "1"},
    {"edIn8Duration", "1"},
    {"edCnt12SendPeriod", "3600"},
    {"edCnt34SendPeriod", "0"},
    {"edCnt56SendPeriod", "0"},
    {"edCnt78SendPeriod", "0"},
    {"edAIn1AdLevel", "1023"},
    {"edAIn2AdLevel", "1023"},
    {"edAIn1AverPeriod", "16"},
    {"edAIn2AverPeriod", "16"},
    {"edAInWritePeriod", "3600"},
    {"edCANPeriodSave", "0"},
    {"edItempWritePeriod14", "0"},
    {"edItempWritePeriod58", "0"},
    {"edLLSWritePeriod14", "0"},
    {"edLLSWritePeriod58", "0"},
};

class ValidationTest : public test::EditorTest {
protected:
    void SetUp() override
    {
        pages.resize(900, 560);
        editor.controlPoints = &controlPoints;
        for (const auto& [name, text] : kValid) {
            QLineEdit* field = Edit(name);
            ASSERT_NE(field, nullptr) << name;
            field->setEnabled(true);
            field->setText(QString::fromUtf8(text));
        }
        List("cbSendMethod")->setCurrentIndex(0);
        List("cbEncrypt")->setCurrentIndex(0);
        Button("rbDHCPIp")->setChecked(true);
        Button("cbAIn1Adaptive")->setChecked(false);
        Button("cbAIn2Adaptive")->setChecked(false);
        ResetBalloon();
    }
    void TearDown() override { ResetBalloon(); }

    static void ResetBalloon()
    {
        HideBallon();
        FieldBalloon::Instance().setText(QString());
        FieldBalloon::Instance().SetField(nullptr);
    }

    QLineEdit* Edit(const char* name) { return Field<QLineEdit>(name); }
    QComboBox* List(const char* name) { return Field<QComboBox>(name); }
    QAbstractButton* Button(const char* name) { return Box(name); }
    void Set(const char* name, const QString& text) { Edit(name)->setText(text); }

    // Runs the checks; "" when they pass, else the balloon's message, which
    // must stand at the field named.
    std::string Run(const char* expectedField = nullptr)
    {
        ResetBalloon();
        const bool passed = ValidateSettings(editor);
        FieldBalloon& balloon = FieldBalloon::Instance();
        if (passed) {
            EXPECT_FALSE(balloon.isVisible()) << "a passing run shows no balloon";
            return {};
        }
        EXPECT_TRUE(balloon.isVisible());
        if (expectedField) {
            EXPECT_EQ(balloon.Field(), Edit(expectedField)) << "message shown at the wrong field";
        }
        return Utf8(balloon.text());
    }
    // Puts text into one field of the valid state and runs the checks.
    std::string With(const char* name, const QString& text)
    {
        Set(name, text);
        return Run(name);
    }

    FakeControlPoints controlPoints;
};

TEST_F(ValidationTest, ValidStatePassesAndStoresTheShownControlPoint)
{
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(controlPoints.stores, 1);
}

TEST_F(ValidationTest, ControlPointStepDecidesOnlyAfterEveryCheckPassed)
{
    controlPoints.allow = false;
    EXPECT_FALSE(ValidateSettings(editor));
    EXPECT_FALSE(FieldBalloon::Instance().isVisible()) << "the refusal is the step's own to show";
    EXPECT_EQ(controlPoints.stores, 1);

    controlPoints.allow = true;
    Set("edItempWritePeriod58", "29"); // the last check fails
    EXPECT_FALSE(ValidateSettings(editor));
    EXPECT_EQ(controlPoints.stores, 1) << "nothing is stored after a failed check";

    Set("edItempWritePeriod58", "0");
    editor.controlPoints = nullptr;
    EXPECT_TRUE(ValidateSettings(editor));
}

// Every check fails at once; each run must report the next one in the fixed
// order, at its own field, with its own message, and nothing else.
TEST_F(ValidationTest, ReportsOnlyTheFirstFailureInTheFixedOrder)
{
    struct Step {
        const char* field;
        const char* bad;
        const char* message;
    };
    const std::vector<Step> steps = {
        {"edWritePeriod", "0", "Неверный интервал записи точек"},
        {"edPassword", "", "Не указан пароль"},
        {"edPassword", "1234567", "Пароль должен содержать ровно 8 символов"},
        {"edServerPort", "0", "Неверно указан порт сервера"},
        {"edServer", "192.168.0", "Неверно указан IP адрес сервера"},
        {"edSendPeriod", "29", "Неверный интервал отсылки данных"},
        {"edOnTime1", "0", "Неверное время отправки данных 1-го включения"},
        {"edOnTime2", "601", "Неверное время отправки данных 2-го включения"},
        {"edOnTime3", "", "Неверное время отправки данных 3-го включения"},
        {"edSSID", "", "Не указан SSID точки доступа"},
        {"edWEPKey", "", "Не указан ключ шифрования"},
        {"edWEPKey", "1234", "Ключ шифрования должен содержать 5 ASCII или 10 HEX символов"},
        {"edIpAddress", "1.2.3", "Неверно указан IP адрес устройства"},
        {"edIpMask", "", "Неверно указана IP маска"},
        {"edDefGate", "256.1.1.1", "Неверно указан шлюз по умолчанию устройства"},
        {"edIn1Duration", "0", "Неверно указана длительность передачи данных входа 1"},
        {"edIn2Duration", "61", "Неверно указана длительность передачи данных входа 2"},
        {"edIn3Duration", "", "Неверно указана длительность передачи данных входа 3"},
        {"edIn4Duration", "x", "Неверно указана длительность передачи данных входа 4"},
        {"edIn5Duration", "0", "Неверно указана длительность передачи данных входа 5"},
        {"edIn6Duration", "0", "Неверно указана длительность передачи данных входа 6"},
        {"edIn7Duration", "0", "Неверно указана длительность передачи данных входа 7"},
        {"edIn8Duration", "0", "Неверно указана длительность передачи данных входа 8"},
        {"edCnt12SendPeriod", "3601", "Неверно указан интервал записи показаний счетчиков 12"},
        {"edCnt34SendPeriod", "-1", "Неверно указан интервал записи показаний счетчиков 34"},
        {"edCnt56SendPeriod", "", "Неверно указан интервал записи показаний счетчиков 56"},
        {"edCnt78SendPeriod", "3601", "Неверно указан интервал записи показаний счетчиков 78"},
        {"edAIn1AdLevel", "0", "Неверно указан порог записи адаптивного режима аналогового входа 1"},
        {"edAIn2AdLevel", "1024", "Неверно указан порог записи адаптивного режима аналогового входа 2"},
        {"edAIn1AverPeriod", "0", "Неверно указан период усреднения аналогового входа 1"},
        {"edAIn2AverPeriod", "17", "Неверно указан период усреднения аналогового входа 2"},
        {"edAInWritePeriod", "3601", "Неверно указан интервал записи аналоговых данных"},
        {"edCANPeriodSave", "3601", "Неверно указан интервал записи данных с шины CAN"},
        {"edItempWritePeriod14", "29", "Неверно указан интервал записи датчиков температуры 1-4"},
        {"edItempWritePeriod58", "3601", "Неверно указан интервал записи датчиков температуры 5-8"},
    };
    List("cbSendMethod")->setCurrentIndex(1);
    List("cbEncrypt")->setCurrentIndex(1);
    Button("rbManualIp")->setChecked(true);
    Button("cbAIn1Adaptive")->setChecked(true);
    Button("cbAIn2Adaptive")->setChecked(true);
    // Each field starts with the first wrong text listed for it.
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        Set(it->field, QString::fromUtf8(it->bad));

    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(Run(steps[i].field), steps[i].message);
        // Mend this fault: the field's next wrong text, or its valid one.
        const bool moreForField = i + 1 < steps.size() && qstrcmp(steps[i + 1].field, steps[i].field) == 0;
        QString next;
        for (const auto& [name, text] : kValid)
            if (qstrcmp(name, steps[i].field) == 0)
                next = QString::fromUtf8(text);
        if (moreForField)
            next = QString::fromUtf8(steps[i + 1].bad);
        if (qstrcmp(steps[i].field, "edWEPKey") == 0 && !moreForField)
            next = QStringLiteral("12345"); // WEP64 stays selected
        Set(steps[i].field, next);
    }
    EXPECT_EQ(Run(), "");
}

TEST_F(ValidationTest, ShowsTheFailureOnItsPageWithTheFieldFocused)
{
    pages.show();
    pages.setCurrentIndex(0);
    Set("edItempWritePeriod58", "29");
    ASSERT_EQ(Run("edItempWritePeriod58"), "Неверно указан интервал записи датчиков температуры 5-8");
    int pageSets = 0;
    for (QWidget* w = Edit("edItempWritePeriod58"); w; w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr)) {
            ++pageSets;
            EXPECT_EQ(tabs->currentWidget(), w) << Utf8(tabs->objectName());
        }
    EXPECT_EQ(pageSets, 2) << "1-Wire sits inside Расширения";
    EXPECT_EQ(pages.focusWidget(), Edit("edItempWritePeriod58"));
    pages.hide();
}

TEST_F(ValidationTest, WritePeriod)
{
    const std::string wrong = "Неверный интервал записи точек";
    EXPECT_EQ(With("edWritePeriod", "3600"), "");
    EXPECT_EQ(With("edWritePeriod", "1"), "");
    EXPECT_EQ(With("edWritePeriod", "3601"), wrong);
    EXPECT_EQ(With("edWritePeriod", "0"), wrong);
    EXPECT_EQ(With("edWritePeriod", ""), wrong);
    EXPECT_EQ(With("edWritePeriod", " 60"), wrong) << "a blank makes the text no number";
}

TEST_F(ValidationTest, PastedTextGetsPastTheKeyFilterButNotTheCheck)
{
    QLineEdit* field = Edit("edWritePeriod");
    field->clear();
    QApplication::clipboard()->setText(QStringLiteral("12a"));
    field->paste();
    ASSERT_EQ(Utf8(field->text()), "12a");
    EXPECT_EQ(Run("edWritePeriod"), "Неверный интервал записи точек");
}

TEST_F(ValidationTest, Password)
{
    const std::string length = "Пароль должен содержать ровно 8 символов";
    EXPECT_EQ(With("edPassword", ""), "Не указан пароль");
    EXPECT_EQ(With("edPassword", "1234567"), length);
    EXPECT_EQ(With("edPassword", "abcdefgh"), "");
    // Typing stops at 8 characters, but the check must not lean on that.
    Edit("edPassword")->setMaxLength(32767);
    EXPECT_EQ(With("edPassword", "123456789"), length);
    // Characters, not UTF-16 units: eight of them pass even when one needs
    // a surrogate pair.
    EXPECT_EQ(With("edPassword", QStringLiteral("паро\U0001F600ль")), length) << "seven characters";
    EXPECT_EQ(With("edPassword", QStringLiteral("парол\U0001F600ль")), "");
}

TEST_F(ValidationTest, ServerPortAndSendPeriod)
{
    const std::string port = "Неверно указан порт сервера";
    EXPECT_EQ(With("edServerPort", "65535"), "");
    EXPECT_EQ(With("edServerPort", "65536"), port);
    EXPECT_EQ(With("edServerPort", "0"), port);
    EXPECT_EQ(With("edServerPort", "port"), port);
    Set("edServerPort", "1");

    const std::string period = "Неверный интервал отсылки данных";
    for (const char* ok : {"0", "30", "600", "abc"})
        EXPECT_EQ(With("edSendPeriod", ok), "") << ok;
    for (const char* bad : {"29", "601", "1"})
        EXPECT_EQ(With("edSendPeriod", bad), period) << bad;
}

TEST_F(ValidationTest, ServerAddressThatWouldBeStoredAsUnparsed)
{
    const std::string wrong = "Неверно указан IP адрес сервера";
    for (const char* bad :
         {"", "192.168.0", "192.168.0.1000", "256.1.1.1", "10.0.0.255", "server.example", "1.2.3.4.5.6.7.8.9.10"})
        EXPECT_EQ(With("edServer", bad), wrong) << bad;
    // Whatever the encoder reads as an address passes, even where the
    // device-address check would be stricter.
    for (const char* ok : {"127.0.0.1", "0.0.0.0", "10.0.0.254", "010.1.1.1", " 10.1.2.3", "10.1.2.3 "})
        EXPECT_EQ(With("edServer", ok), "") << ok;

    // Right after the port, before the send period.
    Set("edServer", "x");
    Set("edServerPort", "0");
    EXPECT_EQ(Run("edServerPort"), "Неверно указан порт сервера");
    Set("edServerPort", "2224");
    Set("edSendPeriod", "1");
    EXPECT_EQ(Run("edServer"), wrong);
}

TEST_F(ValidationTest, PowerOnTimesOnlyForMethodsOtherThanPeriodic)
{
    Set("edOnTime1", "0");
    EXPECT_EQ(Run(), "") << "Периодическая передача ignores the times";
    for (int method : {1, 2, 3, -1}) {
        List("cbSendMethod")->setCurrentIndex(method);
        EXPECT_EQ(Run("edOnTime1"), "Неверное время отправки данных 1-го включения") << method;
    }
    Set("edOnTime1", "600");
    Set("edOnTime3", "601");
    EXPECT_EQ(Run("edOnTime3"), "Неверное время отправки данных 3-го включения");
}

TEST_F(ValidationTest, EncryptionKeyLengths)
{
    const std::string none = "Не указан ключ шифрования";
    const std::string wep64 = "Ключ шифрования должен содержать 5 ASCII или 10 HEX символов";
    const std::string wep128 = "Ключ шифрования должен содержать 13 ASCII или 26 HEX символов";
    EXPECT_EQ(With("edWEPKey", "123"), "") << "no encryption, no key check";

    List("cbEncrypt")->setCurrentIndex(1);
    EXPECT_EQ(With("edWEPKey", ""), none);
    EXPECT_EQ(With("edWEPKey", "abcde"), "");
    EXPECT_EQ(With("edWEPKey", "0123456789"), "");
    EXPECT_EQ(With("edWEPKey", "abcdefghijklm"), wep64);
    EXPECT_EQ(With("edWEPKey", "abcdef"), wep64);

    List("cbEncrypt")->setCurrentIndex(2);
    EXPECT_EQ(With("edWEPKey", ""), none);
    EXPECT_EQ(With("edWEPKey", "abcdefghijklm"), "");
    EXPECT_EQ(With("edWEPKey", "0123456789abcdef0123456789"), "");
    EXPECT_EQ(With("edWEPKey", "abcde"), wep128);
    EXPECT_EQ(With("edWEPKey", "0123456789"), wep128);

    // No selection is stored with a key, so it needs one; no length applies.
    List("cbEncrypt")->setCurrentIndex(-1);
    EXPECT_EQ(With("edWEPKey", ""), none);
    EXPECT_EQ(With("edWEPKey", "k"), "");
}

TEST_F(ValidationTest, DeviceAddressesOnlyWhenSetByHand)
{
    EXPECT_EQ(With("edIpAddress", "not an address"), "") << "DHCP leaves them unchecked";

    Button("rbManualIp")->setChecked(true);
    for (const char* bad :
         {"0.1.2.3", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.256", "1..2.3", " 1.2.3.4", "1.2.3.4 ", "1.2.3.0001"})
        EXPECT_EQ(With("edIpAddress", bad), "Неверно указан IP адрес устройства") << bad;
    for (const char* ok : {"192.168.0.100", "010.1.1.1", "255.255.255.255", "1.0.0.0"})
        EXPECT_EQ(With("edIpAddress", ok), "") << ok;
    EXPECT_EQ(With("edIpMask", "255.255.255"), "Неверно указана IP маска");
    Set("edIpMask", "255.255.255.0");
    EXPECT_EQ(With("edDefGate", "0.0.0.0"), "Неверно указан шлюз по умолчанию устройства");
}

TEST_F(ValidationTest, DurationsOnlyWhileTheirFieldIsEnabled)
{
    const std::string third = "Неверно указана длительность передачи данных входа 3";
    Set("edIn3Duration", "0");
    Edit("edIn3Duration")->setEnabled(false);
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Utf8(Edit("edIn3Duration")->text()), "0") << "a duration is never forced";
    Edit("edIn3Duration")->setEnabled(true);
    EXPECT_EQ(Run("edIn3Duration"), third);

    // Its own flag counts, not the state its page inherits.
    Set("edIn3Duration", "1");
    Set("edIn7Duration", "0");
    Edit("edIn7Duration")->parentWidget()->setEnabled(false);
    EXPECT_EQ(Run("edIn7Duration"), "Неверно указана длительность передачи данных входа 7");
    Edit("edIn7Duration")->parentWidget()->setEnabled(true);

    Set("edIn7Duration", "1");
    EXPECT_EQ(With("edIn3Duration", "60"), "");
    EXPECT_EQ(With("edIn3Duration", "61"), third);
}

TEST_F(ValidationTest, CounterAnalogAndCanPeriods)
{
    for (const char* name : {"edCnt12SendPeriod", "edCnt56SendPeriod", "edAInWritePeriod", "edCANPeriodSave"}) {
        EXPECT_EQ(With(name, "0"), "") << name;
        EXPECT_EQ(With(name, "3600"), "") << name;
        EXPECT_NE(With(name, "3601"), "") << name;
        EXPECT_NE(With(name, "-1"), "") << name;
        EXPECT_NE(With(name, "1e3"), "") << name;
        Set(name, "0");
    }

    const std::string aver = "Неверно указан период усреднения аналогового входа 1";
    EXPECT_EQ(With("edAIn1AverPeriod", "16"), "");
    EXPECT_EQ(With("edAIn1AverPeriod", "1"), "");
    EXPECT_EQ(With("edAIn1AverPeriod", "17"), aver);
    EXPECT_EQ(With("edAIn1AverPeriod", "0"), aver);
}

TEST_F(ValidationTest, AdaptiveThresholdOnlyInAdaptiveMode)
{
    const std::string wrong = "Неверно указан порог записи адаптивного режима аналогового входа 2";
    EXPECT_EQ(With("edAIn2AdLevel", "0"), "");
    Button("cbAIn2Adaptive")->setChecked(true);
    EXPECT_EQ(Run("edAIn2AdLevel"), wrong);
    EXPECT_EQ(With("edAIn2AdLevel", "1"), "");
    EXPECT_EQ(With("edAIn2AdLevel", "1023"), "");
    EXPECT_EQ(With("edAIn2AdLevel", "1024"), wrong);
}

TEST_F(ValidationTest, TemperatureSensorPeriods)
{
    const std::string wrong = "Неверно указан интервал записи датчиков температуры 1-4";
    EXPECT_EQ(With("edItempWritePeriod14", "0"), "");
    EXPECT_EQ(With("edItempWritePeriod14", "29"), wrong);
    EXPECT_EQ(With("edItempWritePeriod14", "30"), "");
    EXPECT_EQ(With("edItempWritePeriod14", "3600"), "");
    EXPECT_EQ(With("edItempWritePeriod14", "3601"), wrong);
    EXPECT_EQ(With("edItempWritePeriod14", "1"), wrong);

    Set("edItempWritePeriod14", "29");
    Edit("edItempWritePeriod14")->setEnabled(false);
    EXPECT_EQ(Run(), "");
    EXPECT_EQ(Utf8(Edit("edItempWritePeriod14")->text()), "0");
}

TEST_F(ValidationTest, DisabledSensorPeriodsAreForcedToZeroEvenWhenAnEarlierCheckFails)
{
    const std::vector<const char*> periods = {"edItempWritePeriod14", "edItempWritePeriod58", "edLLSWritePeriod14",
                                              "edLLSWritePeriod58"};
    for (const char* name : periods) {
        Set(name, "abc");
        Edit(name)->setEnabled(false);
    }
    Set("edWritePeriod", "0");
    EXPECT_EQ(Run("edWritePeriod"), "Неверный интервал записи точек");
    for (const char* name : periods)
        EXPECT_EQ(Utf8(Edit(name)->text()), "0") << name;

    // Enabled ones keep their text: the LLS periods are not checked at all.
    for (const char* name : periods) {
        Edit(name)->setEnabled(true);
        Set(name, "45");
    }
    Set("edWritePeriod", "60");
    EXPECT_EQ(Run(), "");
    for (const char* name : periods)
        EXPECT_EQ(Utf8(Edit(name)->text()), "45") << name;
}

TEST_F(ValidationTest, NegativeNumbersFailLikeNumbersAboveTheMaximum)
{
    List("cbSendMethod")->setCurrentIndex(1);
    for (const auto& [field, message] : std::vector<std::pair<const char*, const char*>>{
             {"edWritePeriod", "Неверный интервал записи точек"},
             {"edServerPort", "Неверно указан порт сервера"},
             {"edOnTime1", "Неверное время отправки данных 1-го включения"},
             {"edOnTime2", "Неверное время отправки данных 2-го включения"},
             {"edOnTime3", "Неверное время отправки данных 3-го включения"}}) {
        const QString valid = Edit(field)->text();
        for (const char* negative : {"-1", "-2147483648"})
            EXPECT_EQ(With(field, QString::fromLatin1(negative)), message) << field << " " << negative;
        Set(field, valid);
    }
}

TEST_F(ValidationTest, NmeaServerAddressStoredAsUnparsedFailsWhileStreamingIsOn)
{
    const std::string wrong = "Неверно указан IP адрес сервера";
    Button("transfNMEA")->setEnabled(true);
    Button("transfNMEA")->setChecked(true);
    Set("edIpUDPServer", "10.0.0.1");
    EXPECT_EQ(Run(), "");
    Set("edSendPeriod", "1"); // the next check, which must not come first
    EXPECT_EQ(With("edIpUDPServer", "10.0.0.255"), wrong);
    Set("edServer", "x");
    EXPECT_EQ(Run("edServer"), wrong);
    Set("edServer", "127.0.0.1");
    Set("edSendPeriod", "60");

    Button("transfNMEA")->setChecked(false);
    EXPECT_EQ(Run(), "") << "not streamed, not checked";
    Button("transfNMEA")->setChecked(true);
    editor.SetFirmwareVersion(402);
    EXPECT_EQ(Run(), "") << "a tracker below 4.03 does not store the address";
}

TEST_F(ValidationTest, AtMostFiftyKeysWhenOnlyListedKeysAreRead)
{
    auto* keys = Field<QListWidget>("lbIbAddrList");
    Button("cbIbReadAny")->setChecked(false);
    for (int n = 1; n <= 50; ++n)
        keys->addItem(QStringLiteral("00000000000000%1").arg(n, 2, 16, QLatin1Char('0')));
    keys->addItem(QStringLiteral("not a key"));
    EXPECT_EQ(Run(), "") << "fifty keys and a line that is no address";

    keys->addItem(QStringLiteral("00000000000000FF"));
    ResetBalloon();
    EXPECT_FALSE(ValidateSettings(editor));
    EXPECT_EQ(Utf8(FieldBalloon::Instance().text()), "Не более 50 ключей iButton");
    EXPECT_EQ(FieldBalloon::Instance().Field(), keys);
    EXPECT_EQ(controlPoints.stores, 1) << "only the first run reached the control-point step";

    Button("cbIbReadAny")->setChecked(true);
    EXPECT_EQ(Run(), "") << "any key is read: the list is not stored";
    Button("cbIbReadAny")->setChecked(false);
    editor.SetFirmwareVersion(304);
    EXPECT_EQ(Run(), "") << "no key list before 3.05";
}

} // namespace
