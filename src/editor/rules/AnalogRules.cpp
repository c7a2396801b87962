#include "editor/rules/AnalogRules.h"
#include "editor/rules/FieldSetters.h"

#include "editor/VersionGate.h"
#include "editor/rules/InputsRules.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

namespace plendoro {

namespace {

constexpr int kFullScale = 1023; // ADC reading of full scale
constexpr int kAnalogInputs = 2;

// Full scale in volts: input 1 measures up to 10 V, input 2 up to 24 V.
int FullScaleVolts(int input)
{
    return input == 1 ? 10 : 24;
}

bool IsAnalogInput(int input)
{
    return input >= 1 && input <= kAnalogInputs;
}

int OtherInput(int input)
{
    return 3 - input;
}

// The analog input of a family handler's sender: the digit after "AIn",
// whether the name starts "AIn", "cbAIn" or "edAIn".
int InputOf(const QObject* sender)
{
    if (!sender)
        return 0;
    // Typing into the threshold reaches us from the spin field's own editor.
    if (qobject_cast<const QLineEdit*>(sender) && qobject_cast<const QAbstractSpinBox*>(sender->parent()))
        sender = sender->parent();
    const int position = sender->objectName().startsWith(QLatin1String("AIn")) ? 3 : 5;
    const int input = DigitAt(sender, position);
    return IsAnalogInput(input) ? input : 0;
}

// The version gate's disabling or enabling walk, over one group only.
void GateGroup(QWidget* group, bool enabling, int firmwareVersion)
{
    if (!group)
        return;
    for (QWidget* w : group->findChildren<QWidget*>()) {
        const int min = MinimumVersionOf(w);
        if (min < 0)
            continue;
        if (!enabling)
            w->setEnabled(false);
        else if (min <= firmwareVersion)
            w->setEnabled(true);
    }
}

// Clears a transfer-page box and its inputs-page mirror. The mirror follows
// through the inputs rules already; doing it here too keeps the stored copy
// clear even where those rules are absent.
void Clear(QAbstractButton* box, QAbstractButton* mirror)
{
    if (box) {
        box->setEnabled(false);
        box->setChecked(false);
    }
    if (mirror && mirror->isChecked()) {
        const QSignalBlocker quiet(mirror);
        mirror->setChecked(false);
    }
}

} // namespace

AnalogRules::AnalogRules(SettingsEditor& editor)
    : QObject(&editor),
      editor_(editor),
      slot_(editor, &SettingsEditor::analog, this)
{
    setObjectName(QStringLiteral("AnalogRules"));

    for (int k = 1; k <= kAnalogInputs; ++k) {
        if (auto* box = editor.FieldAs<QAbstractButton>("cbAIn", k, "AsDigital"))
            connect(box, &QAbstractButton::toggled, this, &AnalogRules::cbAIn1AsDigitalClick);
        if (auto* box = editor.FieldAs<QAbstractButton>("cbAIn", k, "Adaptive"))
            connect(box, &QAbstractButton::toggled, this, &AnalogRules::cbAIn1AdaptiveClick);
        if (auto* spin = editor.FieldAs<QSpinBox>("edAIn", k, "DigLevel")) {
            // The spin field signals its own text only when its value changes;
            // a typed value it cannot take yet is seen in its editor alone.
            connect(spin, &QSpinBox::textChanged, this, &AnalogRules::edAIn1DigLevelChange);
            if (auto* edit = spin->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
                connect(edit, &QLineEdit::textChanged, this, &AnalogRules::edAIn1DigLevelChange);
        }
        if (auto* bar = editor.FieldAs<QSlider>("AIn", k, "Bar"))
            connect(bar, &QSlider::valueChanged, this, &AnalogRules::AIn1BarChange);
        if (auto* method = editor.FieldAs<QComboBox>("cbAIn", k, "AdMethod"))
            connect(method, &QComboBox::activated, this, &AnalogRules::cbAIn1AdMethodChange);
        if (auto* level = editor.FieldAs<QLineEdit>("edAIn", k, "AdLevel"))
            connect(level, &QLineEdit::textChanged, this, &AnalogRules::edAIn1AdLevelChange);
    }
    if (auto* button = editor.FieldAs<QAbstractButton>(QStringLiteral("btnAInAsDefault")))
        connect(button, &QAbstractButton::clicked, this, &AnalogRules::btnAInAsDefaultClick);
}

QString AnalogRules::VoltageText(int input, int reading)
{
    const double volts = reading * static_cast<double>(FullScaleVolts(input)) / kFullScale;
    return QString::asprintf("%.1f", volts) + QStringLiteral(" Вольт");
}

// ---- handlers ---------------------------------------------------------------

void AnalogRules::cbAIn1AsDigitalClick()
{
    AsDigitalRule(InputOf(sender()));
}
void AnalogRules::cbAIn1AdaptiveClick()
{
    AdaptiveRule(InputOf(sender()));
}
void AnalogRules::edAIn1DigLevelChange()
{
    ThresholdDisplay(InputOf(sender()));
}
void AnalogRules::AIn1BarChange()
{
    BarChange(InputOf(sender()));
}
void AnalogRules::cbAIn1AdMethodChange()
{
    MethodCoupling(InputOf(sender()));
}
void AnalogRules::edAIn1AdLevelChange()
{
    ThresholdCoupling(InputOf(sender()));
}
void AnalogRules::btnAInAsDefaultClick()
{
    AnalogDefaults();
}

// ---- rules ------------------------------------------------------------------

void AnalogRules::AsDigitalRule(int k)
{
    if (!IsAnalogInput(k))
        return;
    auto* box = editor_.FieldAs<QAbstractButton>("cbAIn", k, "AsDigital");
    if (!box)
        return;
    const bool digital = box->isChecked();
    for (int part = 1; part <= 4; ++part)
        Enable(editor_.Field(QStringLiteral("lblAIn%1DigLevel%2").arg(k).arg(part)), digital);
    Enable(editor_.Field("edAIn", k, "DigLevel"), digital);
    Enable(editor_.Field("AIn", k, "Bar"), digital);

    const int d = DigitalInputOf(k);
    const int firmware = editor_.FirmwareVersion();
    QWidget* group = editor_.Field("gbIn", d);
    auto* sendEvt = editor_.FieldAs<QAbstractButton>("cbSendEvtIn", d);
    if (!digital) {
        GateGroup(group, false, firmware);
        Clear(sendEvt, editor_.FieldAs<QAbstractButton>("cbIn", d, "Send"));
        Clear(editor_.FieldAs<QAbstractButton>("cbSendEvtContIn", d),
              editor_.FieldAs<QAbstractButton>("cbIn", d, "Cont"));
        Enable(editor_.Field("cbSendEvtLvlIn", d), false);
        Enable(editor_.Field("edSendEvtLenIn", d), false);
        return;
    }
    GateGroup(group, true, firmware);
    if (firmware < 300 || !sendEvt)
        return;
    sendEvt->setEnabled(true);
    ApplySendingEnables(editor_, d, sendEvt->isChecked());
}

void AnalogRules::AdaptiveRule(int k)
{
    auto* box = IsAnalogInput(k) ? editor_.FieldAs<QAbstractButton>("cbAIn", k, "Adaptive") : nullptr;
    if (!box)
        return;
    const bool adaptive = box->isChecked();
    Enable(editor_.Field("lblAIn", k, "AdLevel"), adaptive);
    Enable(editor_.Field("edAIn", k, "AdLevel"), adaptive);
    Enable(editor_.Field("lblAIn", k, "AdMethod"), adaptive);
    Enable(editor_.Field("cbAIn", k, "AdMethod"), adaptive);
}

void AnalogRules::ThresholdDisplay(int k)
{
    auto* spin = IsAnalogInput(k) ? editor_.FieldAs<QSpinBox>("edAIn", k, "DigLevel") : nullptr;
    if (!spin)
        return;
    bool typed = false;
    const qlonglong text = spin->cleanText().toLongLong(&typed);
    // A field emptied for typing keeps showing the last value it held.
    const qlonglong reading = typed ? text : spin->value();
    const int value = static_cast<int>(std::clamp<qlonglong>(reading, spin->minimum(), spin->maximum()));
    if (auto* bar = editor_.FieldAs<QSlider>("AIn", k, "Bar"))
        bar->setValue(value); // through the slider's rule the spin field takes it too
    // The slider may already stand there, and then nothing moved the field.
    if (typed && text != value)
        spin->setValue(value);
    if (auto* volts = editor_.FieldAs<QLabel>(QStringLiteral("lblAIn%1DigLevel2").arg(k)))
        volts->setText(VoltageText(k, value));
}

void AnalogRules::BarChange(int k)
{
    auto* spin = IsAnalogInput(k) ? editor_.FieldAs<QSpinBox>("edAIn", k, "DigLevel") : nullptr;
    auto* bar = IsAnalogInput(k) ? editor_.FieldAs<QSlider>("AIn", k, "Bar") : nullptr;
    if (!spin || !bar)
        return;
    spin->setValue(bar->value());
    // A spin field already at its bound does not change, so nothing else
    // would pull the slider back from beyond it.
    if (bar->value() != spin->value())
        bar->setValue(spin->value());
}

void AnalogRules::MethodCoupling(int k)
{
    if (!IsAnalogInput(k) || editor_.FirmwareVersion() >= 200)
        return;
    auto* from = editor_.FieldAs<QComboBox>("cbAIn", k, "AdMethod");
    auto* to = editor_.FieldAs<QComboBox>("cbAIn", OtherInput(k), "AdMethod");
    if (!from || !to)
        return;
    const QSignalBlocker quiet(to);
    to->setCurrentIndex(from->currentIndex());
}

void AnalogRules::ThresholdCoupling(int k)
{
    if (!IsAnalogInput(k) || editor_.FirmwareVersion() >= 200)
        return;
    auto* from = editor_.FieldAs<QLineEdit>("edAIn", k, "AdLevel");
    auto* to = editor_.FieldAs<QLineEdit>("edAIn", OtherInput(k), "AdLevel");
    // The copy changes the other text, whose rule then finds both equal.
    if (from && to && to->text() != from->text())
        to->setText(from->text());
}

void AnalogRules::AnalogDefaults()
{
    for (int k = 1; k <= kAnalogInputs; ++k) {
        auto* box = editor_.FieldAs<QAbstractButton>("cbAIn", k, "AsDigital");
        if (box && box->isChecked())
            box->setChecked(false); // its rule runs through the click
        else
            AsDigitalRule(k);
    }
    if (auto* spin = editor_.FieldAs<QSpinBox>("edAIn", 1, "DigLevel"))
        spin->setValue(732);
    if (auto* spin = editor_.FieldAs<QSpinBox>("edAIn", 2, "DigLevel"))
        spin->setValue(257);
    for (int k = 1; k <= kAnalogInputs; ++k)
        if (auto* box = editor_.FieldAs<QAbstractButton>("cbAIn", k, "Adaptive"))
            box->setChecked(false);
    for (int k = 1; k <= kAnalogInputs; ++k) {
        if (auto* level = editor_.FieldAs<QLineEdit>("edAIn", k, "AdLevel"))
            level->setText(QStringLiteral("1023"));
        if (auto* period = editor_.FieldAs<QLineEdit>("edAIn", k, "AverPeriod"))
            period->setText(QStringLiteral("16"));
    }
    for (int k = 1; k <= kAnalogInputs; ++k)
        if (auto* method = editor_.FieldAs<QComboBox>("cbAIn", k, "AdMethod"))
            method->setCurrentIndex(0);
    if (auto* period = editor_.FieldAs<QLineEdit>(QStringLiteral("edAInWritePeriod")))
        period->setText(QStringLiteral("3600"));
    editor_.RefreshRules();
}

} // namespace plendoro
