#include "editor/rules/OneWireRules.h"
#include "editor/rules/FieldSetters.h"

#include "editor/Dialogs.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

#include <algorithm>

namespace plendoro {

namespace {

// The text form of an address: 8 bytes as two hexadecimal digits each.
constexpr int kAddressTextLength = 16;

QString TextOf(const OneWireAddress& address)
{
    return QString::fromStdString(AddressToText(address));
}

} // namespace

OneWireRules::OneWireRules(SettingsEditor& editor)
    : QObject(&editor),
      editor_(editor),
      slot_(editor, &SettingsEditor::oneWire, this)
{
    setObjectName(QStringLiteral("OneWireRules"));

    cbIbReadAny_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbIbReadAny"));
    lbIbAddrList_ = editor.FieldAs<QListWidget>(QStringLiteral("lbIbAddrList"));
    edIbAddr_ = editor.FieldAs<QLineEdit>(QStringLiteral("edIbAddr"));
    btnIbGetAddr_ = editor.FieldAs<QAbstractButton>(QStringLiteral("btnIbGetAddr"));
    btnIbAdd_ = editor.FieldAs<QAbstractButton>(QStringLiteral("btnIbAdd"));
    btnIbDel_ = editor.FieldAs<QAbstractButton>(QStringLiteral("btnIbDel"));
    cbIbPulseOut1_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbIbPulseOut1"));
    cbIbPulseOut2_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbIbPulseOut2"));
    cbItempReadAll_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbItempReadAll"));
    for (int n = 1; n <= kSensorSlots; ++n) {
        cbItempAddr_[n - 1] = editor.FieldAs<QAbstractButton>("cbItempAddr", n);
        edItempAddr_[n - 1] = editor.FieldAs<QLineEdit>("edItempAddr", n);
        btnItempAddr_[n - 1] = editor.FieldAs<QAbstractButton>("btnItempAddr", n);
    }
    edItempWritePeriod14_ = editor.FieldAs<QLineEdit>(QStringLiteral("edItempWritePeriod14"));
    edItempWritePeriod58_ = editor.FieldAs<QLineEdit>(QStringLiteral("edItempWritePeriod58"));

    // Box rules run for the user's click and for every change made by code,
    // as the decoder, the defaults and the line search rely on. The pulse
    // boxes carry the key rule too.
    for (QAbstractButton* box : {cbIbReadAny_, cbIbPulseOut1_, cbIbPulseOut2_})
        if (box)
            connect(box, &QAbstractButton::toggled, this, &OneWireRules::cbIbReadAnyClick);
    for (QAbstractButton* box : cbItempAddr_)
        if (box)
            connect(box, &QAbstractButton::toggled, this, [this, box] { cbItempAddr1Click(box); });
    if (cbItempReadAll_)
        connect(cbItempReadAll_, &QAbstractButton::toggled, this, &OneWireRules::cbItempReadAllClick);
    if (btnIbAdd_)
        connect(btnIbAdd_, &QAbstractButton::clicked, this, &OneWireRules::btnIbAddClick);
    if (btnIbDel_)
        connect(btnIbDel_, &QAbstractButton::clicked, this, &OneWireRules::btnIbDelClick);
    if (auto* b = editor.FieldAs<QAbstractButton>(QStringLiteral("btn1wireAsDefault")))
        connect(b, &QAbstractButton::clicked, this, &OneWireRules::btn1wireAsDefaultClick);
}

bool OneWireRules::AnySlotTicked(int first, int last) const
{
    for (int n = first; n <= last; ++n)
        if (cbItempAddr_[n - 1] && cbItempAddr_[n - 1]->isChecked())
            return true;
    return false;
}

void OneWireRules::cbIbReadAnyClick()
{
    if (!cbIbReadAny_)
        return;
    const bool listed = !cbIbReadAny_->isChecked();
    Enable(lbIbAddrList_, listed);
    Enable(edIbAddr_, listed);
    Enable(btnIbAdd_, listed);
    Enable(btnIbDel_, listed);
    Enable(btnIbGetAddr_, listed && DevicePresent());
}

void OneWireRules::SensorSlotRule(int slot)
{
    if (slot < 1 || slot > kSensorSlots)
        return;
    cbItempAddr1Click(cbItempAddr_[slot - 1]);
}

void OneWireRules::cbItempAddr1Click(QObject* sender)
{
    auto* box = qobject_cast<QAbstractButton*>(sender);
    const int n = SlotOf(sender);
    if (!box || n < 1 || n > kSensorSlots)
        return;
    // With one sensor on the line the slots are not in use: a slot ticked or
    // unticked by code meanwhile (the line search does both) must neither
    // open its fields nor close the period the single sensor records with.
    if (cbItempReadAll_ && cbItempReadAll_->isChecked()) {
        cbItempReadAllClick();
        return;
    }
    const bool ticked = box->isChecked();
    Enable(edItempAddr_[n - 1], ticked);
    Enable(btnItempAddr_[n - 1], ticked && DevicePresent());
    Enable(edItempWritePeriod14_, AnySlotTicked(1, 4));
    Enable(edItempWritePeriod58_, AnySlotTicked(5, 8));
}

void OneWireRules::ReadButtonsRule()
{
    const bool present = DevicePresent();
    Enable(btnIbGetAddr_, cbIbReadAny_ && !cbIbReadAny_->isChecked() && present);
    const bool readAll = cbItempReadAll_ && cbItempReadAll_->isChecked();
    for (int i = 0; i < kSensorSlots; ++i)
        Enable(btnItempAddr_[i], !readAll && cbItempAddr_[i] && cbItempAddr_[i]->isChecked() && present);
}

void OneWireRules::cbItempReadAllClick()
{
    if (!cbItempReadAll_)
        return;
    if (cbItempReadAll_->isChecked()) {
        for (int i = 0; i < kSensorSlots; ++i) {
            Enable(cbItempAddr_[i], false);
            Enable(edItempAddr_[i], false);
            Enable(btnItempAddr_[i], false);
        }
        Enable(edItempWritePeriod14_, true);
        Enable(edItempWritePeriod58_, false);
        return;
    }
    const bool present = DevicePresent();
    for (int i = 0; i < kSensorSlots; ++i) {
        const bool ticked = cbItempAddr_[i] && cbItempAddr_[i]->isChecked();
        Enable(cbItempAddr_[i], true);
        Enable(edItempAddr_[i], ticked);
        Enable(btnItempAddr_[i], ticked && present);
    }
    // The single sensor's period must not linger in a field the user can no
    // longer reach.
    const bool period14 = AnySlotTicked(1, 4);
    Enable(edItempWritePeriod14_, period14);
    if (!period14)
        SetText(edItempWritePeriod14_, QStringLiteral("0"));
    Enable(edItempWritePeriod58_, true);
}

void OneWireRules::btnIbAddClick()
{
    if (!edIbAddr_ || !lbIbAddrList_)
        return;
    if (edIbAddr_->text().isEmpty() && DevicePresent() && keyReader_)
        keyReader_();
    // Shorter text (or pasted longer text) is not an address; it is left in
    // the field for the user to finish, without a message.
    const QString key = edIbAddr_->text();
    if (key.size() != kAddressTextLength)
        return;
    // Case counts: a key typed in lower case is another line than the same
    // key read from the line.
    for (int row = 0; row < lbIbAddrList_->count(); ++row) {
        if (lbIbAddrList_->item(row)->text() == key) {
            editor_.Dialogs().Message(editor_.Pages(), kAppCaption, QStringLiteral("Такой датчик уже подключен"),
                                      DialogService::Icon::Warning);
            return;
        }
    }
    lbIbAddrList_->addItem(key);
    edIbAddr_->clear();
}

void OneWireRules::btnIbDelClick()
{
    if (!lbIbAddrList_)
        return;
    const QList<QListWidgetItem*> selected = lbIbAddrList_->selectedItems();
    if (selected.isEmpty())
        return;
    delete lbIbAddrList_->takeItem(lbIbAddrList_->row(selected.first()));
    // The list would otherwise move the selection to the neighbouring key,
    // and a second press would delete a key the user never chose.
    lbIbAddrList_->setCurrentRow(-1);
    lbIbAddrList_->clearSelection();
}

void OneWireRules::btn1wireAsDefaultClick()
{
    // Every rule below runs once: through its box's change, or by hand when
    // the box already had the default, so the fields end in the state the
    // defaults mean whatever state they were left in.
    if (cbIbReadAny_) {
        if (cbIbReadAny_->isChecked())
            cbIbReadAnyClick();
        else
            cbIbReadAny_->setChecked(true);
    }
    if (lbIbAddrList_)
        lbIbAddrList_->clear();
    if (edIbAddr_)
        edIbAddr_->clear();
    if (cbItempReadAll_) {
        if (cbItempReadAll_->isChecked())
            cbItempReadAll_->setChecked(false);
        else
            cbItempReadAllClick();
    }
    for (QAbstractButton* pulse : {cbIbPulseOut1_, cbIbPulseOut2_})
        if (pulse)
            pulse->setChecked(false);
    for (int n = 1; n <= kSensorSlots; ++n) {
        QAbstractButton* box = cbItempAddr_[n - 1];
        if (box && box->isChecked())
            box->setChecked(false);
        else
            SensorSlotRule(n);
    }
    for (QLineEdit* address : edItempAddr_)
        if (address)
            address->clear();
    for (QLineEdit* period : {edItempWritePeriod14_, edItempWritePeriod58_}) {
        Enable(period, false);
        SetText(period, QStringLiteral("0"));
    }
}

void OneWireRules::PutKeyAddress(const OneWireAddress& address)
{
    SetText(edIbAddr_, TextOf(address));
}

bool OneWireRules::PutSensorAddress(int slot, const OneWireAddress& address)
{
    if (slot < 1 || slot > kSensorSlots)
        return false;
    const QString text = TextOf(address);
    const bool shown = std::any_of(std::begin(edItempAddr_), std::end(edItempAddr_),
                                   [&](const QLineEdit* edit) { return edit && edit->text() == text; });
    if (shown) {
        editor_.Dialogs().Message(editor_.Pages(), kAppCaption, QStringLiteral("Такой датчик уже подключен"),
                                  DialogService::Icon::Warning);
        return false;
    }
    SetText(edItempAddr_[slot - 1], text);
    return true;
}

void OneWireRules::ClearSensorSlots()
{
    for (QLineEdit* address : edItempAddr_)
        if (address)
            address->clear();
    for (QAbstractButton* box : cbItempAddr_)
        if (box)
            box->setChecked(false);
}

void OneWireRules::FillSensorSlots(const std::vector<OneWireAddress>& addresses)
{
    const int count = std::min<int>(static_cast<int>(addresses.size()), kSensorSlots);
    for (int i = 0; i < count; ++i) {
        SetText(edItempAddr_[i], TextOf(addresses[static_cast<std::size_t>(i)]));
        if (cbItempAddr_[i])
            cbItempAddr_[i]->setChecked(true);
    }
}

} // namespace plendoro
