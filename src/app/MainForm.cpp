#include "app/MainForm.h"

#include "app/About.h"
#include "app/DeviceMonitor.h"
#include "app/DifferencesForm.h"
#include "app/HelpWindow.h"
#include "app/HistoryForm.h"
#include "app/RoundButtons.h"
#include "app/core/ProgramVersion.h"
#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldBalloon.h"
#include "editor/FieldLookup.h"
#include "editor/FieldTable.h"
#include "editor/HiddenEditor.h"
#include "editor/Validation.h"
#include "editor/VersionGate.h"
#include "editor/binding/SettingsTransfer.h"
#include "files/FileCommands.h"
#include "files/core/Profile.h"
#include "firmware/UpdateFirmware.h"
#include "services/CalForm.h"
#include "services/CanSearch.h"
#include "services/DeviceGate.h"
#include "services/DeviceWorker.h"
#include "services/OneWireCommands.h"
#include "services/OneWireSearchForm.h"
#include "services/core/MemoryClearing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>

namespace plendoro {

namespace {
const QString kNoValue = QStringLiteral("------");
const QString kNoMac = QStringLiteral("--:--:--:--:--:--");

// Wide enough for the longest text it shows, so that the header leaves room
// for the tracker list beside it on a small screen.
QLabel* HeaderPanel(const char* name, QWidget* parent, const char* longest)
{
    auto* l = new QLabel(kNoValue, parent);
    l->setObjectName(QLatin1String(name));
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QLatin1String(longest)) + 24);
    l->setAlignment(Qt::AlignCenter);
    l->setTextInteractionFlags(Qt::NoTextInteraction);
    return l;
}

void SetPanelText(QLabel* panel, const QString& text, bool placeholder)
{
    panel->setText(text);
    panel->setStyleSheet(placeholder ? QStringLiteral("color: red;") : QString());
}
} // namespace

TMainForm::TMainForm(QWidget* parent) : TMainForm(Options{}, parent) {}

TMainForm::TMainForm(const Options& options, QWidget* parent) : QMainWindow(parent), options_(options)
{
    setObjectName(QStringLiteral("MainForm"));
    if (options_.link) {
        link_ = options_.link;
    } else {
        ownLink_ = std::make_unique<UsbLink>();
        link_ = ownLink_.get();
    }
    dialogs_ = options_.dialogs ? options_.dialogs : &QtDialogService::Instance();

    // No device yet: the editor works as for the newest firmware.
    identity_ = DeviceIdentity{};
    link_->SetConnected(false);

    initTimer_.setObjectName(QStringLiteral("initTimer"));
    initTimer_.setInterval(100);
    initTimer_.setSingleShot(false);
    connect(&initTimer_, &QTimer::timeout, this, &TMainForm::initTimerTimer);

    worker_ = new DeviceWorker(this);
    gate_ = new DeviceGate(this);
    connect(gate_, &DeviceGate::Started, this, &TMainForm::CommandStarted);
    connect(gate_, &DeviceGate::Ended, this, &TMainForm::CommandEnded);
    connect(gate_, &DeviceGate::Refused, this, [this] { ShowStatus(kWaitForDeviceText, true); });
    BuildWindow();
}

TMainForm::~TMainForm()
{
    FormDestroy();
    // A job still running finishes before the window's parts go.
    delete worker_;
    worker_ = nullptr;
}

