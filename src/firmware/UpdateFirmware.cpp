#include "firmware/UpdateFirmware.h"

#include "common/Log.h"
#include "editor/Dialogs.h"
#include "editor/Editor.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>

namespace plendoro {

void TUpdateFirmware::run()
{
    client_.serial = Serial;
    client_.versionText = VersionText;
    client_.waitBound = WaitBound;
    client_.overallBound = OverallBound;
    UpdateReport report;
    report.status = [this](const std::string& text) { emit StatusChanged(QString::fromStdString(text)); };
    report.enableButtons = [this] { emit ButtonsEnabled(); };
    // A name is resolved here, off the window's thread. What is neither an
    // address nor a name that resolves fails as a refused connection does,
    // and the byte log says why.
    ServerLookup lookup(Resolver);
    {
        std::lock_guard lock(lookupMutex_);
        if (aborted_)
            return;
        lookup_ = &lookup;
    }
    const std::optional<std::string> address = lookup.Resolve(Address, WaitBound);
    {
        std::lock_guard lock(lookupMutex_);
        lookup_ = nullptr;
        if (aborted_)
            return;
    }
    if (!address && LogEnabled(LogChannel::Link))
        LogLine(LogChannel::Link, "Неверный адрес сервера обновлений: " + Address);
    RunUpdate(client_, Mode, address.value_or(std::string()), Port, FirmwarePath, report);
}

void TUpdateFirmware::Abort()
{
    {
        std::lock_guard lock(lookupMutex_);
        aborted_ = true;
        if (lookup_)
            lookup_->Abort();
    }
    client_.Abort();
}

namespace {

bool StartDetached(const QString& program, const QStringList& arguments)
{
    const QString found = QStandardPaths::findExecutable(program);
    return !found.isEmpty() && QProcess::startDetached(found, arguments);
}

} // namespace

FirmwareController::FirmwareController(SettingsEditor& editor, DialogService& dialogs,
                                       std::function<DeviceIdentity()> device, QWidget* parent)
    : QObject(parent),
      editor_(editor),
      dialogs_(dialogs),
      device_(std::move(device)),
      window_(parent),
      launcher_(StartDetached)
{
    const auto hook = [this](const char* name, void (FirmwareController::*handler)()) {
        if (auto* button = editor_.FieldAs<QAbstractButton>(QString::fromLatin1(name)))
            connect(button, &QAbstractButton::clicked, this, handler);
    };
    hook("btCheckFW", &FirmwareController::btCheckFWClick);
    hook("btDownloadFW", &FirmwareController::btDownloadFWClick);
    hook("btUpdateFW", &FirmwareController::btUpdateFWClick);
}

FirmwareController::~FirmwareController()
{
    // A server that keeps us waiting must not keep the window from closing.
    Abort();
}

void FirmwareController::SetServer(const std::string& address, std::uint16_t port)
{
    address_ = address;
    port_ = port;
}

void FirmwareController::FormShow(const AppSettings& settings)
{
    SetServer(settings.updateServer, settings.updatePort);
    disk_.deviceCode = kDeviceCode;
    disk_.major = 0;
    disk_.minor = 0;
    if (auto* status = editor_.FieldAs<QLabel>(QStringLiteral("lbStatusCheck")))
        status->clear();
    if (auto* onDisk = editor_.FieldAs<QLabel>(QStringLiteral("lbFWOnDisk")))
        onDisk->setText(QStringLiteral("Версия прошивки на диске:\r\n") + FindNewestFirmware());
}

std::string FirmwareController::BaseFolder() const
{
    return (baseFolder_.isEmpty() ? QDir::currentPath() : baseFolder_).toStdString();
}

QString FirmwareController::FindNewestFirmware()
{
    const FirmwareScan scan = plendoro::FindNewestFirmware(disk_, BaseFolder());
    canFlash_ = scan.canFlash;
    SetEnabled("btUpdateFW", canFlash_ && !deviceBusy_);
    return QString::fromStdString(scan.text);
}

void FirmwareController::SetDeviceBusy(bool busy)
{
    deviceBusy_ = busy;
    // A download in progress keeps the loader closed until it has ended.
    SetEnabled("btUpdateFW", canFlash_ && !deviceBusy_ && !running_);
}

void FirmwareController::Abort()
{
    if (!running_)
        return;
    running_->disconnect(this);
    running_->Abort();
    running_->wait();
    delete running_;
    running_ = nullptr;
}

void FirmwareController::SetEnabled(const char* name, bool enabled)
{
    if (QWidget* w = editor_.Field(QString::fromLatin1(name)))
        w->setEnabled(enabled);
}

void FirmwareController::btCheckFWClick()
{
    if (running_)
        return;
    Start(UpdateMode::Check, "KVTW-0.0");
}

void FirmwareController::btDownloadFWClick()
{
    SetEnabled("btCheckFW", false);
    SetEnabled("btUpdateFW", false);
    if (running_)
        return;
    const DeviceIdentity device = device_ ? device_() : DeviceIdentity{};
    Start(UpdateMode::Download, FormatVersionText(kDeviceCode, device.firmwareMajor, device.firmwareMinor));
}

void FirmwareController::Start(UpdateMode mode, const std::string& versionText)
{
    const DeviceIdentity device = device_ ? device_() : DeviceIdentity{};
    auto* thread = new TUpdateFirmware;
    thread->Mode = mode;
    thread->Address = address_;
    thread->Port = port_;
    thread->Serial = static_cast<std::uint32_t>(device.serialNumber);
    thread->VersionText = versionText;
    std::string folder = BaseFolder();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    thread->FirmwarePath = folder + kFirmwareFolder + "/" + kDownloadedFirmwareName;
    thread->WaitBound = waitBound_;
    thread->OverallBound = overallBound_;
    thread->Resolver = resolver_;
    // Queued: the texts arrive on the window's thread in the order the
    // operation shows them, and its end after the last of them.
    connect(thread, &TUpdateFirmware::StatusChanged, this, &FirmwareController::ShowUpdateStatus);
    connect(thread, &TUpdateFirmware::ButtonsEnabled, this, &FirmwareController::EnableUpdateButtons);
    connect(thread, &QThread::finished, this, &FirmwareController::UpdateDone);
    running_ = thread;
    emit UpdateStarted();
    thread->start();
}

void FirmwareController::ShowUpdateStatus(const QString& text)
{
    if (auto* status = editor_.FieldAs<QLabel>(QStringLiteral("lbStatusCheck")))
        status->setText(text);
}

void FirmwareController::EnableUpdateButtons()
{
    SetEnabled("btDownloadFW", true);
    SetEnabled("btCheckFW", true);
}

void FirmwareController::UpdateDone()
{
    if (running_) {
        running_->wait();
        running_->deleteLater();
        running_ = nullptr;
    }
    // A failed download leaves the check open, so the user can look again.
    SetEnabled("btCheckFW", true);
    if (auto* onDisk = editor_.FieldAs<QLabel>(QStringLiteral("lbFWOnDisk")))
        onDisk->setText(QStringLiteral("Версия прошивки на диске:\r\n") + FindNewestFirmware());
    emit UpdateFinished();
}

void FirmwareController::btUpdateFWClick()
{
    if (disk_.path.size() < 2)
        return;
    // An argument vector needs no quoting: the path goes without its quotes.
    const QString path = QString::fromStdString(disk_.path.substr(1, disk_.path.size() - 2));
    if (!launcher_ || !launcher_(QString::fromLatin1(kLoaderProgram), {path}))
        dialogs_.Message(window_, kAppCaption, QStringLiteral("Не удалось запустить программу прошивки Flashporter"),
                         DialogService::Icon::Error);
}

} // namespace plendoro
