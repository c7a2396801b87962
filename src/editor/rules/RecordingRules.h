#pragma once
// Rules of the pages "Настройки прибора", "Передача данных" and
// "Настройки WiFI": the recording-method caption, the two recommended presets,
// the send method, encryption, addressing, NMEA forwarding and the general
// defaults button. The rules derive enabled states and captions from the
// fields alone and keep no state of their own.
#include "editor/Editor.h"

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimeEdit;

namespace plendoro {

class RecordingRules : public QObject, public RecordingRulesApi {
    Q_OBJECT
public:
    explicit RecordingRules(SettingsEditor& editor);

    // Run by RefreshRules in its fixed order.
    void RecordingMethodRule() override { cbWriteMethodChange(); }
    void SendMethodRule() override { cbSendMethodChange(); }
    void EncryptionRule() override { cbEncryptChange(); }
    void AddressModeRule() override { rbDHCPIpClick(); }

    // The handlers, callable by the window and the other pages as well.
    void cbWriteMethodChange(); // lblWritePeriod: metres or seconds
    void Button1Click();        // "Легковой Автомобиль"
    void Button2Click();        // "Грузовой Автомобиль"
    void cbSendMethodChange();  // period, times and durations by method
    void cbEncryptChange();     // key caption and key field by encryption
    void rbDHCPIpClick();       // address fields only for a static address
    void transfNMEAClick();     // UDP server fields follow the box
    void LoadDefaultClick();    // "Настройки по умолчанию"

private:
    void ApplyPreset(const QString& period);

    SettingsEditor& editor_;
    // Null once the editor itself is being torn down with its children.
    RuleSlot<RecordingRulesApi> slot_;

    QComboBox* cbWriteMethod_ = nullptr;
    QLabel* lblWritePeriod_ = nullptr;
    QLineEdit* edWritePeriod_ = nullptr;
    QAbstractButton* cbStaticNav_ = nullptr;
    QAbstractButton* cbWideRecord_ = nullptr;

    QLineEdit* edPassword_ = nullptr;
    QLineEdit* edServer_ = nullptr;
    QLineEdit* edServerPort_ = nullptr;
    QComboBox* cbSendMethod_ = nullptr;
    QLineEdit* edSendPeriod_ = nullptr;
    QTimeEdit* edSendTime_[3] = {};
    QLineEdit* edOnTime_[3] = {};
    QAbstractButton* transfNMEA_ = nullptr;
    QLineEdit* edIpUDPServer_ = nullptr;
    QLineEdit* edPortUDPServer_ = nullptr;

    QLineEdit* edSSID_ = nullptr;
    QComboBox* cbAuth_ = nullptr;
    QComboBox* cbwChanel_ = nullptr;
    QGroupBox* rgWiFiType_ = nullptr;
    QComboBox* cbEncrypt_ = nullptr;
    QLabel* lblWEPKey_ = nullptr;
    QLineEdit* edWEPKey_ = nullptr;
    QAbstractButton* rbDHCPIp_ = nullptr;
    QAbstractButton* rbManualIp_ = nullptr;
    QLineEdit* edIpAddress_ = nullptr;
    QLineEdit* edIpMask_ = nullptr;
    QLineEdit* edDefGate_ = nullptr;
};

} // namespace plendoro