void TMainForm::BuildWindow()
{
    setWindowTitle(kAppCaption);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->setSpacing(6);

    // Header: the device's identity.
    auto* header = new QGroupBox(QStringLiteral("Устройство"), central);
    header->setObjectName(QStringLiteral("gbDevice"));
    auto* hl = new QHBoxLayout(header);
    serialPanel_ = HeaderPanel("SerNum", header, "00000000");
    firmwarePanel_ = HeaderPanel("FVersion", header, "000.00");
    macPanel_ = HeaderPanel("pnMACAddr", header, "00:00:00:00:00:00");
    hardwarePanel_ = HeaderPanel("HVersion", header, "000000");
    const std::pair<const char*, QLabel*> panels[] = {{"Номер:", serialPanel_},
                                                      {"Прошивка:", firmwarePanel_},
                                                      {"MAC адрес:", macPanel_},
                                                      {"Версия железа:", hardwarePanel_}};
    for (auto [caption, panel] : panels) {
        auto* l = new QLabel(QString::fromUtf8(caption), header);
        l->setBuddy(panel);
        hl->addWidget(l);
        hl->addWidget(panel);
        hl->addSpacing(10);
        if (panel != hardwarePanel_)
            panel->installEventFilter(this); // double click copies
    }
    hl->addStretch(1);
    // With several trackers attached: which one the window works with.
    deviceListLabel_ = new QLabel(QStringLiteral("Прибор:"), header);
    deviceList_ = new QComboBox(header);
    deviceList_->setObjectName(QStringLiteral("cbDevice"));
    deviceList_->setAccessibleName(deviceListLabel_->text());
    deviceListLabel_->setBuddy(deviceList_);
    deviceListLabel_->hide();
    deviceList_->hide();
    hl->addWidget(deviceListLabel_);
    hl->addWidget(deviceList_);
    connect(deviceList_, &QComboBox::activated, this, &TMainForm::cbDeviceChange);
    layout->addWidget(header);

    pages_ = new QTabWidget(central);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    AddEditorPages(pages_);
    MakePagesScrollable(pages_);
    editor_ = new SettingsEditor(pages_, *dialogs_, this);
    CreateEditorRules(*editor_);
    editor_->SetDevicePresence([this] { return link_->Connected(); });
    // The firmware group: update client, firmware on disk, loader start.
    firmware_ = new FirmwareController(
        *editor_, *dialogs_, [this] { return identity_; }, this);
    canSearch_ = new CanSearch(*editor_, *link_, [this](const QString& text, bool error) { ShowStatus(text, error); });
    oneWire_ = new OneWireCommands(*editor_, *link_, *worker_, *gate_, this);
    canSearch_->SetWorker(worker_);
    canSearch_->SetGate(gate_);
    InstallBalloonClosers(*editor_);
    if (auto* clear = editor_->FieldAs<QAbstractButton>(QStringLiteral("btnClearData")))
        connect(clear, &QAbstractButton::clicked, this, &TMainForm::btnClearDataClick);
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        // While the memory is being cleared the current page stays.
        if (pagesLocked_ && index != lockedPage_) {
            QSignalBlocker block(pages_);
            pages_->setCurrentIndex(lockedPage_);
        }
    });
    layout->addWidget(pages_, 1);

    // Commands below the pages.
    auto* bottom = new QHBoxLayout;
    readButton_ = new QPushButton(QStringLiteral("Считать"), central);
    readButton_->setObjectName(QStringLiteral("btnReadSettings"));
    writeButton_ = new QPushButton(QStringLiteral("Записать настройки"), central);
    writeButton_->setObjectName(QStringLiteral("btnWriteSettings"));
    // Closed until a presence display opens them for a tracker whose
    // firmware is known: a tracker whose version could not be read must not
    // get the newest layout written or a search its firmware lacks.
    readButton_->setEnabled(false);
    writeButton_->setEnabled(false);
    EnableField("btnCANSearch", false);
    EnableField("btnItSearchTemp", false);
    dontReadBox_ = new QCheckBox(QStringLiteral("Не считывать настройки при подключении"), central);
    dontReadBox_->setObjectName(QStringLiteral("cbDontRead"));
    kvdFolderGroup_ = new QGroupBox(QStringLiteral("Каталог с настройками"), central);
    kvdFolderGroup_->setObjectName(QStringLiteral("gbKvdFolder"));
    auto* fl = new QHBoxLayout(kvdFolderGroup_);
    kvdFolderLabel_ = new QLabel(kvdFolderGroup_);
    kvdFolderLabel_->setObjectName(QStringLiteral("lblKvdFolder"));
    kvdFolderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fl->addWidget(kvdFolderLabel_, 1);
    auto* buttons = new QVBoxLayout;
    auto* rw = new QHBoxLayout;
    rw->addWidget(readButton_);
    rw->addWidget(writeButton_);
    buttons->addLayout(rw);
    buttons->addWidget(dontReadBox_);
    bottom->addLayout(buttons);
    bottom->addWidget(kvdFolderGroup_, 1);
    layout->addLayout(bottom);
    setCentralWidget(central);

    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("CommandInfo"));
    statusBar()->addWidget(statusLabel_, 1);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("DeviceProgress"));
    progress_->setAccessibleName(QStringLiteral("Ход операции с прибором"));
    progress_->setMaximumWidth(200);
    progress_->setTextVisible(false);
    progress_->hide();
    statusBar()->addPermanentWidget(progress_);
    statusBar()->setSizeGripEnabled(true);

    // Menu.
    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    selectKvdDirAction_ = file->addAction(QStringLiteral("Выбрать каталог KVD файлов"));
    selectKvdDirAction_->setObjectName(QStringLiteral("mSelectKvdDir"));
    file->addSeparator();
    saveProfileAction_ = file->addAction(QStringLiteral("Сохранить профиль настроек"));
    saveProfileAction_->setObjectName(QStringLiteral("mSaveProfile"));
    loadProfileAction_ = file->addAction(QStringLiteral("Загрузить профиль настроек"));
    loadProfileAction_->setObjectName(QStringLiteral("mLoadProfile"));
    file->addSeparator();
    compareDeviceAction_ = file->addAction(QStringLiteral("Сравнить с прибором"));
    compareDeviceAction_->setObjectName(QStringLiteral("mCompareDevice"));
    compareDeviceAction_->setEnabled(false);
    compareProfileAction_ = file->addAction(QStringLiteral("Сравнить с профилем..."));
    compareProfileAction_->setObjectName(QStringLiteral("mCompareProfile"));
    historyAction_ = file->addAction(QStringLiteral("История прибора"));
    historyAction_->setObjectName(QStringLiteral("mDeviceHistory"));
    historyAction_->setEnabled(false);
    confirmAction_ = file->addAction(QStringLiteral("Показывать изменения перед записью"));
    confirmAction_->setObjectName(QStringLiteral("mConfirmChanges"));
    confirmAction_->setCheckable(true);
    file->addSeparator();
    saveKvcAction_ = file->addAction(QStringLiteral("Сохранить KVC файл"));
    saveKvcAction_->setObjectName(QStringLiteral("mSaveKVC"));
    file->addSeparator();
    exitAction_ = file->addAction(QStringLiteral("Выход"));
    exitAction_->setObjectName(QStringLiteral("mExit"));
    if (options_.service) {
        QMenu* service = menuBar()->addMenu(QStringLiteral("Сервис"));
        service->setObjectName(QStringLiteral("mService"));
        calibrateAction_ = service->addAction(QStringLiteral("Калибровка акселерометра"));
        calibrateAction_->setObjectName(QStringLiteral("mCalibrate"));
        connect(calibrateAction_, &QAction::triggered, this, &TMainForm::mCalibrateClick);
        if (QWidget* firmware = editor_->Field(QStringLiteral("gbFirmware")))
            firmware->setVisible(true);
    }
    QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
    manualAction_ = help->addAction(QStringLiteral("Руководство пользователя"));
    manualAction_->setObjectName(QStringLiteral("mManual"));
    manualAction_->setShortcut(QKeySequence(Qt::Key_F1));
    // F1 from any of the program's windows, the help window included.
    manualAction_->setShortcutContext(Qt::ApplicationShortcut);
    aboutAction_ = help->addAction(QStringLiteral("О программе"));
    aboutAction_->setObjectName(QStringLiteral("mAbout"));

    connect(readButton_, &QPushButton::clicked, this, &TMainForm::btnReadSettingsClick);
    connect(writeButton_, &QPushButton::clicked, this, &TMainForm::btnWriteSettingsClick);
    connect(selectKvdDirAction_, &QAction::triggered, this, &TMainForm::mSelectKvdDirClick);
    connect(exitAction_, &QAction::triggered, this, &TMainForm::mExitClick);
    connect(compareDeviceAction_, &QAction::triggered, this, &TMainForm::mCompareDeviceClick);
    connect(compareProfileAction_, &QAction::triggered, this, &TMainForm::mCompareProfileClick);
    connect(historyAction_, &QAction::triggered, this, &TMainForm::mDeviceHistoryClick);
    connect(confirmAction_, &QAction::toggled, this, [this](bool on) {
        if (shown_)
            SettingsFile().Write(kSettingsSection, "ConfirmChanges", on ? "1" : "0");
    });
    connect(aboutAction_, &QAction::triggered, this, &TMainForm::mAboutClick);
    connect(saveProfileAction_, &QAction::triggered, this, [this] { plendoro::mSaveProfileClick(*editor_, Files()); });
    connect(loadProfileAction_, &QAction::triggered, this, [this] { plendoro::mLoadProfileClick(*editor_, Files()); });
    connect(saveKvcAction_, &QAction::triggered, this, [this] { plendoro::mSaveKVCClick(*editor_, Files()); });

    connect(manualAction_, &QAction::triggered, this, &TMainForm::HelpRequested);

    resize(960, 720);
}

