#pragma once
// The modal dialog that searches the 1-Wire line for one device of one
// family: it asks the tracker again 500 ms after each answer until exactly
// one device answers, or until the user cancels. Each exchange is a job on
// the device worker; the pause is a timer.
#include "model/OneWireAddress.h"

#include <QDialog>
#include <QString>
#include <QTimer>

class QLabel;
class QPushButton;

namespace plendoro {

class DeviceWorker;
class UsbLink;

class TOWSearchForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRestartMs = 500;

    TOWSearchForm(UsbLink& link, DeviceWorker& worker, QWidget* parent = nullptr);

    // Set before showing: 1 for iButton keys, 40 for temperature sensors.
    int SearchFamily = -1;
    // True when the dialog was left without a device found: "Отменить
    // поиск", Esc or the window's close button.
    bool Cancelled = false;
    OneWireAddress FoundAddress{};

    void btnSearchCancelClick();
    // From the show to the end of the last exchange, which may outlive a
    // cancelled dialog.
    bool Busy() const { return busy_; }
    bool Searching() const { return running_; }
    QString StatusText() const;
    // Every way out but a found device: "Отменить поиск", Esc, the close
    // button.
    void reject() override;

signals:
    void BusyChanged(bool busy);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void StartSearch();
    void SearchDone(int result, const std::vector<OneWireAddress>& found);
    void UpdateBusy();

    UsbLink& link_;
    DeviceWorker& worker_;
    QLabel* lblStatus = nullptr;
    QPushButton* btnSearchCancel = nullptr;
    QTimer restart_;
    QString connectMessage_;
    QString moreThanOneMessage_;
    bool running_ = false;
    bool busy_ = false;
};

} // namespace plendoro
