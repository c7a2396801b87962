#pragma once
// Rules of the page "RS485": which fuel sensor fields are open, the external
// receiver's mode, and the page's defaults button. The rules derive enabled
// states from the check boxes alone and keep no state of their own.
#include "editor/Editor.h"

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLineEdit;

namespace plendoro {

constexpr int kFuelSensors = 8;

class Rs485Rules : public QObject, public Rs485RulesApi {
    Q_OBJECT
public:
    explicit Rs485Rules(SettingsEditor& editor);

    // Run by RefreshRules, by the block decoder and by the general defaults.
    void FuelSensorRule(int sensor) override;
    void Rs485Defaults() override { btnRS485AsDefaultClick(); }
    void ExternalReceiverRule() { cbRS485EnableGlonassClick(); }

    // The handlers, callable by the window and the other pages as well.
    // The sensor number is the tenth character of the sender's name.
    void cbLLSAddr1Click(QObject* sender);
    void cbRS485EnableGlonassClick();
    void btnRS485AsDefaultClick();

private:
    SettingsEditor& editor_;
    // Null once the editor itself is being torn down with its children.
    RuleSlot<Rs485RulesApi> slot_;

    QAbstractButton* cbLLSAddr_[kFuelSensors] = {};
    QLineEdit* edLLSAddr_[kFuelSensors] = {};
    QLineEdit* edLLSWritePeriod14_ = nullptr;
    QLineEdit* edLLSWritePeriod58_ = nullptr;
    QComboBox* cbRS485Speed_ = nullptr;
    QAbstractButton* cbRS485EnableGlonass_ = nullptr;
    QGroupBox* GlonassMode_ = nullptr;
};

} // namespace plendoro