IniFile& TMainForm::SettingsFile()
{
    const std::string path = (settingsFolder_ + QString::fromLatin1(kSettingsFileName)).toStdString();
    if (!settingsFile_ || settingsFile_->Path() != path) {
        settingsFile_ = std::make_unique<IniFile>(path);
        settingsFile_->OnFailure([this, path](IniFile::Outcome outcome) { SaySettingsFailure(outcome, path); });
    }
    return *settingsFile_;
}

void TMainForm::SaySettingsFailure(IniFile::Outcome outcome, const std::string& path)
{
    // A file that failed once fails again at every later write of the run;
    // one box says it.
    if (settingsFailureSaid_)
        return;
    settingsFailureSaid_ = true;
    dialogs_->Message(this, QString::fromLatin1(kSettingsFailureCaption),
                      QString::fromStdString(SettingsFailureText(outcome, path)), DialogService::Icon::Error);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    // The program folder, where the settings file and the help live.
    programFolder_ = options_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options_.programFolder;
    if (!programFolder_.endsWith(QLatin1Char('/')))
        programFolder_ += QLatin1Char('/');

    // The settings file: the database folder and the window's place.
    const SettingsPlace place =
        options_.settingsPlace ? *options_.settingsPlace : ChooseSettingsPlace(programFolder_.toStdString());
    settingsFolder_ = QString::fromStdString(place.folder);
    layout_ = place.layout;
    PrepareSettingsFolder(place);
    settings_ = ReadAppSettingsWithKvdDefault(SettingsFile(), place.kvdDefault);
    if (!place.kvdDefault.empty())
        defaultKvdFolder_ = QString::fromStdString(NormaliseFolder(place.kvdDefault));
    kvdFolder_ = QString::fromStdString(settings_.kvdFolder);
    if (settings_.geometry.Complete()) {
        const GeometryRecord& g = settings_.geometry;
        move(g.left, g.top);
        resize(g.width, g.height);
    }
    kvdFolderLabel_->setText(kvdFolder_);
    {
        QSignalBlocker quiet(confirmAction_);
        confirmAction_->setChecked(SettingsFile().ReadInteger(kSettingsSection, "ConfirmChanges", 0) != 0);
    }

    // Without the USB library there is nothing to configure.
    if (!link_->IsBound() && !link_->Bind(nullptr, programFolder_.toStdString())) {
        dialogs_->Message(this, QStringLiteral("Plendoro"),
                          QStringLiteral("Перед первым запуском программы подключите\t\t\t\t \r\n"
                                         "устройство к USB и установите драйвер."),
                          DialogService::Icon::Error);
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    // Only bridges that describe themselves as trackers are identified.
    link_->SetDescriptionPrefix(UsbLink::kDescriptionPrefix);
    // The caption carries the program's version.
    const ProgramVersion& v = BuiltProgramVersion();
    const QString title = QStringLiteral("Kovaltrak Plendoro %1.%2.%3").arg(v.major).arg(v.minor).arg(v.build);
    setWindowTitle(title);
    QApplication::setApplicationName(title);
    // Start on the first page with no CAN identifiers found.
    pages_->setCurrentIndex(0);
    ClearCanParameters();
    // The first presence check runs once the window is up.
    initTimer_.start();
    // The hour offset the network block's transfer times are stored with.
    localHourOffset_ = ComputeLocalHourOffset();
    // The round pictures in the desktop's colours.
    ApplyRoundButtonImages(pages_, palette());
    // The control-point page is never offered.
    if (QWidget* cp = editor_->Field(QStringLiteral("TabSheet3")))
        pages_->setTabVisible(pages_->indexOf(cp), false);

    // The firmware group starts with no update status.
    if (auto* status = editor_->FieldAs<QLabel>(QStringLiteral("lbStatusCheck")))
        status->clear();
    firmware_->FormShow(settings_);

    if (options_.watchDevices && !monitor_) {
        monitor_ = new DeviceMonitor(this);
        connect(monitor_, &DeviceMonitor::DeviceChanged, this, &TMainForm::CheckDevicePresence);
    }
}

int TMainForm::ComputeLocalHourOffset()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{}, utc{};
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
    int offset = local.tm_hour - utc.tm_hour;
    if (local.tm_mday != utc.tm_mday)
        offset += 24;
    return offset;
}

