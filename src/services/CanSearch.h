#pragma once
// The CAN bus search: the tracker listens to the vehicle's bus while the
// window asks it once a second for every identifier heard so far; new ones
// become entries of the found list. The search always runs its full length.
#include "common/Clock.h"
#include "editor/Editor.h"
#include "editor/StatusSink.h"
#include "link/UsbLink.h"
#include "services/core/CommandGate.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace plendoro {

class DeviceGate;
class DeviceWorker;

class CanSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 1000;
    static constexpr int kDefaultDurationSeconds = 30;

    // The found list and its page are reached through editor.can. With a
    // worker every exchange runs there and the search goes on when it
    // answers; without one the exchanges run in place.
    CanSearch(SettingsEditor& editor, UsbLink& link, StatusSink showStatus, Clock& clock = SystemClock::Instance(),
              QObject* parent = nullptr);
    void SetWorker(DeviceWorker* worker) { worker_ = worker; }
    // With a gate the search is a device command: refused while another
    // holds the tracker, and holding it until the stop was answered.
    void SetGate(DeviceGate* gate) { gate_ = gate; }

    // "Поиск": the clear question, then the start exchange and the polls.
    void btnCANSearchClick();
    // One poll; run by the timer.
    void CANSearchTimerTimer();

    QTimer& CANSearchTimer() { return timer_; }
    // From an accepted start to the tick that ends the search.
    bool Searching() const { return searching_; }
    // From the click to the answer of the stop exchange (or a failed start).
    bool Busy() const { return busy_; }

signals:
    // The search holds the device from the click to its end; the window
    // closes its other device commands meanwhile.
    void BusyChanged(bool busy);

private:
    enum class Exchange { Replied, OpenFailed };
    using ReplyFn = std::function<void(Exchange, const std::string&)>;
    // Opens the device, sends the command, collects the reply and closes the
    // device again.
    Exchange Send(std::string_view command, std::size_t capacity, unsigned timeoutMs, std::string& reply);
    // Send on the worker (or in place), then `then` on the window's thread.
    void Request(std::string_view command, std::size_t capacity, unsigned timeoutMs, ReplyFn then);
    // The start exchange and, once accepted, the polls.
    void StartCanSearch();
    bool StartAccepted(Exchange e, const std::string& reply);
    void TakePoll(Exchange e, const std::string& reply);
    void StopCanSearch();
    void SetBusy(bool busy);
    void Enable(const char* name, bool on);
    void ShowStatus(const QString& text, bool error);

    SettingsEditor& editor_;
    UsbLink& link_;
    StatusSink showStatus_;
    Clock& clock_;
    DeviceWorker* worker_ = nullptr;
    DeviceGate* gate_ = nullptr;
    CommandGate::Ticket ticket_ = CommandGate::kRefused;
    QTimer timer_;
    std::uint32_t startTick_ = 0;
    bool searching_ = false;
    bool busy_ = false;
};

} // namespace plendoro
