#pragma once
#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace plendoro {

// Tells the window when any USB device or terminal node comes or goes. Without udev there
// are simply no notifications.
class DeviceMonitor final : public QObject {
    Q_OBJECT
public:
    explicit DeviceMonitor(QObject* parent = nullptr);
    ~DeviceMonitor() override;
    bool Active() const { return notifier_ != nullptr; }

signals:
    void DeviceChanged();

private:
    void OnReadable();

    struct udev* udev_ = nullptr;
    struct udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace plendoro