void TMainForm::initTimerTimer()
{
    initTimer_.stop();
    if (kvdFolder_.isEmpty())
        mSelectKvdDirClick();
    CheckDevicePresence();
    RefreshRules();
}

void TMainForm::ShowStatus(const QString& text, bool error)
{
    statusLabel_->setText(text);
    statusLabel_->setStyleSheet(error ? QStringLiteral("color: red;") : QStringLiteral("color: black;"));
    emit StatusShown(text, error);
}

void TMainForm::EnableField(const char* name, bool enabled)
{
    if (QWidget* w = editor_->Field(QLatin1String(name)))
        w->setEnabled(enabled);
}

void TMainForm::ShowIdentityPlaceholders()
{
    SetPanelText(serialPanel_, kNoValue, true);
    SetPanelText(firmwarePanel_, kNoValue, true);
    SetPanelText(hardwarePanel_, kNoValue, true);
    SetPanelText(macPanel_, kNoMac, true);
}

void TMainForm::ShowAbsentDevice()
{
    display_ = Display::Absent;
    readButton_->setEnabled(false);
    writeButton_->setEnabled(false);
    compareDeviceAction_->setEnabled(false);
    historyAction_->setEnabled(false);
    if (identity_.firmwareVersion >= 300)
        EnableField("btnCANSearch", false);
    if (identity_.firmwareVersion > 304) {
        for (int i = 1; i <= 8; ++i)
            EnableField(QStringLiteral("btnItempAddr%1").arg(i).toLatin1().constData(), false);
        EnableField("btnIbGetAddr", false);
        EnableField("btnItSearchTemp", false);
    }
    ShowIdentityPlaceholders();
    ShowStatus(QStringLiteral("Устройство не подключено"), true);
    ClearCanParameters();
}

void TMainForm::ShowPresentDevice()
{
    display_ = Display::Present;
    readButton_->setEnabled(true);
    writeButton_->setEnabled(true);
    compareDeviceAction_->setEnabled(true);
    historyAction_->setEnabled(true);
    ClearCanParameters();
    if (identity_.firmwareVersion >= 300)
        EnableField("btnCANSearch", true);
    if (identity_.firmwareVersion > 304)
        EnableField("btnItSearchTemp", true);
    RebuildSendLists();
}

void TMainForm::ApplyHardwareRule()
{
    plendoro::ApplyHardwareRule(*editor_, identity_.hardwareVersion);
}

void TMainForm::RebuildSendLists()
{
    plendoro::RebuildSendLists(*editor_, identity_.firmwareVersion);
}

void TMainForm::ClearCanParameters()
{
    if (editor_->can)
        editor_->can->ClearCanParameters();
}

struct TMainForm::PresenceResult {
    enum class Kind { StillThere, Lost, NotFound, VersionFailed, Identified } kind = Kind::StillThere;
    DeviceIdentity identity;
    OpenFailure openFailure; // Lost, NotFound: why a listed tracker did not open
    QStringList serials;     // every tracker attached, in list order
};

// Another tracker chosen in "Прибор:": it is identified and read as a
// plug-in is.
void TMainForm::cbDeviceChange(int index)
{
    const QString serial = deviceList_->itemText(index);
    if (serial == QString::fromStdString(identity_.serialText))
        return;
    if (DeviceBusy()) {
        ShowStatus(kWaitForDeviceText, true);
        const int current = deviceList_->findText(QString::fromStdString(identity_.serialText));
        deviceList_->setCurrentIndex(current);
        return;
    }
    link_->PinSerial(serial.toStdString());
    link_->SetConnected(false);
    link_->SetDeviceIndex(-1);
    CheckDevicePresence();
}

void TMainForm::ShowDeviceList(const QStringList& serials)
{
    const bool several = serials.size() > 1;
    deviceListLabel_->setVisible(several);
    deviceList_->setVisible(several);
    QSignalBlocker quiet(deviceList_);
    deviceList_->clear();
    deviceList_->addItems(serials);
    deviceList_->setCurrentIndex(deviceList_->findText(QString::fromStdString(identity_.serialText)));
}

void TMainForm::CheckDevicePresence()
{
    // Waits in line behind a running command (the gate remembers it).
    if (!BeginCommand(DeviceCommand::Presence))
        return;
    using Kind = PresenceResult::Kind;
    auto result = std::make_shared<PresenceResult>();
    result->identity = identity_;
    UsbLink* link = link_;
    RunJob(
        [this, link, result] {
            for (const UsbLink::ListedTracker& t : link->ListTrackers())
                result->serials << QString::fromStdString(t.serial);
            // The chosen tracker has gone: the first is identified at once,
            // as before any choice.
            if (!link->PinnedSerial().empty() &&
                !result->serials.contains(QString::fromStdString(link->PinnedSerial()))) {
                link->PinSerial({});
                link->SetConnected(false);
                link->SetDeviceIndex(-1);
            }
            if (link->Connected() && link->DeviceIndex() >= 0) {
                // While another exchange holds the device it is plainly still there.
                if (link->InUse())
                    return;
                if (link->Open()) {
                    link->Close();
                    return;
                }
                link->SetConnected(false);
                link->SetDeviceIndex(-1);
                result->kind = Kind::Lost;
                result->openFailure = link->LastOpenFailure();
                return;
            }
            std::string serial;
            if (!link->Identify(&serial)) {
                link->SetConnected(false);
                link->SetDeviceIndex(-1);
                result->kind = Kind::NotFound;
                result->openFailure = link->LastOpenFailure();
                return;
            }
            // The identity is shown as soon as the tracker answers.
            ApplySerial(result->identity, serial);
            DeviceWorker::Post(this, [this, identity = result->identity] {
                ApplySerial(identity_, identity.serialText);
                SetPanelText(serialPanel_, QString::fromLatin1(identity.serialText.c_str()), false);
                SetPanelText(macPanel_, QString::fromStdString(FormatMac(identity.mac)), false);
            });
            link->SetConnected(true);
            if (!ReadVersions(*link, result->identity)) {
                link->SetConnected(false);
                result->kind = Kind::VersionFailed;
                return;
            }
            result->kind = Kind::Identified;
        },
        [this, result] {
            EndCommand();
            // The read goes to the worker first and the displays are shown
            // meanwhile: they come before the first block reaches the editor
            // all the same, since the window takes the read's reports after them.
            const bool readNow = result->kind == PresenceResult::Kind::Identified && !dontReadBox_->isChecked();
            if (readNow) {
                SetVersions(result->identity.firmwareVersion, result->identity.hardwareVersion);
                btnReadSettingsClick();
            }
            ApplyPresence(*result);
            ShowDeviceList(result->kind == PresenceResult::Kind::Lost || result->kind == PresenceResult::Kind::NotFound
                               ? QStringList()
                               : result->serials);
            // The display has just opened them; the read holds them until it ends.
            if (const std::optional<DeviceCommand> running = gate_->Holder())
                CloseCommandButtons(*running);
            emit PresenceChecked();
        });
}

