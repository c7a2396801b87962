#pragma once
// Rules of the page "Цифровые входы" and of the group "Передача при изменении
// состояния дискретного входа" on the transfer page. Each input's transfer
// settings exist on both pages; the rules keep the two copies equal and
// derive which of them can be edited. One handler serves a whole family of
// like fields and takes the input number from a fixed character of the
// sender's name, so the rules keep no per-input state.
#include "editor/Editor.h"

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QComboBox;
class QEvent;
class QGroupBox;
class QTabWidget;
class QWidget;

namespace plendoro {

class InputsPage;

// Enables the level lists, continuous boxes and duration fields of an input
// on both pages as its sending box says: all of them off when nothing is
// sent, and a duration field only while its continuous box is clear. Shared
// with the analog page, which re-enables inputs 5 and 6 this way.
void ApplySendingEnables(const SettingsEditor& editor, int input, bool sending);

class InputsRules : public QObject, public InputsRulesApi {
    Q_OBJECT
public:
    explicit InputsRules(SettingsEditor& editor);

    // Run by RefreshRules in its fixed order; input numbers count from 1.
    void ShowFirstInputsPage() override;
    void CaptionsToShownInputsPage() override;
    // As a click on the input's "Простой" button.
    void InputModeRule(int n) override;
    // From edInNDuration to the transfer page.
    void DurationMirror(int n) override;
    // From cbInNLevel to the transfer page, as the settings decoder needs it.
    void LevelMirror(int n) override;
    // From the transfer page's "Вх.N" and "Непр." boxes.
    void DataSendingRule(int n) override;
    void ContinuousRule(int n) override;
    // "Настройки по умолчанию" on the inputs page.
    void InputsDefaults() override;

    // The same rules started from either copy of a setting; the sender is
    // any member of the rule's family on either page.
    void DataSendingRule(QAbstractButton* sender);
    void ContinuousRule(QAbstractButton* sender);
    void LevelMirror(QComboBox* sender);
    void DurationMirror(QWidget* sender);
    // Puts the shared row captions and the defaults button onto inner page
    // `index` of pcInputs.
    void MoveSharedCaptions(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rbIn1BaseClick(bool checked);
    void cbSendEvtIn1Click();
    void cbSendEvtLvlIn1Change();
    void cbIn1ContClick();
    void edIn1DurationExit(QWidget* sender);
    void pcInputsChange(int index);
    void btnInAsDefaultClick();

    template <typename T>
    T* Field(const char* prefix, int input, const char* suffix = "") const
    {
        return qobject_cast<T*>(editor_.Field(prefix, input, suffix));
    }

    SettingsEditor& editor_;
    // Null once the editor itself is being torn down with its children.
    RuleSlot<InputsRulesApi> slot_;
    QPointer<QTabWidget> pcInputs_;
    QPointer<InputsPage> inputsPage_;
};

} // namespace plendoro
