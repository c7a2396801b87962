#include "services/OneWireCommands.h"

#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "link/UsbLink.h"
#include "services/DeviceGate.h"
#include "services/DeviceWorker.h"
#include "services/OneWireSearchForm.h"
#include "services/core/OneWireSearch.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabWidget>

#include <memory>

namespace plendoro {

namespace {
constexpr int kSlots = 8;
} // namespace

OneWireCommands::OneWireCommands(SettingsEditor& editor, UsbLink& link, DeviceWorker& worker, DeviceGate& gate,
                                 QObject* parent)
    : QObject(parent),
      editor_(editor),
      link_(link),
      worker_(worker),
      gate_(gate)
{
    setObjectName(QStringLiteral("OneWireCommands"));
    if (auto* b = editor.FieldAs<QAbstractButton>(QStringLiteral("btnIbGetAddr")))
        connect(b, &QAbstractButton::clicked, this, &OneWireCommands::btnIbGetAddrClick);
    for (int n = 1; n <= kSlots; ++n)
        if (auto* b = editor.FieldAs<QAbstractButton>("btnItempAddr", n))
            connect(b, &QAbstractButton::clicked, this, [this, b] { btnItempAddr1Click(b); });
    if (auto* b = editor.FieldAs<QAbstractButton>(QStringLiteral("btnItSearchTemp")))
        connect(b, &QAbstractButton::clicked, this, &OneWireCommands::btnItSearchTempClick);
    // "Добавить" with an empty key field reads a key first.
    if (editor.oneWire)
        editor.oneWire->SetKeyReader([this] { btnIbGetAddrClick(); });
}

void OneWireCommands::SetSearchDialog(TOWSearchForm* dialog)
{
    dialog_ = dialog;
    if (!dialog)
        return;
    connect(dialog, &TOWSearchForm::BusyChanged, this, [this](bool busy) {
        const bool before = Busy();
        dialogBusy_ = busy;
        if (!busy)
            EndDialogCommand();
        if (Busy() != before)
            emit BusyChanged(Busy());
    });
}

void OneWireCommands::EndDialogCommand()
{
    gate_.End(dialogTicket_);
}

bool OneWireCommands::SearchOne(int family, OneWireAddress& found)
{
    if (!dialog_ || Busy())
        return false;
    // The dialog is a device command: it opens only when the tracker is free.
    dialogTicket_ = gate_.Begin(DeviceCommand::OneWireDialog);
    if (dialogTicket_ == CommandGate::kRefused)
        return false;
    dialog_->SearchFamily = family;
    // Modal: the window keeps drawing while the worker searches.
    dialog_->exec();
    // An exchange still on its way ends the command when it returns.
    if (!dialog_ || !dialog_->Busy())
        EndDialogCommand();
    if (!dialog_ || dialog_->Cancelled)
        return false;
    found = dialog_->FoundAddress;
    return true;
}

void OneWireCommands::btnIbGetAddrClick()
{
    OneWireAddress found{};
    if (SearchOne(kIButtonFamily, found) && editor_.oneWire)
        editor_.oneWire->PutKeyAddress(found);
}

void OneWireCommands::btnItempAddr1Click(QObject* sender)
{
    const int slot = SlotOf(sender);
    if (slot < 1 || slot > kSlots)
        return;
    OneWireAddress found{};
    if (SearchOne(kTemperatureFamily, found) && editor_.oneWire)
        editor_.oneWire->PutSensorAddress(slot, found);
}

void OneWireCommands::btnItSearchTempClick()
{
    if (Busy())
        return;
    bool anyText = false;
    for (int n = 1; n <= kSlots; ++n)
        if (auto* e = editor_.FieldAs<QLineEdit>("edItempAddr", n))
            anyText = anyText || !e->text().isEmpty();
    if (anyText && !editor_.Dialogs().Ask(editor_.Pages(), kAppCaption,
                                          QStringLiteral("Поиск удалит все адреса датчиков. Продолжить?"),
                                          DialogService::Icon::Warning))
        return;
    // Asked after "Да" and before anything is cleared: a refused search keeps
    // the addresses.
    lineTicket_ = gate_.Begin(DeviceCommand::OneWireLine);
    if (lineTicket_ == CommandGate::kRefused)
        return;
    auto result = std::make_shared<OneWireSearchResult>(OneWireSearchResult::OpenFailed);
    auto found = std::make_shared<std::vector<OneWireAddress>>();
    UsbLink* link = &link_;
    if (!worker_.Run([link, result, found] { TItTempSearch(*link, *result, *found); },
                     [this, result, found] { ItTempSearchDone(static_cast<int>(*result), *found); })) {
        gate_.End(lineTicket_);
        return;
    }
    if (editor_.oneWire)
        editor_.oneWire->ClearSensorSlots();
    SetLineSearch(true);
}

void OneWireCommands::TItTempSearch(UsbLink& link, OneWireSearchResult& result, std::vector<OneWireAddress>& found)
{
    if (!link.Open())
        return;
    result = SearchOneWire(link, kAllFamilies, found);
    link.Close();
}

void OneWireCommands::ItTempSearchDone(int result, const std::vector<OneWireAddress>& found)
{
    if (result == static_cast<int>(OneWireSearchResult::OpenFailed))
        editor_.Dialogs().Message(editor_.Pages(), kAppCaption, QStringLiteral("Ошибка при открытии устройства"),
                                  DialogService::Icon::Error);
    else if (result == static_cast<int>(OneWireSearchResult::NoReply))
        editor_.Dialogs().Message(editor_.Pages(), kAppCaption, QStringLiteral("Устройство не отвечает"),
                                  DialogService::Icon::Error);
    else if (editor_.oneWire)
        editor_.oneWire->FillSensorSlots(found);
    // The buttons come back as the presence display and the page's rules
    // (the slots just ticked) open them.
    SetLineSearch(false);
    gate_.End(lineTicket_);
}

void OneWireCommands::SetLineSearch(bool on)
{
    const bool before = Busy();
    lineSearch_ = on;
    if (Busy() != before)
        emit BusyChanged(Busy());
}

} // namespace plendoro
