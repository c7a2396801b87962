#include "editor/rules/Rs485Rules.h"

#include "editor/FieldLookup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace plendoro {

namespace {

// "cbLLSAddr3": the sensor digit is the tenth character.
constexpr int kSensorDigitPosition = 9;

bool AnyChecked(QAbstractButton* const* boxes, int count)
{
    for (int i = 0; i < count; ++i)
        if (boxes[i] && boxes[i]->isChecked())
            return true;
    return false;
}

} // namespace

Rs485Rules::Rs485Rules(SettingsEditor& editor)
    : QObject(&editor),
      editor_(editor),
      slot_(editor, &SettingsEditor::rs485, this)
{
    setObjectName(QStringLiteral("Rs485Rules"));

    for (int n = 1; n <= kFuelSensors; ++n) {
        cbLLSAddr_[n - 1] = editor.FieldAs<QAbstractButton>("cbLLSAddr", n);
        edLLSAddr_[n - 1] = editor.FieldAs<QLineEdit>("edLLSAddr", n);
    }
    edLLSWritePeriod14_ = editor.FieldAs<QLineEdit>(QStringLiteral("edLLSWritePeriod14"));
    edLLSWritePeriod58_ = editor.FieldAs<QLineEdit>(QStringLiteral("edLLSWritePeriod58"));
    cbRS485Speed_ = editor.FieldAs<QComboBox>(QStringLiteral("cbRS485Speed"));
    cbRS485EnableGlonass_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbRS485EnableGlonass"));
    GlonassMode_ = editor.FieldAs<QGroupBox>(QStringLiteral("GlonassMode"));

    // A box's rule runs for the user's click and for every change made by
    // code, as the decoder and the defaults rely on.
    for (QAbstractButton* box : cbLLSAddr_)
        if (box)
            connect(box, &QAbstractButton::toggled, this, [this, box] { cbLLSAddr1Click(box); });
    if (cbRS485EnableGlonass_)
        connect(cbRS485EnableGlonass_, &QAbstractButton::toggled, this, &Rs485Rules::cbRS485EnableGlonassClick);
    if (auto* b = editor.FieldAs<QAbstractButton>(QStringLiteral("btnRS485AsDefault")))
        connect(b, &QAbstractButton::clicked, this, &Rs485Rules::btnRS485AsDefaultClick);
}

void Rs485Rules::FuelSensorRule(int sensor)
{
    if (sensor < 1 || sensor > kFuelSensors)
        return;
    cbLLSAddr1Click(cbLLSAddr_[sensor - 1]);
}

void Rs485Rules::cbLLSAddr1Click(QObject* sender)
{
    auto* box = qobject_cast<QAbstractButton*>(sender);
    const int n = DigitAt(sender, kSensorDigitPosition);
    if (!box || n < 1 || n > kFuelSensors)
        return;
    // The address field sits beside its box; a box without one still
    // settles the period fields.
    if (QWidget* address = FindFieldByName(QStringLiteral("edLLSAddr%1").arg(n), box->parentWidget()))
        address->setEnabled(box->isChecked());
    if (edLLSWritePeriod14_)
        edLLSWritePeriod14_->setEnabled(AnyChecked(cbLLSAddr_, 4));
    if (edLLSWritePeriod58_)
        edLLSWritePeriod58_->setEnabled(AnyChecked(cbLLSAddr_ + 4, 4));
}

void Rs485Rules::cbRS485EnableGlonassClick()
{
    // Only the group's availability follows the box; its chosen mode stays.
    if (GlonassMode_ && cbRS485EnableGlonass_)
        GlonassMode_->setEnabled(cbRS485EnableGlonass_->isChecked());
}

void Rs485Rules::btnRS485AsDefaultClick()
{
    for (QLineEdit* address : edLLSAddr_)
        if (address)
            address->setText(QStringLiteral("0"));
    // Each sensor's rule runs once: through the box's change, or by hand
    // when the box was already off, so every field ends disabled whatever
    // state it was left in.
    for (int n = 1; n <= kFuelSensors; ++n) {
        QAbstractButton* box = cbLLSAddr_[n - 1];
        if (box && box->isChecked())
            box->setChecked(false);
        else
            FuelSensorRule(n);
    }
    for (QLineEdit* period : {edLLSWritePeriod14_, edLLSWritePeriod58_})
        if (period)
            period->setText(QStringLiteral("0"));

    if (cbRS485EnableGlonass_)
        cbRS485EnableGlonass_->setChecked(false);
    if (cbRS485Speed_)
        cbRS485Speed_->setCurrentIndex(cbRS485Speed_->findText(QStringLiteral("19200")));
    if (GlonassMode_) {
        const auto modes = GlonassMode_->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
        if (!modes.isEmpty())
            modes.first()->setChecked(true);
        GlonassMode_->setEnabled(false);
    }
    // No RefreshRules here: the general defaults press this button and
    // refresh once afterwards.
}

} // namespace plendoro