void TMainForm::EnterNoDeviceState(bool lost)
{
    ShowAbsentDevice();
    SetVersions(kNoDeviceFirmwareVersion, kNoDeviceHardwareVersion);
    ApplyVersionGate(*editor_, identity_.firmwareVersion);
    if (lost) {
        EnableField("intGlonass", true);
        EnableField("cbStaticNav", true);
    } else {
        ApplyHardwareRule();
    }
    RefreshRules();
}

void TMainForm::ApplyPresence(const PresenceResult& result)
{
    using Kind = PresenceResult::Kind;
    switch (result.kind) {
    case Kind::StillThere: return;
    case Kind::Lost:
    case Kind::NotFound:
        EnterNoDeviceState(result.kind == Kind::Lost);
        // A tracker that is there but cannot be opened says why.
        if (result.openFailure.kind != OpenFailure::Kind::None)
            ShowStatus(QString::fromStdString(OpenFailureText(result.openFailure)), true);
        return;
    case Kind::VersionFailed: ShowStatus(QStringLiteral("Ошибка чтения версии прошивки"), true); return;
    case Kind::Identified: break;
    }
    const DeviceIdentity& id = result.identity;
    identity_.firmwareMajor = id.firmwareMajor;
    identity_.firmwareMinor = id.firmwareMinor;
    identity_.hardwareVersionRead = id.hardwareVersionRead;
    SetVersions(id.firmwareVersion, id.hardwareVersion);
    SetPanelText(firmwarePanel_,
                 QString::fromStdString(FormatFirmware(identity_.firmwareMajor, identity_.firmwareMinor)), false);
    if (identity_.hardwareVersionRead)
        SetPanelText(hardwarePanel_, QString::number(identity_.hardwareVersion), false);

    ApplyVersionGate(*editor_, identity_.firmwareVersion);
    RefreshRules();
    ShowPresentDevice();
    ApplyHardwareRule();
    if (dontReadBox_->isChecked())
        ShowStatus(QStringLiteral("Настройки не были считаны"), false);
}

void TMainForm::RefreshRules()
{
    editor_->RefreshRules();
}

void TMainForm::SetVersions(int firmware, int hardware)
{
    identity_.firmwareVersion = firmware;
    identity_.hardwareVersion = hardware;
    editor_->SetFirmwareVersion(firmware);
    editor_->SetHardwareVersion(hardware);
}

void TMainForm::SetPagesLocked(bool locked)
{
    pagesLocked_ = locked;
    lockedPage_ = pages_->currentIndex();
}

void TMainForm::btnReadSettingsClick()
{
    if (!BeginCommand(DeviceCommand::Read))
        return;
    const int firmware = identity_.firmwareVersion;
    const int hourOffset = localHourOffset_;
    auto ok = std::make_shared<bool>(false);
    UsbLink* link = link_;
    RunJob(
        [this, link, firmware, hourOffset, ok] {
            const TransferHooks hooks = ProgressHooks(QStringLiteral("Чтение настроек: блок %1 из %2"));
            // Each block is decoded on the window's thread as it arrives, its
            // rules run after it, in the order the blocks are read.
            const auto decode = [this, firmware, hourOffset](BlockId block, std::vector<std::uint8_t> bytes) {
                DeviceWorker::Post(this, [this, block, bytes = std::move(bytes), firmware, hourOffset] {
                    DecodeBlockIntoEditor(*editor_, block, bytes, GenerationOf(firmware), firmware, hourOffset, true);
                });
            };
            std::string failure;
            const DeviceRead read = ReadDeviceBlocks(*link, SystemClock::Instance(), firmware, decode, hooks, failure);
            *ok = read == DeviceRead::Read;
            if (read == DeviceRead::Failed)
                DeviceWorker::Post(this, [this, failure] { ShowStatus(QString::fromStdString(failure), true); });
        },
        [this, ok] {
            if (*ok)
                ShowStatus(QStringLiteral("Настройки успешно считаны"), false);
            EndCommand();
        });
}

void TMainForm::btnWriteSettingsClick()
{
    if (!BeginCommand(DeviceCommand::Write))
        return;
    auto opened = std::make_shared<bool>(false);
    UsbLink* link = link_;
    RunJob([link, opened] { *opened = link->Open(); },
           [this, link, opened] {
               if (!*opened) {
                   ShowStatus(QStringLiteral("Ошибка при открытии устройства"), true);
                   EndCommand();
                   return;
               }
               // The checks may point at a field, so the pages are usable for them.
               pages_->setEnabled(true);
               if (!ValidateBeforeWrite()) {
                   // The pages stay usable: the field keeps the focus and
                   // its balloon, which disabling them would take away.
                   RunJob([link] { link->Close(); }, [this] { EndCommand(); });
                   return;
               }
               pages_->setEnabled(false);
               if (confirmAction_->isChecked()) {
                   ConfirmThenWrite();
                   return;
               }
               WriteOpenedDevice();
           });
}

