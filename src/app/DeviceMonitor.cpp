#include "app/DeviceMonitor.h"

#include <QSocketNotifier>

#ifdef PLENDORO_HAVE_UDEV
#include <libudev.h>
#endif

namespace plendoro {

DeviceMonitor::DeviceMonitor(QObject* parent) : QObject(parent)
{
#ifdef PLENDORO_HAVE_UDEV
    udev_ = udev_new();
    if (!udev_)
        return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    // The USB device comes first; its /dev/ttyUSB node, with the access
    // rights the rules give it, only a moment later, and the kernel-driver
    // road can open the tracker only from then on.
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", nullptr) < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        if (monitor_)
            udev_monitor_unref(monitor_);
        monitor_ = nullptr;
        return;
    }
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0)
        return;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DeviceMonitor::OnReadable);
#endif
}

DeviceMonitor::~DeviceMonitor()
{
#ifdef PLENDORO_HAVE_UDEV
    delete notifier_;
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
#endif
}

void DeviceMonitor::OnReadable()
{
#ifdef PLENDORO_HAVE_UDEV
    // Every add or remove may mean the tracker; no filtering by device.
    bool any = false;
    while (udev_device* dev = udev_monitor_receive_device(monitor_)) {
        udev_device_unref(dev);
        any = true;
    }
    if (any)
        emit DeviceChanged();
#endif
}

} // namespace plendoro
