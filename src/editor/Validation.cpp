#include "editor/Validation.h"

#include "common/Cp1251.h"
#include "editor/Editor.h"
#include "editor/FieldBalloon.h"
#include "editor/FieldLookup.h"
#include "model/IpAddress.h"
#include "model/OneWireAddress.h"
#include "model/Structs.h"
#include "model/TextNumbers.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <functional>
#include <vector>

namespace plendoro {
namespace {

// Firmware that stores the NMEA stream's UDP server, and firmware with the
// iButton key list in block 6.
constexpr int kFirstUdpServerVersion = 403;
constexpr int kFirstKeyListVersion = 305;

// A text that is not a number counts as 0 here, whatever default the
// encoder would store for it; 0 is refused where it matters.
std::int32_t PlainValue(const QString& text)
{
    return ReadDecimal(text.toStdString(), 0);
}

bool InRange(const QString& text, std::int32_t minimum, bool zeroAllowed, std::int32_t maximum)
{
    return IsIntInRange(text.toStdString(), minimum, zeroAllowed, maximum);
}

// Counted as the block stores them: one Windows-1251 byte per character,
// so a character outside the BMP (two UTF-16 units in a QString, one '?'
// in the block) counts once.
qsizetype CharacterCount(const QString& text)
{
    return text.toUcs4().size();
}

bool IsChecked(const SettingsEditor& editor, const char* name)
{
    const auto* button = editor.FieldAs<QAbstractButton>(QLatin1String(name));
    return button && button->isChecked();
}

// -1 for no selection, as for a list the pages do not hold.
int Position(const SettingsEditor& editor, const char* name)
{
    const auto* list = editor.FieldAs<QComboBox>(QLatin1String(name));
    return list ? list->currentIndex() : -1;
}

struct Check {
    QString field;
    std::function<bool(const QString&)> passes;
    QString message;
    bool runs = true;
};

// Periods of sensors that are switched off are stored as 0 rather than
// checked, so a leftover text in a disabled field can neither block the
// write nor reach the device.
void ForceZeroIntoDisabledPeriods(const SettingsEditor& editor)
{
    for (const char* name :
         {"edItempWritePeriod14", "edItempWritePeriod58", "edLLSWritePeriod14", "edLLSWritePeriod58"}) {
        auto* field = editor.FieldAs<QLineEdit>(QLatin1String(name));
        if (field && !IsOwnEnabled(field))
            field->setText(QStringLiteral("0"));
    }
}

bool TooManyKeys(const SettingsEditor& editor)
{
    if (editor.FirmwareVersion() < kFirstKeyListVersion || IsChecked(editor, "cbIbReadAny"))
        return false;
    const auto* list = editor.FieldAs<QListWidget>(QStringLiteral("lbIbAddrList"));
    if (!list)
        return false;
    std::size_t keys = 0;
    for (int row = 0; row < list->count(); ++row) {
        OneWireAddress address{};
        if (TextToAddress(list->item(row)->text().toStdString(), address))
            ++keys;
    }
    return keys > kOneWireKeyCount;
}

std::vector<Check> ChecksInOrder(const SettingsEditor& editor)
{
    const auto range = [](std::int32_t minimum, bool zeroAllowed, std::int32_t maximum) {
        return [=](const QString& t) { return InRange(t, minimum, zeroAllowed, maximum); };
    };
    const auto notEmpty = [](const QString& t) { return !t.isEmpty(); };
    const auto ipText = [](const QString& t) { return IsIpAddressText(t.toStdString()); };
    // A pasted negative number would be stored wrapped into a huge
    // unsigned value, so it is refused like one above the maximum.
    const auto positiveUpTo = [](std::int32_t maximum) {
        return [=](const QString& t) {
            const std::int32_t v = PlainValue(t);
            return v > 0 && v <= maximum;
        };
    };
    const auto onTime = positiveUpTo(600);

    // The periodic method sends on its own interval; the power-on times only
    // matter to the others.
    const bool sendsByTime = Position(editor, "cbSendMethod") != 0;
    const int encryption = Position(editor, "cbEncrypt");
    const bool manualIp = IsChecked(editor, "rbManualIp");
    const auto* nmea = editor.FieldAs<QAbstractButton>(QStringLiteral("transfNMEA"));
    const bool streamsNmea =
        editor.FirmwareVersion() >= kFirstUdpServerVersion && nmea && IsOwnEnabled(nmea) && nmea->isChecked();

    std::vector<Check> checks = {
        {QStringLiteral("edWritePeriod"), positiveUpTo(3600), QStringLiteral("Неверный интервал записи точек")},
        {QStringLiteral("edPassword"), notEmpty, QStringLiteral("Не указан пароль")},
        {QStringLiteral("edPassword"), [](const QString& t) { return CharacterCount(t) == 8; },
         QStringLiteral("Пароль должен содержать ровно 8 символов")},
        {QStringLiteral("edServerPort"), positiveUpTo(65535), QStringLiteral("Неверно указан порт сервера")},
        // Read exactly as the encoder reads it: an address it cannot parse
        // would otherwise be stored as the unparsed marker
        // 255.255.255.255 and the write would still report success.
        {QStringLiteral("edServer"),
         [](const QString& t) { return ParseIpAddress(Utf8ToCp1251(t.toStdString())) != kUnparsedIpAddress; },
         QStringLiteral("Неверно указан IP адрес сервера")},
        // The NMEA stream's server has the same trap; a tracker below 4.03
        // does not store it at all.
        {QStringLiteral("edIpUDPServer"),
         [](const QString& t) { return ParseIpAddress(Utf8ToCp1251(t.toStdString())) != kUnparsedIpAddress; },
         QStringLiteral("Неверно указан IP адрес сервера"), streamsNmea},
        {QStringLiteral("edSendPeriod"),
         [](const QString& t) {
             const std::int32_t v = PlainValue(t);
             return v == 0 || (v >= 30 && v <= 600);
         },
         QStringLiteral("Неверный интервал отсылки данных")},
        {QStringLiteral("edOnTime1"), onTime, QStringLiteral("Неверное время отправки данных 1-го включения"),
         sendsByTime},
        {QStringLiteral("edOnTime2"), onTime, QStringLiteral("Неверное время отправки данных 2-го включения"),
         sendsByTime},
        {QStringLiteral("edOnTime3"), onTime, QStringLiteral("Неверное время отправки данных 3-го включения"),
         sendsByTime},
        {QStringLiteral("edSSID"), notEmpty, QStringLiteral("Не указан SSID точки доступа")},
        // No selection is stored as an encryption code with a key, so it
        // needs a key as much as a named method does.
        {QStringLiteral("edWEPKey"), notEmpty, QStringLiteral("Не указан ключ шифрования"), encryption != 0},
        {QStringLiteral("edWEPKey"),
         [](const QString& t) {
             const qsizetype n = CharacterCount(t);
             return n == 5 || n == 10;
         },
         QStringLiteral("Ключ шифрования должен содержать 5 ASCII или 10 HEX символов"), encryption == 1},
        {QStringLiteral("edWEPKey"),
         [](const QString& t) {
             const qsizetype n = CharacterCount(t);
             return n == 13 || n == 26;
         },
         QStringLiteral("Ключ шифрования должен содержать 13 ASCII или 26 HEX символов"), encryption == 2},
        {QStringLiteral("edIpAddress"), ipText, QStringLiteral("Неверно указан IP адрес устройства"), manualIp},
        {QStringLiteral("edIpMask"), ipText, QStringLiteral("Неверно указана IP маска"), manualIp},
        {QStringLiteral("edDefGate"), ipText, QStringLiteral("Неверно указан шлюз по умолчанию устройства"), manualIp},
    };

    // A duration is only in use, and only checked, while its input sends
    // data on a firmware that knows durations; the input rules say so
    // through the field's own enabled flag.
    for (int input = 1; input <= kInputCount; ++input) {
        const QString name = QStringLiteral("edIn%1Duration").arg(input);
        checks.push_back({name, range(1, false, 60),
                          QStringLiteral("Неверно указана длительность передачи данных входа %1").arg(input),
                          IsOwnEnabled(editor.Field(name))});
    }

    const std::vector<Check> rest = {
        {QStringLiteral("edCnt12SendPeriod"), range(0, false, 3600),
         QStringLiteral("Неверно указан интервал записи показаний счетчиков 12")},
        {QStringLiteral("edCnt34SendPeriod"), range(0, false, 3600),
         QStringLiteral("Неверно указан интервал записи показаний счетчиков 34")},
        {QStringLiteral("edCnt56SendPeriod"), range(0, false, 3600),
         QStringLiteral("Неверно указан интервал записи показаний счетчиков 56")},
        {QStringLiteral("edCnt78SendPeriod"), range(0, false, 3600),
         QStringLiteral("Неверно указан интервал записи показаний счетчиков 78")},
        {QStringLiteral("edAIn1AdLevel"), range(1, false, 1023),
         QStringLiteral("Неверно указан порог записи адаптивного режима аналогового входа 1"),
         IsChecked(editor, "cbAIn1Adaptive")},
        {QStringLiteral("edAIn2AdLevel"), range(1, false, 1023),
         QStringLiteral("Неверно указан порог записи адаптивного режима аналогового входа 2"),
         IsChecked(editor, "cbAIn2Adaptive")},
        {QStringLiteral("edAIn1AverPeriod"), range(1, false, 16),
         QStringLiteral("Неверно указан период усреднения аналогового входа 1")},
        {QStringLiteral("edAIn2AverPeriod"), range(1, false, 16),
         QStringLiteral("Неверно указан период усреднения аналогового входа 2")},
        {QStringLiteral("edAInWritePeriod"), range(0, false, 3600),
         QStringLiteral("Неверно указан интервал записи аналоговых данных")},
        {QStringLiteral("edCANPeriodSave"), range(0, false, 3600),
         QStringLiteral("Неверно указан интервал записи данных с шины CAN")},
        {QStringLiteral("edItempWritePeriod14"), range(30, true, 3600),
         QStringLiteral("Неверно указан интервал записи датчиков температуры 1-4")},
        {QStringLiteral("edItempWritePeriod58"), range(30, true, 3600),
         QStringLiteral("Неверно указан интервал записи датчиков температуры 5-8")},
    };
    checks.insert(checks.end(), rest.begin(), rest.end());
    return checks;
}

} // namespace

bool ValidateSettings(SettingsEditor& editor)
{
    ForceZeroIntoDisabledPeriods(editor);

    for (const Check& check : ChecksInOrder(editor)) {
        if (!check.runs)
            continue;
        auto* field = editor.FieldAs<QLineEdit>(check.field);
        if (!field || check.passes(field->text()))
            continue;
        ShowFieldError(check.message, field);
        return false;
    }

    // Block 6 holds a fixed number of keys; the rest would be dropped
    // silently when it is encoded.
    if (TooManyKeys(editor)) {
        ShowFieldError(QStringLiteral("Не более 50 ключей iButton"), editor.Field(QStringLiteral("lbIbAddrList")));
        return false;
    }

    // Ends with storing the shown control point, which refuses when the
    // records together hold too many points.
    if (editor.controlPoints)
        return editor.controlPoints->StoreRule();
    return true;
}

} // namespace plendoro