// The device is open and the checks passed.
void TMainForm::WriteOpenedDevice()
{
    UsbLink* link = link_;
    // Encoded once: the tracker, the database files and the automatic
    // profile get the same bytes.
    auto written = std::make_shared<WrittenSettings>(CaptureWrittenSettings(*editor_, Files()));
    auto code = std::make_shared<int>(0);
    RunJob(
        [this, link, written, code] {
            const TransferHooks hooks = ProgressHooks(QStringLiteral("Запись настроек: блок %1 из %2"));
            *code = WriteDeviceBlocks(*link, SystemClock::Instance(), written->blocks, hooks);
        },
        [this, written, code] {
            ShowStatus(WriteResultText(*code), *code != 0);
            if (*code != 0) {
                EndCommand();
                return;
            }
            // The files are written off the window's thread too: a
            // disk that is slow to flush must not stall the window.
            auto files = std::make_shared<FilesAfterWrite>(PrepareFilesAfterWrite(*editor_, Files(), *written));
            auto result = std::make_shared<FilesAfterWriteResult>();
            RunJob([files, result] { *result = WriteFilesAfterWrite(*files); },
                   [this, result] {
                       ReportFilesAfterWrite(Files(), *result);
                       EndCommand();
                   });
        });
}

// "Показывать изменения перед записью": the device is closed again, the
// tracker read for the comparison, and the write goes on only on "Записать".
void TMainForm::ConfirmThenWrite()
{
    UsbLink* link = link_;
    RunJob([link] { link->Close(); },
           [this, link] {
               ReadForComparison([this, link](bool read) {
                   if (!read) {
                       EndCommand();
                       return;
                   }
                   if (!ConfirmDifferences()) {
                       EndCommand();
                       return;
                   }
                   auto opened = std::make_shared<bool>(false);
                   RunJob([link, opened] { *opened = link->Open(); },
                          [this, opened] {
                              if (!*opened) {
                                  ShowStatus(QStringLiteral("Ошибка при открытии устройства"), true);
                                  EndCommand();
                                  return;
                              }
                              WriteOpenedDevice();
                          });
               });
           });
}

bool TMainForm::ConfirmDifferences()
{
    TDifferencesForm dialog(this);
    dialog.SetDifferences(
        Compare(compareSide_->Editor(), identity_.firmwareVersion, *editor_, identity_.firmwareVersion),
        QStringLiteral("В приборе"), true);
    return dialog.exec() == QDialog::Accepted;
}

// Reads every block into a hidden set of pages, never the user's editor,
// with the read's progress texts; within a command that holds the gate.
void TMainForm::ReadForComparison(std::function<void(bool read)> then)
{
    compareSide_ = std::make_unique<HiddenEditor>(*dialogs_);
    compareSide_->PrepareFor(identity_);
    HiddenEditor* side = compareSide_.get();
    const int firmware = identity_.firmwareVersion;
    const int hourOffset = localHourOffset_;
    auto ok = std::make_shared<bool>(false);
    UsbLink* link = link_;
    const bool started = RunJob(
        [this, link, side, firmware, hourOffset, ok] {
            const TransferHooks hooks = ProgressHooks(QStringLiteral("Чтение настроек: блок %1 из %2"));
            const auto decode = [this, side, firmware, hourOffset](BlockId block, std::vector<std::uint8_t> bytes) {
                DeviceWorker::Post(this, [side, block, bytes = std::move(bytes), firmware, hourOffset] {
                    DecodeBlockIntoEditor(side->Editor(), block, bytes, GenerationOf(firmware), firmware, hourOffset,
                                          true);
                });
            };
            std::string failure;
            const DeviceRead read = ReadDeviceBlocks(*link, SystemClock::Instance(), firmware, decode, hooks, failure);
            *ok = read == DeviceRead::Read;
            if (read == DeviceRead::Failed)
                DeviceWorker::Post(this, [this, failure] { ShowStatus(QString::fromStdString(failure), true); });
        },
        [this, ok, then] {
            progress_->hide();
            if (*ok)
                ShowStatus(QStringLiteral("Настройки прибора считаны для сравнения"), false);
            then(*ok);
        });
    if (!started)
        then(false);
}

void TMainForm::mCompareDeviceClick()
{
    if (!BeginCommand(DeviceCommand::Compare))
        return;
    ReadForComparison([this](bool read) {
        EndCommand();
        if (read)
            ShowDifferences(compareSide_->Editor(), identity_.firmwareVersion, QStringLiteral("В приборе"));
    });
}

void TMainForm::mCompareProfileClick()
{
    const QString path =
        dialogs_->OpenFile(this, QStringLiteral("Открыть"), ProfileFolder(Files()),
                           QStringLiteral("Kovaltrak Tracker Profiles (*.kvp)"), QStringLiteral("kvp"));
    if (!path.isEmpty())
        CompareWithProfile(path);
}

void TMainForm::CompareWithProfile(const QString& path)
{
    auto side = std::make_unique<HiddenEditor>(*dialogs_);
    side->PrepareFor(identity_);
    // The profile load's refusals and failures, but not its success: the
    // user's editor has not been loaded.
    FilesContext context = Files();
    context.showStatus = [this](const QString& text, bool error) {
        if (error)
            ShowStatus(text, true);
    };
    if (!LoadProfile(side->Editor(), context, path))
        return;
    // An older profile lacks what its generation lacks, whatever the editor's.
    std::vector<std::uint8_t> bytes;
    ReadProfileBytes(QFile::encodeName(path).toStdString(), bytes);
    const std::optional<ProfileVersion> version = ParseProfileHeader(bytes);
    const int firmware =
        std::min(identity_.firmwareVersion, version ? NewestFirmwareOf(*version) : identity_.firmwareVersion);
    compareSide_ = std::move(side);
    ShowDifferences(compareSide_->Editor(), firmware, QStringLiteral("В профиле"));
}

