#pragma once
// The program's one working window: the device's identity, the editor's
// pages, the read and write commands and the status line.
#include "app/About.h"
#include "app/core/AppSettings.h"
#include "app/core/InstallLayout.h"
#include "files/FileCommands.h"
#include "link/Identification.h"
#include "link/UsbLink.h"
#include "services/core/BlockTransfer.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace plendoro {

class DeviceMonitor;
class DialogService;
class SettingsEditor;
class CanSearch;
class DeviceWorker;
class FirmwareController;
class TCalForm;
class TOWSearchForm;
class OneWireCommands;
struct BlockTransfer;

// The status line's text for a tracker that is listed but does not open.
QString OpenFailureText(const OpenFailure& failure);

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        QString programFolder;            // empty: the executable's folder
        UsbLink* link = nullptr;          // null: the window's own
        DialogService* dialogs = nullptr; // null: the desktop's dialogs
        bool watchDevices = true;         // listen to the platform's device changes
        // The service features: the menu "Сервис" with the calibration and
        // the firmware group on the first page.
        bool service = false;
        // Where the settings live; unset: decided from the program folder.
        std::optional<SettingsPlace> settingsPlace;
    };

    explicit TMainForm(QWidget* parent = nullptr);
    explicit TMainForm(const Options& options, QWidget* parent = nullptr);
    ~TMainForm() override;

    void ShowStatus(const QString& text, bool error);
    // Runs the presence check on the device worker. While a device command
    // is busy the check waits, and the notifications that arrive meanwhile
    // are checked once when it has ended.
    void CheckDevicePresence();
    // From the start of a device command (the presence check included) to
    // its end.
    bool DeviceBusy() const { return command_ != Command::None; }
    // Re-runs every editor rule in its fixed order.
    void RefreshRules();
    // While the memory is being cleared, the main pages refuse to change.
    void SetPagesLocked(bool locked);
    SettingsEditor& Editor() { return *editor_; }
    CanSearch& CanBusSearch() { return *canSearch_; }
    DeviceWorker& Worker() { return *worker_; }
    FirmwareController& Firmware() { return *firmware_; }
    // The calibration dialog made at start-up beside the window; the
    // "Калибровка акселерометра" command shows it.
    void AttachCalibrationDialog(TCalForm* dialog);
    void mCalibrateClick();
    // The 1-Wire search dialog made at start-up beside the window.
    void AttachOneWireSearchDialog(TOWSearchForm* dialog);
    OneWireCommands& OneWire() { return *oneWire_; }

    // State shown to tests and to the rest of the window.
    UsbLink& Link() { return *link_; }
    const DeviceIdentity& Identity() const { return identity_; }
    int FirmwareVersion() const { return identity_.firmwareVersion; }
    const QString& ProgramFolder() const { return programFolder_; }
    // The settings file's folder, ending in "/".
    const QString& SettingsFolder() const { return settingsFolder_; }
    const QString& KvdFolder() const { return kvdFolder_; }
    std::uint16_t UpdatePort() const { return settings_.updatePort; }
    int LocalHourOffset() const { return localHourOffset_; }
    QTabWidget* Pages() const { return pages_; }
    QTimer* InitTimer() { return &initTimer_; }
    TAboutForm* About() const { return about_; }

    // Menu and command handlers.
    void btnReadSettingsClick();
    void btnWriteSettingsClick();
    // "Стереть все данные": the question, then the clearing on the worker.
    void btnClearDataClick();
    bool Clearing() const { return clearing_; }
    void mSelectKvdDirClick();
    void mAboutClick();
    void HelpRequested();

    static int ComputeLocalHourOffset();

signals:
    // Every text put into the status line, in order.
    void StatusShown(const QString& text, bool error);
    // A presence check has ended and its display is shown.
    void PresenceChecked();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The device command that holds the worker, if any.
    enum class Command { None, Presence, Read, Write, CanSearch, Clear, Calibrate, OneWire, Update };
    // Which presence display was shown last; the command buttons return to
    // its states when a command ends.
    enum class Display { None, Absent, Present };
    struct PresenceResult;

    void BeginCommand(Command command);
    void EndCommand();
    void RestoreCommandButtons();
    // The device commands on the pages that the command closes while it runs.
    std::vector<QWidget*> PageCommandButtons(Command command) const;
    void ShowProgress(const QString& text, int position, int count);
    TransferHooks ProgressHooks(const QString& blockText);
    void ApplyPresence(const PresenceResult& result);
    void ClearDone(int result);
    void EnterNoDeviceState(bool lost);

    void BuildWindow();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void initTimerTimer();
    void ShowAbsentDevice();
    void ShowPresentDevice();
    void ShowIdentityPlaceholders();
    void ApplyHardwareRule();
    void RebuildSendLists();
    void ClearCanParameters();
    void SetVersions(int firmware, int hardware);
    bool ValidateBeforeWrite();
    FilesContext Files();
    void EnableField(const char* name, bool enabled);
    // The settings file of the run; every failure of it ends in one message.
    IniFile& SettingsFile();
    void SaySettingsFailure(IniFile::Outcome outcome, const std::string& path);

    Options options_;
    std::unique_ptr<UsbLink> ownLink_;
    UsbLink* link_ = nullptr;
    DialogService* dialogs_ = nullptr;
    DeviceIdentity identity_;
    AppSettings settings_;
    std::unique_ptr<IniFile> settingsFile_;
    bool settingsFailureSaid_ = false;
    QString programFolder_;
    QString settingsFolder_;
    QString kvdFolder_;
    int localHourOffset_ = 0;
    bool shown_ = false;
    bool destroyed_ = false;
    bool clearing_ = false;
    DeviceWorker* worker_ = nullptr;
    Command command_ = Command::None;
    Display display_ = Display::None;
    bool presencePending_ = false;
    bool readEnabledBefore_ = false;
    bool writeEnabledBefore_ = false;
    std::vector<std::pair<QWidget*, bool>> pageCommandsBefore_;
    DeviceMonitor* monitor_ = nullptr;
    QPointer<TAboutForm> about_;

    QTimer initTimer_;
    SettingsEditor* editor_ = nullptr;
    CanSearch* canSearch_ = nullptr;
    FirmwareController* firmware_ = nullptr;
    SaveDialogState profileSaveDialog_;
    bool pagesLocked_ = false;
    int lockedPage_ = 0;

    // Header.
    QLabel* serialPanel_ = nullptr;
    QLabel* firmwarePanel_ = nullptr;
    QLabel* macPanel_ = nullptr;
    QLabel* hardwarePanel_ = nullptr;
    // Pages and the commands below them.
    QTabWidget* pages_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QCheckBox* dontReadBox_ = nullptr;
    QGroupBox* kvdFolderGroup_ = nullptr;
    QLabel* kvdFolderLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    // Menu.
    QAction* selectKvdDirAction_ = nullptr;
    QAction* saveProfileAction_ = nullptr;
    QAction* loadProfileAction_ = nullptr;
    QAction* saveKvcAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* calibrateAction_ = nullptr; // only with the service features
    QPointer<TCalForm> calForm_;
    OneWireCommands* oneWire_ = nullptr;
};

} // namespace plendoro
