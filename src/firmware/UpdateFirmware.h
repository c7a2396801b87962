#pragma once
// The firmware group "Прошивка": the update check and download on a network
// thread of their own (they never hold the device worker), the newest
// firmware on disk and the start of the loader that flashes it.
#include "app/core/AppSettings.h"
#include "firmware/core/FirmwareFile.h"
#include "firmware/core/ServerLookup.h"
#include "firmware/core/UpdateClient.h"
#include "link/Identification.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <chrono>
#include <functional>
#include <mutex>

namespace plendoro {

class DialogService;
class SettingsEditor;

// One check or download: created per operation, ends with its thread.
class TUpdateFirmware final : public QThread {
    Q_OBJECT
public:
    UpdateMode Mode = UpdateMode::Check;
    std::string Address;
    std::uint16_t Port = kDefaultUpdatePort;
    std::uint32_t Serial = 0;
    std::string VersionText;
    std::string FirmwarePath; // where a download is saved
    std::chrono::milliseconds WaitBound = kUpdateWaitBound;
    std::chrono::milliseconds OverallBound = kUpdateOverallBound; // before the image's share
    HostResolver Resolver = ResolveIpv4;

    // Ends a wait on the server, or on its name, at once; the thread then
    // ends by itself.
    void Abort();

signals:
    void StatusChanged(const QString& text);
    void ButtonsEnabled();

protected:
    void run() override;

private:
    UpdateClient client_;
    std::mutex lookupMutex_;
    ServerLookup* lookup_ = nullptr; // while the name is being resolved
    bool aborted_ = false;
};

class FirmwareController final : public QObject {
    Q_OBJECT
public:
    // Starts the loader detached; false when it could not be started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    FirmwareController(SettingsEditor& editor, DialogService& dialogs, std::function<DeviceIdentity()> device,
                       QWidget* parent);
    ~FirmwareController() override;

    // The window is shown: the server from the settings, the device code,
    // an empty update status and the firmware on disk.
    void FormShow(const AppSettings& settings);

    void btCheckFWClick();
    void btDownloadFWClick();
    void btUpdateFWClick();
    void UpdateDone();
    // A check or download in progress ends at once (the window is closing).
    void Abort();
    // While a device command runs, the loader (which flashes the tracker)
    // cannot be started; the check and the download stay as they are.
    void SetDeviceBusy(bool busy);
    // Scans the firmware folder and fills lbFWOnDisk and btUpdateFW.
    QString FindNewestFirmware();

    bool Running() const { return running_ != nullptr; }
    const DiskFirmware& Disk() const { return disk_; }
    // Quoted full path of the file the latest scan took; empty when none.
    QString DiskFirmwarePath() const { return QString::fromStdString(disk_.path); }

    // For tests and set-ups: the folder that holds "firmware" (the current
    // directory when empty), the bound of every wait on the server, and how
    // the loader is started.
    void SetBaseFolder(const QString& folder) { baseFolder_ = folder; }
    void SetServer(const std::string& address, std::uint16_t port);
    void SetWaitBound(std::chrono::milliseconds bound) { waitBound_ = bound; }
    void SetOverallBound(std::chrono::milliseconds bound) { overallBound_ = bound; }
    void SetLauncher(Launcher launcher) { launcher_ = std::move(launcher); }
    void SetResolver(HostResolver resolver) { resolver_ = std::move(resolver); }

    static constexpr const char* kLoaderProgram = "Flashporter";

signals:
    // A check or download has begun.
    void UpdateStarted();
    // UpdateDone has run: the way is free for the next operation.
    void UpdateFinished();

private:
    void Start(UpdateMode mode, const std::string& versionText);
    void ShowUpdateStatus(const QString& text);
    void EnableUpdateButtons();
    void SetEnabled(const char* name, bool enabled);
    std::string BaseFolder() const;

    SettingsEditor& editor_;
    DialogService& dialogs_;
    std::function<DeviceIdentity()> device_;
    QWidget* window_;
    std::string address_ = kDefaultUpdateServer;
    std::uint16_t port_ = kDefaultUpdatePort;
    std::chrono::milliseconds waitBound_ = kUpdateWaitBound;
    std::chrono::milliseconds overallBound_ = kUpdateOverallBound;
    QString baseFolder_;
    Launcher launcher_;
    HostResolver resolver_ = ResolveIpv4;
    DiskFirmware disk_;
    bool canFlash_ = false;
    bool deviceBusy_ = false;
    TUpdateFirmware* running_ = nullptr; // RunningUpdate
};

} // namespace plendoro