void TMainForm::ShowDifferences(SettingsEditor& other, int otherFirmware, const QString& otherColumn)
{
    if (!differences_) {
        differences_ = new TDifferencesForm(this);
        connect(differences_, &TDifferencesForm::FieldChosen, this, [this](const QString& name) {
            if (QWidget* field = editor_->Field(name)) {
                BringPagesForward(field);
                activateWindow();
                field->setFocus(Qt::OtherFocusReason);
            }
        });
    }
    differences_->SetDifferences(Compare(other, otherFirmware, *editor_, identity_.firmwareVersion), otherColumn,
                                 false);
    differences_->show();
    differences_->raise();
}

void TMainForm::mDeviceHistoryClick()
{
    if (display_ != Display::Present)
        return;
    auto* history =
        new THistoryForm(AutomaticProfilesOf(ProfileFolder(Files()).toStdString(), identity_.serialNumber), this);
    history->setAttribute(Qt::WA_DeleteOnClose);
    connect(history, &THistoryForm::Chosen, this, &TMainForm::CompareWithProfile);
    connect(history, &THistoryForm::LoadRequested, this,
            [this](const QString& path) { LoadProfile(*editor_, Files(), path); });
    history->show();
}

void TMainForm::btnClearDataClick()
{
    // Enter and Esc both answer "Нет": erasing the memory takes a deliberate "Да".
    if (!dialogs_->Ask(this, kAppCaption, QStringLiteral("Вы действительно хотите очистить память прибора?"),
                       DialogService::Icon::Warning, DialogService::Answer::No))
        return;
    if (!BeginCommand(DeviceCommand::Clear))
        return;
    clearing_ = true;
    SetPagesLocked(true);
    ShowStatus(QStringLiteral("Очистка памяти прибора"), false);
    auto result = std::make_shared<ClearResult>(ClearResult::OpenFailed);
    if (!RunJob([this, result] { TClearThread(*result); }, [this, result] { ClearDone(static_cast<int>(*result)); })) {
        clearing_ = false;
        SetPagesLocked(false);
    }
}

// The clearing's job on the worker, in place of the clearing thread.
void TMainForm::TClearThread(ClearResult& result)
{
    if (!link_->Open())
        return;
    result = ClearMemory(*link_, [this](int percent) {
        DeviceWorker::Post(this, [this, percent] {
            ShowStatus(QStringLiteral("Стирание памяти: выполнено %1%").arg(percent), false);
            progress_->setRange(0, 100);
            progress_->setValue(std::clamp(percent, 0, 100));
            progress_->show();
        });
    });
    link_->Close();
}

void TMainForm::ClearDone(int result)
{
    clearing_ = false;
    SetPagesLocked(false);
    if (result == 0)
        ShowStatus(QStringLiteral("Память прибора очищена"), false);
    else
        ShowStatus(QStringLiteral("Ошибка %1 при очистке памяти прибора").arg(result), true);
    // The buttons follow the presence display: with no tracker attached read
    // and write stay closed.
    EndCommand();
}

void TMainForm::AttachCalibrationDialog(TCalForm* dialog)
{
    calForm_ = dialog;
    if (dialog)
        dialog->SetGate(gate_);
}

void TMainForm::AttachOneWireSearchDialog(TOWSearchForm* dialog)
{
    oneWire_->SetSearchDialog(dialog);
}

void TMainForm::mCalibrateClick()
{
    if (!calForm_)
        return;
    if (DeviceBusy()) {
        ShowStatus(kWaitForDeviceText, true);
        return;
    }
    calForm_->show();
}

bool TMainForm::DeviceBusy() const
{
    return gate_->Busy();
}

bool TMainForm::BeginCommand(DeviceCommand command)
{
    // A refused start must not forget the ticket of the command that runs.
    const CommandGate::Ticket ticket = gate_->Begin(command);
    if (ticket == CommandGate::kRefused)
        return false;
    ticket_ = ticket;
    return true;
}

void TMainForm::EndCommand()
{
    gate_->End(ticket_);
}

bool TMainForm::RunJob(std::function<void()> job, std::function<void()> done)
{
    if (worker_->Run(std::move(job), std::move(done)))
        return true;
    // Only a job left over from an ended command holds the worker now.
    EndCommand();
    ShowStatus(kWaitForDeviceText, true);
    return false;
}

void TMainForm::CommandStarted(DeviceCommand command)
{
    if (command != DeviceCommand::Presence) // its display sets the buttons when it ends
        CloseCommandButtons(command);
}

void TMainForm::CloseCommandButtons(DeviceCommand command)
{
    readButton_->setEnabled(false);
    writeButton_->setEnabled(false);
    compareDeviceAction_->setEnabled(false);
    if (calibrateAction_)
        calibrateAction_->setEnabled(false);
    for (QWidget* w : PageCommandButtons())
        w->setEnabled(false);
    firmware_->SetDeviceBusy(true);
    // A read or a write fills or takes the pages: nothing on them may change meanwhile.
    if (command == DeviceCommand::Read || command == DeviceCommand::Write || command == DeviceCommand::Compare)
        pages_->setEnabled(false);
}

// The device commands on the pages. The firmware check and download are not
// among them: they never touch the tracker.
std::vector<QWidget*> TMainForm::PageCommandButtons() const
{
    std::vector<QWidget*> buttons;
    QStringList names = {QStringLiteral("btnItSearchTemp"), QStringLiteral("btnIbGetAddr"),
                         QStringLiteral("btnClearData"), QStringLiteral("btnCANSearch")};
    for (int n = 1; n <= 8; ++n)
        names << QStringLiteral("btnItempAddr%1").arg(n);
    for (const QString& name : names)
        if (QWidget* w = editor_->Field(name))
            buttons.push_back(w);
    return buttons;
}

