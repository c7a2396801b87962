#pragma once
// The 1-Wire page's device commands: reading one key or one sensor through
// the search dialog, and searching the whole line into the sensor slots.
// Every exchange runs on the device worker.
#include "model/OneWireAddress.h"
#include "services/core/CommandGate.h"
#include "services/core/OneWireSearch.h"

#include <QObject>
#include <QPointer>

#include <vector>

namespace plendoro {

class DeviceGate;
class DeviceWorker;
class SettingsEditor;
class TOWSearchForm;
class UsbLink;

class OneWireCommands final : public QObject {
    Q_OBJECT
public:
    OneWireCommands(SettingsEditor& editor, UsbLink& link, DeviceWorker& worker, DeviceGate& gate,
                    QObject* parent = nullptr);

    // The dialog made at start-up; without one the single reads do nothing.
    void SetSearchDialog(TOWSearchForm* dialog);

    // "Считать" of the key group: the found key goes into edIbAddr.
    void btnIbGetAddrClick();
    // "Считать" of sensor slot N (the digit of the sender's name).
    void btnItempAddr1Click(QObject* sender);
    // "Поиск датчиков температуры": every device of the line into the slots.
    void btnItSearchTempClick();
    // From the start of a search (the dialog's or the whole line's) to its
    // last exchange's end.
    bool Busy() const { return dialogBusy_ || lineSearch_; }

signals:
    void BusyChanged(bool busy);

private:
    // Shows the dialog for the family; false when it was cancelled or the
    // tracker is busy with another command.
    bool SearchOne(int family, OneWireAddress& found);
    // The line search's job on the worker, in place of its thread.
    static void TItTempSearch(UsbLink& link, OneWireSearchResult& result, std::vector<OneWireAddress>& found);
    void ItTempSearchDone(int result, const std::vector<OneWireAddress>& found);
    void SetLineSearch(bool on);
    void EndDialogCommand();

    SettingsEditor& editor_;
    UsbLink& link_;
    DeviceWorker& worker_;
    DeviceGate& gate_;
    // The dialog holds the gate from its opening to the end of its last
    // exchange; the line search from "Да" to its end.
    CommandGate::Ticket dialogTicket_ = CommandGate::kRefused;
    CommandGate::Ticket lineTicket_ = CommandGate::kRefused;
    QPointer<TOWSearchForm> dialog_;
    bool dialogBusy_ = false;
    bool lineSearch_ = false;
};

} // namespace plendoro
