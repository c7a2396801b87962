#include "cli/Cli.h"

#include "app/core/AppSettings.h"
#include "app/core/IniFile.h"
#include "app/core/InstallLayout.h"
#include "cli/CliEditor.h"
#include "editor/FieldBalloon.h"
#include "editor/FieldTable.h"
#include "editor/Validation.h"
#include "editor/binding/SettingsTransfer.h"
#include "files/FileCommands.h"
#include "files/core/CommandFile.h"
#include "files/core/Profile.h"
#include "link/Identification.h"
#include "link/UsbLink.h"
#include "services/core/BlockTransfer.h"
#include "services/core/CommandGate.h"
#include "services/core/MemoryClearing.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

namespace plendoro::cli {

namespace {

const char* const kCommandHelp[][2] = {
    {"list", "list [--json]\n"
             "  Every attached tracker: serial number, MAC address, firmware version,\n"
             "  hardware version (from firmware 3.09) and the USB library in use. A\n"
             "  tracker that is listed but does not open says why.\n"},
    {"read", "read [-d SERIAL] [-o FILE]\n"
             "  Reads every settings block of the tracker and saves them as a profile,\n"
             "  by default named as the automatic profile is, in the current folder.\n"},
    {"write", "write [-d SERIAL] FILE [--no-files] [--kvd-folder DIR]\n"
              "  Loads the profile FILE, runs the checks before writing and writes every\n"
              "  block; then writes the server database files and the automatic profile\n"
              "  into the database folder of the settings (or DIR), unless --no-files.\n"},
    {"diff", "diff A B [--json]\n"
             "  One line per field that differs: page, caption, A's value, B's value. A\n"
             "  and B are each a profile file, \"device\" or \"device:SERIAL\".\n"},
    {"show", "show A [--json]\n"
             "  Every field of a profile or tracker (\"device\", \"device:SERIAL\") by page\n"
             "  and caption, in the window's order.\n"},
    {"export-kvc", "export-kvc FILE [-o OUT]\n"
                   "  Writes the command file of the profile FILE (by default beside it).\n"},
    {"clear", "clear [-d SERIAL] --yes\n"
              "  Clears the tracker's data memory, with its progress on standard error.\n"
              "  Without --yes nothing is touched.\n"},
};

std::string Text(const QString& s)
{
    return s.toStdString();
}

// The window's texts may end lines in CR LF; a terminal wants LF.
std::string Line(const QString& s)
{
    return Text(QString(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

struct Options {
    std::string command;
    std::vector<std::string> positional;
    std::vector<std::string> serials; // -d, in order
    std::string output;               // -o
    std::string kvdFolder;            // --kvd-folder
    bool json = false;
    bool help = false;
    bool noFiles = false;
    bool yes = false;
    std::string error; // a usage error
};

Options Parse(const std::vector<std::string>& args)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size())
                o.error = "option " + a + " needs a value";
            else
                into = args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--no-files") {
            o.noFiles = true;
        } else if (a == "--yes") {
            o.yes = true;
        } else if (a == "-d") {
            std::string serial;
            value(serial);
            if (!serial.empty())
                o.serials.push_back(serial);
        } else if (a == "-o") {
            value(o.output);
        } else if (a == "--kvd-folder") {
            value(o.kvdFolder);
        } else if (a.size() > 1 && a[0] == '-') {
            o.error = "unknown option " + a;
        } else if (o.command.empty()) {
            o.command = a;
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

const char* HelpOf(const std::string& command)
{
    for (const auto& [name, text] : kCommandHelp)
        if (command == name)
            return text;
    return nullptr;
}

// One run of a command: the streams, the hidden pages, the link and its gate.
class Session {
public:
    Session(Io& io, const Options& options) : io_(io), options_(options)
    {
        programFolder_ = io.programFolder.empty() ? ExecutableFolder() : io.programFolder;
        if (!programFolder_.empty() && programFolder_.back() != '/')
            programFolder_ += '/';
        dialogs_.SetSink([this](const QString& text) { Say(text); });
    }

    void Say(const QString& text) { io_.err << Line(text) << '\n'; }
    void Say(const std::string& text) { io_.err << text << '\n'; }

    // Progress on a terminal only, one line rewritten in place.
    void Progress(const QString& text)
    {
        if (!io_.errIsTerminal)
            return;
        io_.err << '\r' << Text(text) << "\x1b[K" << std::flush;
        progressShown_ = true;
    }
    void EndProgress()
    {
        if (progressShown_)
            io_.err << '\r' << "\x1b[K" << std::flush;
        progressShown_ = false;
    }

    FilesContext Context(const DeviceIdentity& identity, int firmware)
    {
        FilesContext c;
        c.firmwareVersion = firmware;
        c.serialNumber = identity.serialNumber;
        c.now = io_.now;
        c.showStatus = [this](const QString& text, bool error) {
            if (error)
                failedFile_ = true;
            Say(text);
        };
        return c;
    }
    bool FileFailed() const { return failedFile_; }
    CliDialogs& Dialogs() { return dialogs_; }

    // Binds the USB library as the window does; false with its text.
    bool Bind()
    {
        if (link_.IsBound())
            return true;
        if (!link_.Bind(nullptr, programFolder_)) {
            Say(QStringLiteral("Перед первым запуском программы подключите устройство к USB и установите драйвер."));
            return false;
        }
        link_.SetDescriptionPrefix(UsbLink::kDescriptionPrefix);
        return true;
    }
    UsbLink& Link() { return link_; }

    // Picks the tracker (-d, or the only one attached), pins the link to it
    // and identifies it. kDone, or the exit status with its message said.
    int Attach(std::string serial, DeviceIdentity& identity)
    {
        if (!Bind())
            return kNoTracker;
        const std::vector<UsbLink::ListedTracker> trackers = link_.ListTrackers();
        if (serial.empty()) {
            if (trackers.size() != 1) {
                Say(trackers.empty() ? QStringLiteral("Устройство не подключено")
                                     : QStringLiteral("Подключено несколько приборов, выберите один (-d):"));
                for (const UsbLink::ListedTracker& t : trackers)
                    Say("  " + t.serial);
                return kNoTracker;
            }
            serial = trackers.front().serial;
        }
        link_.PinSerial(serial);
        std::string serialText;
        if (!link_.Identify(&serialText)) {
            const std::string why = OpenFailureText(link_.LastOpenFailure());
            Say(why.empty() ? "Устройство не подключено: " + serial : why);
            return kNoTracker;
        }
        ApplySerial(identity, serialText);
        link_.SetConnected(true);
        if (!ReadVersions(link_, identity)) {
            Say(QStringLiteral("Ошибка чтения версии прошивки"));
            return kExchangeFailed;
        }
        return kDone;
    }

    TransferHooks Hooks(const QString& blockText)
    {
        TransferHooks hooks;
        hooks.onBlock = [this, blockText](int position, int count) { Progress(blockText.arg(position).arg(count)); };
        hooks.onRetry = [this](int attempt) {
            EndProgress();
            Say(QStringLiteral("Нет ответа прибора, попытка %1 из %2").arg(attempt).arg(kTransactAttempts));
        };
        return hooks;
    }

    // A tracker's blocks as read, before the pages take them.
    struct RawRead {
        DeviceRead result = DeviceRead::OpenFailed;
        std::string failure;
        std::vector<std::pair<BlockId, std::vector<std::uint8_t>>> blocks;
    };

    // Picks and identifies the tracker and, with `raw`, reads its blocks,
    // on a thread of its own while the pages are built here: building them
    // takes about as long as identifying the tracker. Then the pages get
    // what the window sets for this tracker, and the blocks in their order,
    // with the window's texts. kDone or the exit status.
    int AttachWithPages(const std::string& serial, DeviceIdentity& identity, std::unique_ptr<CliEditor>& pages,
                        bool read)
    {
        RawRead raw;
        int status = kDone;
        std::thread exchange([&] {
            status = Attach(serial, identity);
            if (status == kDone && read)
                ReadRaw(identity.firmwareVersion, raw);
        });
        pages = std::make_unique<CliEditor>(dialogs_);
        exchange.join();
        if (status != kDone)
            return status;
        pages->PrepareFor(identity);
        if (!read)
            return kDone;
        const int firmware = identity.firmwareVersion;
        for (const auto& [block, bytes] : raw.blocks)
            DecodeBlockIntoEditor(pages->Editor(), block, bytes, GenerationOf(firmware), firmware, 0, true);
        if (raw.result == DeviceRead::OpenFailed) {
            Say(QStringLiteral("Ошибка при открытии устройства"));
            return kExchangeFailed;
        }
        if (raw.result == DeviceRead::Failed) {
            Say(raw.failure);
            return kExchangeFailed;
        }
        Say(QStringLiteral("Настройки успешно считаны"));
        return kDone;
    }

    void ReadRaw(int firmware, RawRead& raw)
    {
        CommandGate::Ticket ticket = gate_.Begin(DeviceCommand::Read);
        raw.result = ReadDeviceBlocks(
            link_, SystemClock::Instance(), firmware,
            [&](BlockId block, std::vector<std::uint8_t> bytes) { raw.blocks.emplace_back(block, std::move(bytes)); },
            Hooks(QStringLiteral("Чтение настроек: блок %1 из %2")), raw.failure);
        gate_.End(ticket);
        EndProgress();
    }

    CommandGate& Gate() { return gate_; }
    const Options& Opts() const { return options_; }
    Io& Streams() { return io_; }
    const std::string& ProgramFolder() const { return programFolder_; }

private:
    Io& io_;
    const Options& options_;
    std::string programFolder_;
    CliDialogs dialogs_;
    UsbLink link_;
    CommandGate gate_;
    bool progressShown_ = false;
    bool failedFile_ = false;
};

// The checks' failure, naming the field by page and caption.
void SayCheckFailure(Session& session, CliEditor& pages)
{
    const FieldBalloon& balloon = FieldBalloon::Instance();
    QString where;
    if (QWidget* field = balloon.Field())
        where = pages.PlaceOf(field);
    session.Say(where.isEmpty() ? balloon.text() : where + QStringLiteral(": ") + balloon.text());
    HideBallon();
}

// A profile into the pages at the firmware given; the window's load and its
// texts. kDone or kFileFailed.
int LoadInto(Session& session, CliEditor& pages, const std::string& file, const DeviceIdentity& identity, int firmware)
{
    FilesContext context = session.Context(identity, firmware);
    if (!LoadProfile(pages.Editor(), context, QString::fromStdString(file)))
        return kFileFailed;
    return kDone;
}

// One side of a comparison: a profile or a tracker in its own pages.
struct Side {
    std::unique_ptr<CliEditor> pages;
    int firmware = kNoDeviceFirmwareVersion;
};

int LoadSide(Session& session, const std::string& what, Side& side)
{
    if (what == "device" || what.rfind("device:", 0) == 0) {
        DeviceIdentity identity;
        const int read =
            session.AttachWithPages(what.size() > 7 ? what.substr(7) : std::string(), identity, side.pages, true);
        side.firmware = identity.firmwareVersion;
        return read;
    }
    side.pages = std::make_unique<CliEditor>(session.Dialogs());
    std::vector<std::uint8_t> bytes;
    if (!ReadProfileBytes(QFile::encodeName(QString::fromStdString(what)).toStdString(), bytes)) {
        session.Say(QStringLiteral("Не удалось открыть профиль"));
        return kFileFailed;
    }
    const std::optional<ProfileVersion> version = ParseProfileHeader(bytes);
    if (!version) {
        session.Say(QStringLiteral("Неизвестная версия файла профиля"));
        return kFileFailed;
    }
    side.firmware = NewestFirmwareOf(*version);
    DeviceIdentity identity;
    identity.firmwareVersion = side.firmware;
    side.pages->PrepareFor(identity);
    return LoadInto(session, *side.pages, what, identity, side.firmware);
}

// Whether the command got its file arguments; otherwise its usage is said.
bool Arguments(Session& session, std::size_t count, const char* command)
{
    if (session.Opts().positional.size() == count)
        return true;
    session.Say(std::string("usage: plendoro-cli ") + HelpOf(command));
    return false;
}

int List(Session& session)
{
    if (!session.Bind())
        return kNoTracker;
    QJsonArray rows;
    const std::string library = session.Link().LibraryFile();
    for (const UsbLink::ListedTracker& t : session.Link().ListTrackers()) {
        DeviceIdentity identity;
        session.Link().PinSerial(t.serial);
        std::string why;
        std::string serialText;
        if (!session.Link().Identify(&serialText)) {
            why = OpenFailureText(session.Link().LastOpenFailure());
            if (why.empty())
                why = "Ошибка при открытии устройства";
        } else {
            ApplySerial(identity, serialText);
            session.Link().SetConnected(true);
            if (!ReadVersions(session.Link(), identity))
                why = "Ошибка чтения версии прошивки";
        }
        session.Link().SetConnected(false);
        const bool known = why.empty();
        const std::string mac = known ? FormatMac(identity.mac) : std::string();
        const std::string firmware = known ? FormatFirmware(identity.firmwareMajor, identity.firmwareMinor) : "";
        const bool hasHardware = known && identity.hardwareVersionRead && identity.firmwareVersion >= 309;
        QJsonObject row{{QStringLiteral("serial"), QString::fromStdString(t.serial)},
                        {QStringLiteral("mac"), QString::fromStdString(mac)},
                        {QStringLiteral("firmware"), QString::fromStdString(firmware)},
                        {QStringLiteral("hardware"), hasHardware ? QJsonValue(identity.hardwareVersion) : QJsonValue()},
                        {QStringLiteral("library"), QString::fromStdString(library)}};
        if (!known)
            row.insert(QStringLiteral("error"), QString::fromStdString(why));
        rows.append(row);
        if (!session.Opts().json) {
            const auto or_dash = [](const std::string& s) { return s.empty() ? std::string("-") : s; };
            session.Streams().out << t.serial << '\t' << or_dash(mac) << '\t' << or_dash(firmware) << '\t'
                                  << (hasHardware ? std::to_string(identity.hardwareVersion) : "-") << '\t' << library;
            if (!known)
                session.Streams().out << '\t' << why;
            session.Streams().out << '\n';
        }
    }
    if (session.Opts().json)
        session.Streams().out << QJsonDocument(rows).toJson(QJsonDocument::Indented).toStdString();
    return kDone;
}

std::string OneSerial(const Options& o)
{
    return o.serials.empty() ? std::string() : o.serials.front();
}

int Read(Session& session)
{
    const Options& o = session.Opts();
    DeviceIdentity identity;
    std::unique_ptr<CliEditor> pages;
    if (const int read = session.AttachWithPages(OneSerial(o), identity, pages, true); read != kDone)
        return read;
    FilesContext context = session.Context(identity, identity.firmwareVersion);
    const QString path = o.output.empty() ? AutomaticProfileFileName(context) : QString::fromStdString(o.output);
    if (!SaveProfileAs(pages->Editor(), context, path, true))
        return kFileFailed;
    session.Streams().out << Text(path) << '\n';
    return kDone;
}

// The database folder: --kvd-folder, else the settings' LastKvdFolder in
// the layout the window uses (read, never written); empty when neither.
std::string DatabaseFolder(Session& session)
{
    if (!session.Opts().kvdFolder.empty())
        return NormaliseFolder(session.Opts().kvdFolder);
    const SettingsPlace place = ChooseSettingsPlace(session.ProgramFolder());
    IniFile ini(place.folder + kSettingsFileName);
    const AppSettings settings = ReadAppSettingsWithKvdDefault(ini, place.kvdDefault);
    return settings.kvdFolder;
}

int Write(Session& session)
{
    const Options& o = session.Opts();
    if (!Arguments(session, 1, "write"))
        return kUsage;
    std::string folder;
    if (!o.noFiles) {
        folder = DatabaseFolder(session);
        if (folder.empty()) {
            session.Say(QStringLiteral("Каталог KVD файлов не выбран: укажите --kvd-folder или --no-files"));
            return kFileFailed;
        }
    }
    DeviceIdentity identity;
    std::unique_ptr<CliEditor> owned;
    if (const int attached = session.AttachWithPages(OneSerial(o), identity, owned, false); attached != kDone)
        return attached;
    CliEditor& pages = *owned;
    if (const int loaded = LoadInto(session, pages, o.positional.front(), identity, identity.firmwareVersion);
        loaded != kDone)
        return loaded;

    // The window's order: the device is opened, then the checks run.
    CommandGate::Ticket ticket = session.Gate().Begin(DeviceCommand::Write);
    if (!session.Link().Open()) {
        session.Gate().End(ticket);
        session.Say(QStringLiteral("Ошибка при открытии устройства"));
        return kExchangeFailed;
    }
    if (!ValidateSettings(pages.Editor())) {
        session.Link().Close();
        session.Gate().End(ticket);
        SayCheckFailure(session, pages);
        return kChecksFailed;
    }
    FilesContext context = session.Context(identity, identity.firmwareVersion);
    context.kvdFolder = QString::fromStdString(folder);
    context.defaultKvdFolder =
        QString::fromStdString(NormaliseFolder(ChooseSettingsPlace(session.ProgramFolder()).kvdDefault));
    const WrittenSettings written = CaptureWrittenSettings(pages.Editor(), context);
    const int code = WriteDeviceBlocks(session.Link(), SystemClock::Instance(), written.blocks,
                                       session.Hooks(QStringLiteral("Запись настроек: блок %1 из %2")));
    session.Gate().End(ticket);
    session.EndProgress();
    session.Say(WriteResultText(code));
    if (code != 0)
        return kExchangeFailed;
    if (o.noFiles)
        return kDone;
    ReportFilesAfterWrite(context, WriteFilesAfterWrite(PrepareFilesAfterWrite(pages.Editor(), context, written)));
    return session.FileFailed() ? kFileFailed : kDone;
}

int Clear(Session& session)
{
    const Options& o = session.Opts();
    if (!o.yes) {
        session.Say(QStringLiteral("Очистка стирает память прибора: подтвердите её ключом --yes"));
        return kUsage;
    }
    DeviceIdentity identity;
    if (const int attached = session.Attach(OneSerial(o), identity); attached != kDone)
        return attached;
    CommandGate::Ticket ticket = session.Gate().Begin(DeviceCommand::Clear);
    session.Say(QStringLiteral("Очистка памяти прибора"));
    ClearResult result = ClearResult::OpenFailed;
    if (session.Link().Open()) {
        result = ClearMemory(session.Link(), [&](int percent) {
            session.Progress(QStringLiteral("Стирание памяти: выполнено %1%").arg(percent));
        });
        session.Link().Close();
    }
    session.Gate().End(ticket);
    session.EndProgress();
    if (result != ClearResult::Done) {
        session.Say(QStringLiteral("Ошибка %1 при очистке памяти прибора").arg(static_cast<int>(result)));
        return kExchangeFailed;
    }
    session.Say(QStringLiteral("Память прибора очищена"));
    return kDone;
}

int ExportKvc(Session& session)
{
    const Options& o = session.Opts();
    if (!Arguments(session, 1, "export-kvc"))
        return kUsage;
    Side side;
    if (const int loaded = LoadSide(session, o.positional.front(), side); loaded != kDone)
        return loaded;
    QString out = QString::fromStdString(o.output);
    if (out.isEmpty()) {
        const QFileInfo profile(QString::fromStdString(o.positional.front()));
        out = profile.dir().filePath(profile.completeBaseName() + QStringLiteral(".kvc"));
    }
    session.Dialogs().AnswerSave(out);
    DeviceIdentity identity;
    if (!ExportCommandFile(side.pages->Editor(), session.Context(identity, side.firmware)))
        return kFileFailed;
    session.Streams().out << Text(QString::fromStdString(CommandFileName(QFile::encodeName(out).toStdString())))
                          << '\n';
    return kDone;
}

int Show(Session& session)
{
    const Options& o = session.Opts();
    if (!Arguments(session, 1, "show"))
        return kUsage;
    Side side;
    if (const int loaded = LoadSide(session, o.positional.front(), side); loaded != kDone)
        return loaded;
    SettingsEditor& editor = side.pages->Editor();
    QJsonObject fields;
    for (const FieldRow& row : FieldTable(editor)) {
        const bool present = row.minVersion <= side.firmware;
        const QString value = present ? ShownValue(editor, row) : kNotInVersion;
        if (o.json)
            fields.insert(row.name, QJsonObject{{QStringLiteral("page"), row.page},
                                                {QStringLiteral("caption"), row.caption},
                                                {QStringLiteral("value"), value}});
        else
            session.Streams().out << Text(row.page) << '\t' << Text(row.caption) << '\t' << Line(value) << '\n';
    }
    if (o.json)
        session.Streams().out << QJsonDocument(fields).toJson(QJsonDocument::Indented).toStdString();
    return kDone;
}

int Diff(Session& session)
{
    const Options& o = session.Opts();
    if (!Arguments(session, 2, "diff"))
        return kUsage;
    Side a, b;
    if (const int loaded = LoadSide(session, o.positional[0], a); loaded != kDone)
        return loaded;
    if (const int loaded = LoadSide(session, o.positional[1], b); loaded != kDone)
        return loaded;
    const std::vector<Difference> differences = Compare(a.pages->Editor(), a.firmware, b.pages->Editor(), b.firmware);
    QJsonArray rows;
    for (const Difference& d : differences) {
        QString va = d.a, vb = d.b;
        if (d.kind == Difference::Kind::Added)
            va = QStringLiteral("-"), vb = QStringLiteral("добавлен: ") + d.b;
        else if (d.kind == Difference::Kind::Removed)
            va = QStringLiteral("удалён: ") + d.a, vb = QStringLiteral("-");
        if (o.json)
            rows.append(QJsonObject{{QStringLiteral("field"), d.field.name},
                                    {QStringLiteral("page"), d.field.page},
                                    {QStringLiteral("caption"), d.field.caption},
                                    {QStringLiteral("a"), va},
                                    {QStringLiteral("b"), vb}});
        else
            session.Streams().out << Text(d.field.page) << '\t' << Text(d.field.caption) << '\t' << Line(va) << '\t'
                                  << Line(vb) << '\n';
    }
    if (o.json)
        session.Streams().out << QJsonDocument(rows).toJson(QJsonDocument::Indented).toStdString();
    return differences.empty() ? kDone : kDiffers;
}

} // namespace

std::string Usage()
{
    std::string text = "Usage: plendoro-cli COMMAND [OPTIONS]\n"
                       "Configures Kovaltrak WiFi trackers without a window, as Plendoro does.\n"
                       "\n"
                       "Commands:\n";
    for (const auto& [name, help] : kCommandHelp) {
        // The command's line at two, its description at six.
        std::string entry = std::string("  ") + help;
        for (std::size_t at = entry.find("\n  "); at != std::string::npos && at + 3 < entry.size();
             at = entry.find("\n  ", at + 5))
            entry.insert(at + 1, "    ");
        text += entry;
    }
    text += "\n"
            "Options:\n"
            "  -d SERIAL  the tracker with this serial number (needed when several are attached)\n"
            "  --json     results as JSON on standard output\n"
            "  --help     this text; after a command, that command's\n"
            "\n"
            "Exit status: 0 done, 1 differences found (diff only), 2 usage error,\n"
            "3 no tracker or not the one asked for, 4 checks before writing failed,\n"
            "5 exchange with the tracker failed, 6 a file could not be read or written.\n"
            "Results go to standard output, messages to standard error.\n";
    return text;
}

int Run(const std::vector<std::string>& args, Io& io)
{
    const Options options = Parse(args);
    if (options.help) {
        if (const char* help = HelpOf(options.command))
            io.out << "Usage: plendoro-cli " << help;
        else
            io.out << Usage();
        return kDone;
    }
    if (!options.error.empty() || options.command.empty() || !HelpOf(options.command)) {
        io.err << "plendoro-cli: "
               << (!options.error.empty()    ? options.error
                   : options.command.empty() ? std::string("no command")
                                             : "unknown command " + options.command)
               << "\n"
               << Usage();
        return kUsage;
    }
    Session session(io, options);
    const std::map<std::string, int (*)(Session&)> commands = {
        {"list", List},   {"read", Read}, {"write", Write}, {"diff", Diff}, {"show", Show}, {"export-kvc", ExportKvc},
        {"clear", Clear},
    };
    return commands.at(options.command)(session);
}

} // namespace plendoro::cli