void TMainForm::CommandEnded()
{
    progress_->hide();
    pages_->setEnabled(true);
    UpdateCommandButtons();
    // A close asked for meanwhile comes first; device changes noticed
    // meanwhile are checked once, after whatever the end of this command
    // starts.
    QTimer::singleShot(0, this, [this] {
        if (DeviceBusy())
            return;
        if (closeRequested_) {
            close();
            return;
        }
        if (gate_->TakePresenceDue())
            CheckDevicePresence();
    });
}

void TMainForm::UpdateCommandButtons()
{
    const bool present = display_ == Display::Present;
    readButton_->setEnabled(present);
    writeButton_->setEnabled(present);
    compareDeviceAction_->setEnabled(present);
    historyAction_->setEnabled(present);
    if (calibrateAction_)
        calibrateAction_->setEnabled(true);
    const int firmware = identity_.firmwareVersion;
    if (QWidget* clear = editor_->Field(QStringLiteral("btnClearData")))
        clear->setEnabled(firmware >= MinimumVersionOf(clear));
    if (firmware >= 300)
        EnableField("btnCANSearch", present);
    if (firmware > 304) {
        EnableField("btnItSearchTemp", present);
        // The key's and the slots' "Считать" as the page's rules open them.
        if (editor_->oneWire)
            editor_->oneWire->ReadButtonsRule();
    }
    firmware_->SetDeviceBusy(false);
}

// Run on the worker: each block and each retry is reported to the window,
// which the worker does not wait for.
TransferHooks TMainForm::ProgressHooks(const QString& blockText)
{
    TransferHooks hooks;
    hooks.onBlock = [this, blockText](int position, int count) {
        DeviceWorker::Post(this, [this, blockText, position, count] { ShowProgress(blockText, position, count); });
    };
    hooks.onRetry = [this](int attempt) {
        DeviceWorker::Post(this, [this, attempt] {
            ShowStatus(QStringLiteral("Нет ответа прибора, попытка %1 из %2").arg(attempt).arg(kTransactAttempts),
                       true);
        });
    };
    return hooks;
}

void TMainForm::ShowProgress(const QString& text, int position, int count)
{
    ShowStatus(text.arg(position).arg(count), false);
    progress_->setRange(0, count);
    progress_->setValue(position - 1);
    progress_->show();
}

bool TMainForm::ValidateBeforeWrite()
{
    return ValidateSettings(*editor_);
}

FilesContext TMainForm::Files()
{
    FilesContext c;
    c.kvdFolder = kvdFolder_;
    c.firmwareVersion = identity_.firmwareVersion;
    c.serialNumber = identity_.serialNumber;
    c.localHourOffset = localHourOffset_;
    c.showStatus = [this](const QString& text, bool error) { ShowStatus(text, error); };
    c.parent = this;
    c.saveDialog = &profileSaveDialog_;
    c.defaultKvdFolder = defaultKvdFolder_;
    return c;
}

void TMainForm::mSelectKvdDirClick()
{
    const QString chosen = dialogs_->ChooseFolder(this, QStringLiteral("Выберите каталог для KVD файлов"), kvdFolder_);
    if (!chosen.isEmpty()) {
        kvdFolder_ = QString::fromStdString(NormaliseFolder(QDir::fromNativeSeparators(chosen).toStdString()));
        WriteKvdFolder(SettingsFile(), kvdFolder_.toStdString());
    }
    kvdFolderLabel_->setText(kvdFolder_);
}

void TMainForm::mExitClick()
{
    close();
}

void TMainForm::mAboutClick()
{
    if (about_) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    about_ = new TAboutForm(QString::fromStdString(link_->LibraryFile()), this);
    about_->show();
}

void TMainForm::HelpRequested()
{
    const QStringList tabs = THelpForm::ShownTabs(pages_);
    if (!help_) {
        const QStringList folders = ManualFolders(programFolder_, layout_);
        Manual manual;
        for (const QString& folder : folders)
            if (manual.Load(folder))
                break;
        if (manual.Chapters().isEmpty()) {
            dialogs_->Message(this, kAppCaption,
                              QStringLiteral("Не найдено руководство пользователя: %1").arg(folders.last()),
                              DialogService::Icon::Error);
            return;
        }
        help_ = new THelpForm(std::move(manual), this);
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    help_->ShowChapterOfTabs(tabs);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == serialPanel_ || watched == firmwarePanel_ || watched == macPanel_)) {
        QApplication::clipboard()->setText(static_cast<QLabel*>(watched)->text());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The desktop's colours changed: repaint the round pictures in them.
    if (event->type() == QEvent::PaletteChange && shown_)
        ApplyRoundButtonImages(pages_, palette());
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (DeviceBusy()) {
        // Closing now would cut an exchange short; the window closes by
        // itself once the command has ended.
        closeRequested_ = true;
        ShowStatus(kWaitForDeviceText, true);
        event->ignore();
        return;
    }
    // A firmware check or download never holds the window.
    firmware_->Abort();
    FormClose();
    QMainWindow::closeEvent(event);
}

void TMainForm::FormClose()
{
    if (!shown_)
        return;
    WriteKvdFolder(SettingsFile(), kvdFolder_.toStdString());
}

void TMainForm::FormDestroy()
{
    if (destroyed_ || !shown_)
        return;
    destroyed_ = true;
    initTimer_.stop();
    if (editor_ && editor_->can)
        editor_->can->ClearCanParameters();
    WriteGeometryIfChanged(SettingsFile(), settings_.geometry, y(), x(), width(), height());
    HideBallon();
}

} // namespace plendoro
