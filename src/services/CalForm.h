#pragma once
// "Калибровка акселерометра": asks the tracker to calibrate its
// accelerometer while it lies still, polls it until it is done and says how
// it went. Every exchange runs on the device worker; the device stays open
// from the start command to the end of the polling.
#include "common/Clock.h"
#include "services/core/CommandGate.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace plendoro {

class DeviceGate;
class DeviceWorker;
class DialogService;
class UsbLink;

class TCalForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 200;
    // The whole wait for the device, on the program's clock.
    static constexpr std::uint64_t kPollBoundMs = 60000;

    TCalForm(UsbLink& link, DeviceWorker& worker, DialogService& dialogs, Clock& clock = SystemClock::Instance(),
             QWidget* parent = nullptr);

    // The window's gate: "Калибровать" is then refused while another device
    // command runs, and holds the tracker until the device is closed again.
    void SetGate(DeviceGate* gate) { gate_ = gate; }

    void btnCalibrateClick();
    bool Armed() const { return armed_; }
    // From the click to the device being closed again.
    bool Busy() const { return busy_; }
    bool Polling() const { return polling_; }

signals:
    // The calibration holds the device; the window closes its other device
    // commands meanwhile.
    void BusyChanged(bool busy);

protected:
    void showEvent(QShowEvent* event) override;
    // Esc and the window's close button, at any moment after "Калибровать":
    // the calibration stops before its next exchange and closes the device;
    // no outcome is shown.
    void reject() override;

private:
    void FormShow();
    void SetBusy(bool busy);
    void SchedulePoll();
    void Poll();
    void Finish(const QString& outcome);
    void CloseDevice();
    // Runs the job now, or as soon as the worker has ended the one it runs.
    void RunWhenFree(std::function<void()> job, std::function<void()> done);

    UsbLink& link_;
    DeviceWorker& worker_;
    DeviceGate* gate_ = nullptr;
    CommandGate::Ticket ticket_ = CommandGate::kRefused;
    DialogService& dialogs_;
    Clock& clock_;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* btnCalibrate = nullptr;
    QTimer pollTimer_;
    QElapsedTimer sincePollBegan_;
    std::uint64_t startTick_ = 0;
    bool armed_ = true;
    bool busy_ = false;
    bool polling_ = false;
    bool cancelled_ = false;
};

} // namespace plendoro
