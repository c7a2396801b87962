#pragma once
// The CAN bus search: the tracker listens to the vehicle's bus while the
// window asks it once a second for every identifier heard so far; new ones
// become entries of the found list. The search always runs its full length.
#include "common/Clock.h"
#include "editor/StatusSink.h"
#include "editor/Editor.h"
#include "link/UsbLink.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace plendoro {

class CanSearch : public QObject {
    Q_OBJECT
public:

    static constexpr int kPollIntervalMs = 1000;
    static constexpr int kDefaultDurationSeconds = 30;

    // The found list and its page are reached through editor.can.
    CanSearch(SettingsEditor& editor, UsbLink& link, StatusSink showStatus, Clock& clock = SystemClock::Instance(),
              QObject* parent = nullptr);

    // "Поиск": the clear question, then the start exchange and the polls.
    void btnCANSearchClick();
    // The start and stop exchanges; true on the expected reply.
    bool StartCanSearch();
    bool StopCanSearch();
    // One poll; run by the timer.
    void CANSearchTimerTimer();

    QTimer& CANSearchTimer() { return timer_; }

signals:
    // The window's read and write commands are closed while the search runs.
    void SettingsCommandsEnabled(bool enabled);

public:
    // From an accepted start to the tick that ends the search.
    bool Searching() const { return searching_; }

private:
    enum class Exchange { Replied, OpenFailed };
    // Opens the device, sends the command, collects the reply and closes the
    // device again.
    Exchange Send(std::string_view command, std::size_t capacity, unsigned timeoutMs, std::string& reply);
    void Enable(const char* name, bool on);
    void ShowStatus(const QString& text, bool error);

    SettingsEditor& editor_;
    UsbLink& link_;
    StatusSink showStatus_;
    Clock& clock_;
    QTimer timer_;
    std::uint32_t startTick_ = 0;
    bool searching_ = false;
};

} // namespace plendoro
