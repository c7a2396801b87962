#pragma once
// The program's one working window: the device's identity, the editor's
// pages, the read and write commands and the status line.
#include "app/About.h"
#include "app/HelpWindow.h"
#include "app/core/AppSettings.h"
#include "app/core/InstallLayout.h"
#include "files/FileCommands.h"
#include "link/Identification.h"
#include "link/UsbLink.h"
#include "services/core/BlockTransfer.h"
#include "services/core/CommandGate.h"
#include "services/core/MemoryClearing.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
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
class DeviceGate;
class DeviceWorker;
class FirmwareController;
class TCalForm;
class TDifferencesForm;
class HiddenEditor;
class TOWSearchForm;
class OneWireCommands;
struct BlockTransfer;

// A device command asked for while another holds the tracker, in red.
inline const QString kWaitForDeviceText = QStringLiteral("Дождитесь окончания операции с прибором");

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
    bool DeviceBusy() const;
    // The gate every device command of this tracker passes.
    DeviceGate& Gate() { return *gate_; }
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
    THelpForm* Help() const { return help_; }

    // Menu and command handlers.
    void btnReadSettingsClick();
    void btnWriteSettingsClick();
    // "Стереть все данные": the question, then the clearing on the worker.
    void btnClearDataClick();
    bool Clearing() const { return clearing_; }
    void mSelectKvdDirClick();
    // "Прибор:" (shown with several trackers attached).
    void cbDeviceChange(int index);
    // "Сравнить с прибором", "Сравнить с профилем...", "История прибора":
    // the differences between the editor and the other side, which is read
    // into hidden pages and never into the editor.
    void mCompareDeviceClick();
    void mCompareProfileClick();
    void mDeviceHistoryClick();
    void CompareWithProfile(const QString& path);
    TDifferencesForm* Differences() const { return differences_; }
    // "Выход": as the window's close button.
    void mExitClick();
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
    // Which presence display was shown last; the command buttons follow it
    // whenever a command ends.
    enum class Display { None, Absent, Present };
    struct PresenceResult;

    // The window's own commands (presence, read, write, clearing) hold the
    // gate through ticket_; false, with the waiting text, when refused.
    bool BeginCommand(DeviceCommand command);
    void EndCommand();
    // Starts a job of the window's command; a worker that refuses it ends
    // the command as refused.
    bool RunJob(std::function<void()> job, std::function<void()> done);
    void CommandStarted(DeviceCommand command);
    void CommandEnded();
    void CloseCommandButtons(DeviceCommand command);
    // Every command button as the presence display, the version gate and
    // the page rules decide them now.
    void UpdateCommandButtons();
    // The device commands on the pages that any command closes while it runs.
    std::vector<QWidget*> PageCommandButtons() const;
    void ShowProgress(const QString& text, int position, int count);
    TransferHooks ProgressHooks(const QString& blockText);
    void ApplyPresence(const PresenceResult& result);
    void TClearThread(ClearResult& result);
    void ShowDeviceList(const QStringList& serials);
    void WriteOpenedDevice();
    void ConfirmThenWrite();
    bool ConfirmDifferences();
    void ReadForComparison(std::function<void(bool read)> then);
    void ShowDifferences(SettingsEditor& other, int otherFirmware, const QString& otherColumn);
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
    QString defaultKvdFolder_; // the layout's own, made when missing
    int localHourOffset_ = 0;
    bool shown_ = false;
    bool destroyed_ = false;
    bool clearing_ = false;
    DeviceWorker* worker_ = nullptr;
    DeviceGate* gate_ = nullptr;
    CommandGate::Ticket ticket_ = CommandGate::kRefused;
    Display display_ = Display::None;
    // A close asked for while a command ran: the window closes at its end.
    bool closeRequested_ = false;
    DeviceMonitor* monitor_ = nullptr;
    QPointer<TAboutForm> about_;
    QPointer<THelpForm> help_;
    Layout layout_ = Layout::Portable;

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
    QLabel* deviceListLabel_ = nullptr;
    QComboBox* deviceList_ = nullptr;
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
    QAction* compareDeviceAction_ = nullptr;
    QAction* compareProfileAction_ = nullptr;
    QAction* historyAction_ = nullptr;
    QAction* confirmAction_ = nullptr;
    // The other side of the last comparison, in pages of its own.
    std::unique_ptr<HiddenEditor> compareSide_;
    TDifferencesForm* differences_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* manualAction_ = nullptr;
    QAction* calibrateAction_ = nullptr; // only with the service features
    QPointer<TCalForm> calForm_;
    OneWireCommands* oneWire_ = nullptr;
};

} // namespace plendoro
