#include "services/CalForm.h"

#include "editor/Dialogs.h"
#include "link/UsbLink.h"
#include "services/DeviceGate.h"
#include "services/DeviceWorker.h"
#include "services/core/Calibration.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace plendoro {

TCalForm::TCalForm(UsbLink& link, DeviceWorker& worker, DialogService& dialogs, Clock& clock, QWidget* parent)
    : QDialog(parent),
      link_(link),
      worker_(worker),
      dialogs_(dialogs),
      clock_(clock)
{
    setObjectName(QStringLiteral("CalForm"));
    setWindowTitle(QStringLiteral("Калибровка акселерометра"));
    setAccessibleName(windowTitle());
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Разместите прибор на плоской горизонтальной поверхности. Нажмите "
                                       "\"Калибровать\" и дождитесь окончания калибровки."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label2 = new QLabel(QStringLiteral("Не двигайте прибор во время калибровки"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setStyleSheet(QStringLiteral("color: red;"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    // No fixed name: a screen reader reads the outcome itself.
    btnCalibrate = new QPushButton(QStringLiteral("Калибровать"), this);
    btnCalibrate->setObjectName(QStringLiteral("btnCalibrate"));
    for (QLabel* l : {Label1, Label2})
        l->setAccessibleName(l->text());
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(lblStatus);
    layout->addWidget(btnCalibrate, 0, Qt::AlignHCenter);
    setMinimumWidth(420);

    pollTimer_.setSingleShot(true);
    connect(&pollTimer_, &QTimer::timeout, this, &TCalForm::Poll);
    connect(btnCalibrate, &QPushButton::clicked, this, &TCalForm::btnCalibrateClick);
}

void TCalForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TCalForm::FormShow()
{
    lblStatus->clear();
    btnCalibrate->setText(QStringLiteral("Калибровать"));
    btnCalibrate->setAccessibleName(btnCalibrate->text());
    armed_ = true;
}

void TCalForm::SetBusy(bool busy)
{
    if (busy_ == busy)
        return;
    busy_ = busy;
    if (!busy && gate_)
        gate_->End(ticket_);
    emit BusyChanged(busy);
}

void TCalForm::btnCalibrateClick()
{
    if (!armed_) {
        close();
        return;
    }
    if (busy_)
        return;
    if (gate_) {
        ticket_ = gate_->Begin(DeviceCommand::Calibrate);
        if (ticket_ == CommandGate::kRefused)
            return;
    } else if (worker_.Running()) {
        return;
    }
    SetBusy(true);
    cancelled_ = false;
    auto opened = std::make_shared<bool>(false);
    auto started = std::make_shared<bool>(false);
    UsbLink* link = &link_;
    RunWhenFree(
        [link, opened, started] {
            *opened = link->Open();
            if (*opened)
                *started = StartCalibration(*link);
        },
        [this, opened, started] {
            if (!*opened) {
                dialogs_.Message(this, QStringLiteral("Plendoro"), QStringLiteral("Устройство не подключено."),
                                 DialogService::Icon::Error);
                SetBusy(false);
                return;
            }
            if (!*started || cancelled_) {
                // Nothing to show: the dialog stays armed for another try.
                CloseDevice();
                return;
            }
            btnCalibrate->setEnabled(false);
            lblStatus->setText(QStringLiteral("Подождите..."));
            polling_ = true;
            startTick_ = clock_.TickMs();
            sincePollBegan_.start();
            SchedulePoll();
        });
}

// The next poll begins once more than 200 ms have passed since the previous
// one began (or since the calibration started).
void TCalForm::SchedulePoll()
{
    const qint64 waited = sincePollBegan_.elapsed();
    pollTimer_.start(static_cast<int>(std::max<qint64>(kPollIntervalMs + 1 - waited, 0)));
}

void TCalForm::Poll()
{
    if (cancelled_)
        return;
    if (clock_.TickMs() - startTick_ > kPollBoundMs) {
        Finish(QStringLiteral("Калибровка завершена с ошибкой"));
        return;
    }
    sincePollBegan_.start();
    auto state = std::make_shared<CalibrationState>(CalibrationState::Failed);
    UsbLink* link = &link_;
    RunWhenFree([link, state] { *state = PollCalibration(*link); },
                [this, state] {
                    if (cancelled_) {
                        CloseDevice();
                        return;
                    }
                    switch (*state) {
                    case CalibrationState::Failed: Finish(QStringLiteral("Калибровка завершена с ошибкой")); return;
                    case CalibrationState::Done: Finish(QStringLiteral("Калибровка успешно завершена")); return;
                    case CalibrationState::Busy: SchedulePoll(); return;
                    }
                });
}

void TCalForm::Finish(const QString& outcome)
{
    polling_ = false;
    lblStatus->setText(outcome);
    btnCalibrate->setEnabled(true);
    btnCalibrate->setText(QStringLiteral("Закрыть"));
    btnCalibrate->setAccessibleName(btnCalibrate->text());
    armed_ = false;
    CloseDevice();
}

void TCalForm::CloseDevice()
{
    polling_ = false;
    UsbLink* link = &link_;
    RunWhenFree([link] { link->Close(); }, [this] { SetBusy(false); });
}

void TCalForm::RunWhenFree(std::function<void()> job, std::function<void()> done)
{
    if (worker_.Run(job, done))
        return;
    // Only an exchange of this calibration can hold the worker: it ends soon.
    QObject* once = new QObject(this);
    connect(&worker_, &DeviceWorker::JobEnded, once, [this, once, job = std::move(job), done = std::move(done)] {
        once->deleteLater();
        RunWhenFree(job, done);
    });
}

void TCalForm::reject()
{
    if (busy_ && !cancelled_) {
        // From "Калибровать" on: the start exchange or a poll on its way
        // closes the device when it returns; a poll not yet begun never is.
        cancelled_ = true;
        polling_ = false;
        btnCalibrate->setEnabled(true);
        if (pollTimer_.isActive()) {
            pollTimer_.stop();
            CloseDevice();
        }
    }
    QDialog::reject();
}

} // namespace plendoro
