#include "editor/Editor.h"

#include "editor/FieldLookup.h"

#include <QTabWidget>

namespace plendoro {

SettingsEditor::SettingsEditor(QTabWidget* PageControl1, DialogService& dialogs, QObject* parent)
    : QObject(parent),
      pages_(PageControl1),
      dialogs_(dialogs)
{
    setObjectName(QStringLiteral("Editor"));
}

QWidget* SettingsEditor::Field(const QString& name) const
{
    QWidget* w = FindFieldByName(name, pages_);
    if (!w && onMiss_)
        onMiss_(name);
    return w;
}

QWidget* SettingsEditor::Field(const char* prefix, int digit, const char* suffix) const
{
    return Field(QLatin1String(prefix) + QString::number(digit) + QLatin1String(suffix));
}

// Not const: the rules it runs change the pages.
void SettingsEditor::RefreshRules() // NOLINT(readability-make-member-function-const)
{
    if (recording) {
        recording->RecordingMethodRule();
        recording->SendMethodRule();
        recording->EncryptionRule();
    }
    if (analog) {
        for (int n : {1, 2})
            analog->AsDigitalRule(n);
        for (int n : {1, 2})
            analog->AdaptiveRule(n);
        for (int n : {1, 2})
            analog->ThresholdDisplay(n);
    }
    if (recording)
        recording->AddressModeRule();
    if (inputs) {
        inputs->ShowFirstInputsPage();
        for (int n = 1; n <= kInputCount; ++n)
            inputs->InputModeRule(n);
        for (int n = 1; n <= kInputCount; ++n)
            inputs->DurationMirror(n);
    }
    if (rs485)
        for (int n = 1; n <= kInputCount; ++n)
            rs485->FuelSensorRule(n);
    if (inputs) {
        for (int n = 1; n <= kInputCount; ++n)
            inputs->DataSendingRule(n);
        for (int n = 1; n <= kInputCount; ++n)
            inputs->ContinuousRule(n);
    }
    if (controlPoints)
        for (int n = 1; n <= 3; ++n)
            controlPoints->TransferRule(n);
    if (oneWire && firmwareVersion_ > 304) {
        oneWire->IbReadAnyRule();
        for (int n = 1; n <= kInputCount; ++n)
            oneWire->SensorSlotRule(n);
        oneWire->ReadAllRule();
    }
    if (can)
        can->DisableCanListButtons();
}

int DigitAt(const QObject* sender, int position)
{
    if (!sender)
        return 0;
    const QString name = sender->objectName();
    if (position < 0 || position >= name.size() || !name.at(position).isDigit())
        return 0;
    return name.at(position).digitValue();
}

int SlotOf(const QObject* sender)
{
    if (!sender || sender->objectName().isEmpty())
        return 0;
    const int slot = DigitAt(sender, static_cast<int>(sender->objectName().size()) - 1);
    return slot >= 1 && slot <= 8 ? slot : 0;
}

} // namespace plendoro
