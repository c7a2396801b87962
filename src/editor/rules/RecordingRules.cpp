#include "editor/rules/RecordingRules.h"
#include "editor/rules/FieldSetters.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QTimeEdit>

namespace plendoro {

namespace {

// Positions of the lists as the window fills them.
constexpr int kAdaptiveRecording = 0;
enum SendMethod { kPeriodic = 0, kByTime = 1, kCombined = 2 };
enum Encryption { kWep64 = 1, kWep128 = 2 };

// Chooses a list entry by its text as code does: no rule runs, and an entry
// the list does not hold leaves it with no selection.
void Select(QComboBox* list, const QString& text)
{
    if (list)
        list->setCurrentIndex(list->findText(text));
}

// A radio group's position is the index of its checked button.
void SetGroupPosition(QGroupBox* group, int position)
{
    if (!group)
        return;
    const auto buttons = group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    if (position >= 0 && position < buttons.size())
        buttons.at(position)->setChecked(true);
}

} // namespace

RecordingRules::RecordingRules(SettingsEditor& editor)
    : QObject(&editor),
      editor_(editor),
      slot_(editor, &SettingsEditor::recording, this)
{
    setObjectName(QStringLiteral("RecordingRules"));

    cbWriteMethod_ = editor.FieldAs<QComboBox>(QStringLiteral("cbWriteMethod"));
    lblWritePeriod_ = editor.FieldAs<QLabel>(QStringLiteral("lblWritePeriod"));
    edWritePeriod_ = editor.FieldAs<QLineEdit>(QStringLiteral("edWritePeriod"));
    cbStaticNav_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbStaticNav"));
    cbWideRecord_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbWideRecord"));

    edPassword_ = editor.FieldAs<QLineEdit>(QStringLiteral("edPassword"));
    edServer_ = editor.FieldAs<QLineEdit>(QStringLiteral("edServer"));
    edServerPort_ = editor.FieldAs<QLineEdit>(QStringLiteral("edServerPort"));
    cbSendMethod_ = editor.FieldAs<QComboBox>(QStringLiteral("cbSendMethod"));
    edSendPeriod_ = editor.FieldAs<QLineEdit>(QStringLiteral("edSendPeriod"));
    for (int i = 0; i < 3; ++i) {
        edSendTime_[i] = editor.FieldAs<QTimeEdit>("edSendTime", i + 1);
        edOnTime_[i] = editor.FieldAs<QLineEdit>("edOnTime", i + 1);
    }
    transfNMEA_ = editor.FieldAs<QAbstractButton>(QStringLiteral("transfNMEA"));
    edIpUDPServer_ = editor.FieldAs<QLineEdit>(QStringLiteral("edIpUDPServer"));
    edPortUDPServer_ = editor.FieldAs<QLineEdit>(QStringLiteral("edPortUDPServer"));

    edSSID_ = editor.FieldAs<QLineEdit>(QStringLiteral("edSSID"));
    cbAuth_ = editor.FieldAs<QComboBox>(QStringLiteral("cbAuth"));
    cbwChanel_ = editor.FieldAs<QComboBox>(QStringLiteral("cbwChanel"));
    rgWiFiType_ = editor.FieldAs<QGroupBox>(QStringLiteral("rgWiFiType"));
    cbEncrypt_ = editor.FieldAs<QComboBox>(QStringLiteral("cbEncrypt"));
    lblWEPKey_ = editor.FieldAs<QLabel>(QStringLiteral("lblWEPKey"));
    edWEPKey_ = editor.FieldAs<QLineEdit>(QStringLiteral("edWEPKey"));
    rbDHCPIp_ = editor.FieldAs<QAbstractButton>(QStringLiteral("rbDHCPIp"));
    rbManualIp_ = editor.FieldAs<QAbstractButton>(QStringLiteral("rbManualIp"));
    edIpAddress_ = editor.FieldAs<QLineEdit>(QStringLiteral("edIpAddress"));
    edIpMask_ = editor.FieldAs<QLineEdit>(QStringLiteral("edIpMask"));
    edDefGate_ = editor.FieldAs<QLineEdit>(QStringLiteral("edDefGate"));

    // Lists act on the user's choice only; positions set by code run no rule.
    if (cbWriteMethod_)
        connect(cbWriteMethod_, &QComboBox::activated, this, &RecordingRules::cbWriteMethodChange);
    if (cbSendMethod_)
        connect(cbSendMethod_, &QComboBox::activated, this, &RecordingRules::cbSendMethodChange);
    if (cbEncrypt_)
        connect(cbEncrypt_, &QComboBox::activated, this, &RecordingRules::cbEncryptChange);
    // Both address radios carry the one rule; it acts for the button that
    // becomes checked, which also covers a change made by code.
    for (QAbstractButton* radio : {rbDHCPIp_, rbManualIp_})
        if (radio)
            connect(radio, &QAbstractButton::toggled, this, [this](bool checked) {
                if (checked)
                    rbDHCPIpClick();
            });
    if (transfNMEA_)
        connect(transfNMEA_, &QAbstractButton::toggled, this, &RecordingRules::transfNMEAClick);
    if (auto* b = editor.FieldAs<QAbstractButton>(QStringLiteral("Button1")))
        connect(b, &QAbstractButton::clicked, this, &RecordingRules::Button1Click);
    if (auto* b = editor.FieldAs<QAbstractButton>(QStringLiteral("Button2")))
        connect(b, &QAbstractButton::clicked, this, &RecordingRules::Button2Click);
    if (auto* b = editor.FieldAs<QAbstractButton>(QStringLiteral("LoadDefault")))
        connect(b, &QAbstractButton::clicked, this, &RecordingRules::LoadDefaultClick);
}

void RecordingRules::cbWriteMethodChange()
{
    if (!cbWriteMethod_ || !lblWritePeriod_)
        return;
    // One field holds a distance for adaptive recording and a period otherwise.
    lblWritePeriod_->setText(cbWriteMethod_->currentIndex() == kAdaptiveRecording
                                 ? QStringLiteral("Интервал записи точек (м):")
                                 : QStringLiteral("Период записи точек (сек):"));
}

void RecordingRules::ApplyPreset(const QString& period)
{
    Select(cbWriteMethod_, QStringLiteral("Адаптивная запись"));
    SetText(edWritePeriod_, period);
    cbWriteMethodChange();
}

void RecordingRules::Button1Click()
{
    ApplyPreset(QStringLiteral("5"));
}

void RecordingRules::Button2Click()
{
    ApplyPreset(QStringLiteral("10"));
}

void RecordingRules::cbSendMethodChange()
{
    if (!cbSendMethod_)
        return;
    const int method = cbSendMethod_->currentIndex();
    const bool period = method == kPeriodic || method == kCombined;
    const bool times = method == kByTime || method == kCombined;
    Enable(edSendPeriod_, period);
    for (int i = 0; i < 3; ++i) {
        Enable(edSendTime_[i], times);
        Enable(edOnTime_[i], times);
    }
}

void RecordingRules::cbEncryptChange()
{
    Enable(cbAuth_, true);
    if (!cbEncrypt_)
        return;
    QString caption = QStringLiteral("Ключ шифрования");
    bool keyed = true;
    switch (cbEncrypt_->currentIndex()) {
    case kWep64: caption = QStringLiteral("Ключ шифрования (5 ASCII или 10 HEX символов)"); break;
    case kWep128: caption = QStringLiteral("Ключ шифрования (13 ASCII или 26 HEX символов)"); break;
    default: keyed = false; break;
    }
    if (lblWEPKey_)
        lblWEPKey_->setText(caption);
    // The key stays in the field while it is off, so turning encryption back
    // on restores it.
    Enable(edWEPKey_, keyed);
}

void RecordingRules::rbDHCPIpClick()
{
    const bool manual = rbManualIp_ && rbManualIp_->isChecked();
    for (QLineEdit* w : {edIpAddress_, edIpMask_, edDefGate_})
        Enable(w, manual);
}

void RecordingRules::transfNMEAClick()
{
    const bool on = transfNMEA_ && transfNMEA_->isChecked();
    Enable(edIpUDPServer_, on);
    Enable(edPortUDPServer_, on);
}

void RecordingRules::LoadDefaultClick()
{
    Select(cbWriteMethod_, QStringLiteral("Адаптивная запись"));
    cbWriteMethodChange();
    SetText(edWritePeriod_, QStringLiteral("5"));
    SetChecked(cbStaticNav_, true);

    SetText(edPassword_, QString());
    SetText(edServer_, QStringLiteral("127.0.0.1"));
    SetText(edServerPort_, QStringLiteral("2224"));

    Select(cbSendMethod_, QStringLiteral("Периодическая передача"));
    cbSendMethodChange();
    SetText(edSendPeriod_, QStringLiteral("60"));
    for (int i = 0; i < 3; ++i) {
        if (edSendTime_[i])
            edSendTime_[i]->setTime(QTime(0, 0));
        SetText(edOnTime_[i], QStringLiteral("1"));
    }

    SetText(edSSID_, QStringLiteral("KV"));
    Select(cbAuth_, QStringLiteral("Открытая"));
    Select(cbwChanel_, QStringLiteral("Авто"));
    SetGroupPosition(rgWiFiType_, 0);
    Select(cbEncrypt_, QStringLiteral("Без шифрования"));
    cbEncryptChange();
    SetText(edWEPKey_, QString());

    SetChecked(rbDHCPIp_, true);
    SetText(edIpAddress_, QStringLiteral("192.168.0.100"));
    SetText(edIpMask_, QStringLiteral("255.255.255.0"));
    SetText(edDefGate_, QStringLiteral("192.168.0.1"));

    SetChecked(cbWideRecord_, false);

    if (editor_.inputs)
        editor_.inputs->InputsDefaults();
    if (editor_.analog)
        editor_.analog->AnalogDefaults();
    if (editor_.rs485)
        editor_.rs485->Rs485Defaults();
    if (editor_.oneWire)
        editor_.oneWire->OneWireDefaults();

    editor_.RefreshRules();
}

} // namespace plendoro
