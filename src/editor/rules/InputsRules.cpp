#include "editor/rules/InputsRules.h"
#include "editor/rules/FieldSetters.h"

#include "editor/FieldBalloon.h"
#include "editor/FieldLookup.h"
#include "editor/pages/InputsPage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include <utility>

namespace plendoro {

namespace {

const char* const kModeSuffixes[] = {"Base", "Count", "PCount", "Freq", "Motion"};

// The digit's place in each family's names: after "rbIn", "cbIn" and "edIn"
// on the inputs page, after the longer prefixes on the transfer page. The
// longer prefixes come first so that none is taken for a shorter one.
struct Family {
    const char* prefix;
    int position;
};
const Family kFamilies[] = {
    {"cbSendEvtContIn", 15},
    {"cbSendEvtLvlIn", 14},
    {"edSendEvtLenIn", 14},
    {"cbSendEvtIn", 11},
    {"rbIn", 4},
    {"cbIn", 4},
    {"edIn", 4},
};

// The input number of a family handler's sender; 0 for a stranger.
int InputOf(const QObject* sender)
{
    if (!sender)
        return 0;
    const QString name = sender->objectName();
    for (const Family& f : kFamilies) {
        if (name.startsWith(QLatin1String(f.prefix))) {
            const int n = DigitAt(sender, f.position);
            return n >= 1 && n <= kInputCount ? n : 0;
        }
    }
    return 0;
}

// Every transfer-page copy is named "...SendEvt...", no inputs-page field is.
bool OnTransferPage(const QObject* sender)
{
    return sender->objectName().contains(QLatin1String("SendEvt"));
}

bool IsChecked(QWidget* w)
{
    auto* b = qobject_cast<QAbstractButton*>(w);
    return b && b->isChecked();
}

// Sets a twin's state without running the twin's own rule, which would only
// copy the state back.
void SetQuietly(QAbstractButton* twin, bool checked)
{
    if (!twin)
        return;
    const QSignalBlocker quiet(twin);
    twin->setChecked(checked);
}

} // namespace

void ApplySendingEnables(const SettingsEditor& editor, int input, bool sending)
{
    Enable(editor.Field("cbSendEvtLvlIn", input), sending);
    Enable(editor.Field("cbIn", input, "Level"), sending);
    Enable(editor.Field("edIn", input, "Duration"), sending && !IsChecked(editor.Field("cbIn", input, "Cont")));
    Enable(editor.Field("edSendEvtLenIn", input), sending && !IsChecked(editor.Field("cbSendEvtContIn", input)));
    Enable(editor.Field("cbSendEvtContIn", input), sending);
    Enable(editor.Field("cbIn", input, "Cont"), sending);
}

InputsRules::InputsRules(SettingsEditor& editor)
    : QObject(&editor),
      editor_(editor),
      slot_(editor, &SettingsEditor::inputs, this)
{
    setObjectName(QStringLiteral("InputsRules"));

    pcInputs_ = editor.FieldAs<QTabWidget>(QStringLiteral("pcInputs"));
    for (QWidget* w = pcInputs_; w; w = w->parentWidget()) {
        if (auto* page = qobject_cast<InputsPage*>(w)) {
            inputsPage_ = page;
            break;
        }
    }
    if (pcInputs_)
        connect(pcInputs_, &QTabWidget::currentChanged, this, &InputsRules::pcInputsChange);
    if (auto* button = editor.FieldAs<QAbstractButton>(QStringLiteral("btnInAsDefault")))
        connect(button, &QAbstractButton::clicked, this, &InputsRules::btnInAsDefaultClick);

    for (int n = 1; n <= kInputCount; ++n) {
        for (const char* suffix : kModeSuffixes)
            if (auto* mode = Field<QRadioButton>("rbIn", n, suffix))
                connect(mode, &QAbstractButton::toggled, this, &InputsRules::rbIn1BaseClick);
        for (auto* box : {Field<QAbstractButton>("cbIn", n, "Send"), Field<QAbstractButton>("cbSendEvtIn", n)})
            if (box)
                connect(box, &QAbstractButton::toggled, this, &InputsRules::cbSendEvtIn1Click);
        for (auto* list : {Field<QComboBox>("cbIn", n, "Level"), Field<QComboBox>("cbSendEvtLvlIn", n)})
            if (list)
                connect(list, &QComboBox::activated, this, &InputsRules::cbSendEvtLvlIn1Change);
        for (auto* box : {Field<QAbstractButton>("cbIn", n, "Cont"), Field<QAbstractButton>("cbSendEvtContIn", n)})
            if (box)
                connect(box, &QAbstractButton::toggled, this, &InputsRules::cbIn1ContClick);
        for (auto* edit : {Field<QLineEdit>("edIn", n, "Duration"), Field<QLineEdit>("edSendEvtLenIn", n)})
            if (edit)
                edit->installEventFilter(this);
    }
}

bool InputsRules::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        edIn1DurationExit(qobject_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}

// ---- handlers ---------------------------------------------------------------

void InputsRules::rbIn1BaseClick(bool checked)
{
    // The button that lost its check is not the input's new mode.
    if (checked)
        InputModeRule(InputOf(sender()));
}

void InputsRules::cbSendEvtIn1Click()
{
    DataSendingRule(qobject_cast<QAbstractButton*>(sender()));
}

void InputsRules::cbSendEvtLvlIn1Change()
{
    LevelMirror(qobject_cast<QComboBox*>(sender()));
}

void InputsRules::cbIn1ContClick()
{
    ContinuousRule(qobject_cast<QAbstractButton*>(sender()));
}

void InputsRules::edIn1DurationExit(QWidget* sender)
{
    DurationMirror(sender);
}

void InputsRules::pcInputsChange(int index)
{
    MoveSharedCaptions(index);
}

void InputsRules::btnInAsDefaultClick()
{
    InputsDefaults();
}

// ---- rules ------------------------------------------------------------------

void InputsRules::ShowFirstInputsPage()
{
    if (pcInputs_)
        pcInputs_->setCurrentIndex(0);
    // Already on the first page no change is signalled, yet the captions
    // may still be elsewhere.
    MoveSharedCaptions(0);
}

void InputsRules::CaptionsToShownInputsPage()
{
    MoveSharedCaptions(pcInputs_ ? pcInputs_->currentIndex() : 0);
}

void InputsRules::MoveSharedCaptions(int index)
{
    if (inputsPage_)
        inputsPage_->moveSharedCaptionsTo(index);
}

void InputsRules::InputModeRule(int n)
{
    if (n < 1 || n > kInputCount || editor_.FirmwareVersion() < 300)
        return;
    auto* base = Field<QAbstractButton>("rbIn", n, "Base");
    if (!base || !IsOwnEnabled(base))
        return;
    auto* send = Field<QAbstractButton>("cbIn", n, "Send");
    auto* sendEvt = Field<QAbstractButton>("cbSendEvtIn", n);
    if (base->isChecked()) {
        Enable(send, true);
        Enable(sendEvt, true);
        return;
    }
    // Only a plain switch starts a transfer. The sending rule must run for
    // each box even when it is already clear, or the level, duration and
    // continuous fields would stay as they were.
    for (QAbstractButton* box : {send, sendEvt}) {
        if (!box)
            continue;
        if (box->isChecked())
            box->setChecked(false); // runs the sending rule through the click
        else
            DataSendingRule(box);
    }
    Enable(send, false);
    Enable(sendEvt, false);
}

void InputsRules::DataSendingRule(int n)
{
    DataSendingRule(Field<QAbstractButton>("cbSendEvtIn", n));
}

void InputsRules::DataSendingRule(QAbstractButton* sender)
{
    const int n = InputOf(sender);
    if (!n)
        return;
    auto* twin =
        OnTransferPage(sender) ? Field<QAbstractButton>("cbIn", n, "Send") : Field<QAbstractButton>("cbSendEvtIn", n);
    SetQuietly(twin, sender->isChecked());
    if (IsOwnEnabled(sender))
        ApplySendingEnables(editor_, n, sender->isChecked());
}

void InputsRules::LevelMirror(int n)
{
    LevelMirror(Field<QComboBox>("cbIn", n, "Level"));
}

void InputsRules::LevelMirror(QComboBox* sender)
{
    const int n = InputOf(sender);
    if (!n)
        return;
    // Positions match while the captions differ per page.
    auto* twin = OnTransferPage(sender) ? Field<QComboBox>("cbIn", n, "Level") : Field<QComboBox>("cbSendEvtLvlIn", n);
    if (!twin)
        return;
    const QSignalBlocker quiet(twin);
    twin->setCurrentIndex(sender->currentIndex());
}

void InputsRules::ContinuousRule(int n)
{
    ContinuousRule(Field<QAbstractButton>("cbSendEvtContIn", n));
}

void InputsRules::ContinuousRule(QAbstractButton* sender)
{
    const int n = InputOf(sender);
    if (!n)
        return;
    auto* twin = OnTransferPage(sender) ? Field<QAbstractButton>("cbIn", n, "Cont")
                                        : Field<QAbstractButton>("cbSendEvtContIn", n);
    SetQuietly(twin, sender->isChecked());
    if (!IsOwnEnabled(sender))
        return;
    Enable(Field<QWidget>("edSendEvtLenIn", n), !sender->isChecked());
    Enable(Field<QWidget>("edIn", n, "Duration"), !sender->isChecked());
}

void InputsRules::DurationMirror(int n)
{
    DurationMirror(Field<QWidget>("edIn", n, "Duration"));
}

void InputsRules::DurationMirror(QWidget* sender)
{
    auto* from = qobject_cast<QLineEdit*>(sender);
    const int n = InputOf(sender);
    if (!from || !n)
        return;
    auto* to = OnTransferPage(sender) ? Field<QLineEdit>("edIn", n, "Duration") : Field<QLineEdit>("edSendEvtLenIn", n);
    if (to)
        to->setText(from->text());
    HideBallon();
}

void InputsRules::InputsDefaults()
{
    for (int n = 1; n <= kInputCount; ++n)
        if (auto* level = Field<QComboBox>("cbIn", n, "Level"))
            level->setCurrentIndex(n <= 4 ? 0 : 1);
    for (int n = 1; n <= kInputCount; ++n)
        if (auto* send = Field<QAbstractButton>("cbIn", n, "Send"))
            send->setChecked(false);
    for (int n = 1; n <= kInputCount; ++n)
        if (auto* base = Field<QAbstractButton>("rbIn", n, "Base"))
            base->setChecked(true);
    const std::pair<const char*, const char*> periods[] = {{"edCnt12SendPeriod", "3600"},
                                                           {"edCnt34SendPeriod", "0"},
                                                           {"edCnt56SendPeriod", "0"},
                                                           {"edCnt78SendPeriod", "0"}};
    for (const auto& [name, value] : periods)
        if (auto* edit = editor_.FieldAs<QLineEdit>(QLatin1String(name)))
            edit->setText(QLatin1String(value));
    for (int n = 1; n <= kInputCount; ++n)
        if (auto* sendEvt = Field<QAbstractButton>("cbSendEvtIn", n))
            sendEvt->setChecked(false);
    for (int n = 1; n <= kInputCount; ++n)
        if (auto* level = Field<QComboBox>("cbSendEvtLvlIn", n))
            level->setCurrentIndex(n <= 4 ? 0 : 1);
    for (int n = 1; n <= kInputCount; ++n)
        if (auto* duration = Field<QLineEdit>("edIn", n, "Duration"))
            duration->setText(QStringLiteral("1"));
    editor_.RefreshRules();
}

} // namespace plendoro
