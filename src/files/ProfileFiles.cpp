#include "files/FileCommands.h"

#include "common/AtomicFile.h"
#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "editor/Validation.h"
#include "editor/binding/FieldAccess.h"
#include "editor/binding/SettingsTransfer.h"
#include "files/core/Profile.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>
#include <vector>

namespace plendoro {

namespace {

const QString kSaveFilter = QStringLiteral("Kovaltrak Plendoro Profiles (*.kvp)");
const QString kOpenFilter = QStringLiteral("Kovaltrak Tracker Profiles (*.kvp)");
const QString kProfileExtension = QStringLiteral("kvp");
const QString kSaveFailed = QStringLiteral("Ошибка при сохранении профиля");
const QString kLoadFailed = QStringLiteral("Ошибка загрузки профиля");

void Status(const FilesContext& context, const QString& text, bool error)
{
    if (context.showStatus)
        context.showStatus(text, error);
}

LocalDateTime Now(const FilesContext& context)
{
    const QDateTime now = context.now ? context.now() : QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

std::string Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString ChooseSavePath(SettingsEditor& editor, const FilesContext& context)
{
    SaveDialogState fresh;
    SaveDialogState& dialog = context.saveDialog ? *context.saveDialog : fresh;
    if (dialog.initialDir.isEmpty())
        dialog.initialDir = ProfileFolder(context);
    return editor.Dialogs().SaveFile(context.parent, QStringLiteral("Сохранить как"), dialog.initialDir, kSaveFilter,
                                     kProfileExtension);
}

// Each block is encoded just before it is written, as the device write
// does, so the encoders' side effects on the editor happen in the same
// order and not at all when the file cannot be created.
bool WriteRecords(SettingsEditor& editor, const FilesContext& context, ProfileVersion version, AtomicFile& file)
{
    if (!file.Write(ProfileHeader(version)))
        return false;
    for (const ProfileRecordLayout& record : ProfileRecords(version)) {
        const std::vector<std::uint8_t> bytes =
            EncodeBlockFromEditor(editor, static_cast<BlockId>(record.blockId), LayoutOf(version),
                                  context.firmwareVersion, context.localHourOffset);
        if (bytes.size() != record.length)
            return false;
        std::string out;
        AppendProfileRecord(out, record.blockId, bytes);
        if (!file.Write(out))
            return false;
    }
    return file.Commit();
}

// The whole file is checked before its first block reaches the editor: a
// file cut short must not leave the user's edits half overwritten.
bool LoadRecords(SettingsEditor& editor, const FilesContext& context, ProfileVersion version,
                 std::span<const std::uint8_t> file)
{
    ProfileRecordReader reader(file);
    std::vector<std::pair<BlockId, std::span<const std::uint8_t>>> blocks;
    for (const ProfileRecordLayout& record : ProfileRecords(version)) {
        const auto bytes = reader.Next(record);
        const auto block = static_cast<BlockId>(record.blockId);
        // The decoders follow the firmware the editor works with, not the
        // one the profile was made for; only block 1's layout is the file's.
        if (!bytes || !BlockDecodes(block, *bytes, LayoutOf(version), context.firmwareVersion, context.localHourOffset))
            return false;
        blocks.emplace_back(block, *bytes);
    }
    for (const auto& [block, bytes] : blocks)
        if (!DecodeBlockIntoEditor(editor, block, bytes, LayoutOf(version), context.firmwareVersion,
                                   context.localHourOffset, false))
            return false;
    return true;
}

} // namespace

QString ProfileFolder(const FilesContext& context)
{
    return QString::fromStdString(ProfileFolderOf(context.kvdFolder.toStdString()));
}

namespace {
bool SaveProfileOf(SettingsEditor& editor, const FilesContext& context, std::int32_t serialNumber, bool announce)
{
    const QString folder = ProfileFolder(context);
    // A folder that cannot be made shows up as a file that cannot be created.
    QDir().mkpath(folder);

    QString path;
    if (serialNumber != 0) {
        path = folder + QString::fromStdString(AutomaticProfileName(serialNumber, Now(context)));
    } else {
        path = ChooseSavePath(editor, context);
        if (path.isEmpty())
            return false;
    }

    return SaveProfileAs(editor, context, path, announce);
}
} // namespace

QString AutomaticProfileFileName(const FilesContext& context)
{
    return QString::fromStdString(AutomaticProfileName(context.serialNumber, Now(context)));
}

bool SaveProfileAs(SettingsEditor& editor, const FilesContext& context, const QString& path, bool announce)
{
    AtomicFile file;
    if (!file.Create(Native(path)) ||
        !WriteRecords(editor, context, ProfileVersionFor(context.firmwareVersion), file)) {
        Status(context, kSaveFailed, true);
        return false;
    }
    if (announce)
        Status(context, QStringLiteral("Профиль успешно сохранен"), false);
    return true;
}

bool SaveProfile(SettingsEditor& editor, const FilesContext& context, std::int32_t serialNumber, bool announce)
{
    return SaveProfileOf(editor, context, serialNumber, announce);
}

bool LoadProfile(SettingsEditor& editor, const FilesContext& context, const QString& path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadProfileBytes(Native(path), bytes)) {
        Status(context, QStringLiteral("Не удалось открыть профиль"), true);
        return false;
    }
    const std::optional<ProfileVersion> version = ParseProfileHeader(bytes);
    const ProfileLoadVerdict verdict = VerdictFor(version, context.firmwareVersion);
    switch (verdict) {
    case ProfileLoadVerdict::UnknownVersion:
        Status(context, QStringLiteral("Неизвестная версия файла профиля"), true);
        return false;
    case ProfileLoadVerdict::RefuseNewer:
        editor.Dialogs().Message(context.parent, kAppCaption,
                                 QStringLiteral("Версия прошивки прибора меньше чем версия прошивки в профиле. "
                                                "Невозможно загрузить профиль."),
                                 DialogService::Icon::Error);
        return false;
    case ProfileLoadVerdict::Load:
    case ProfileLoadVerdict::LoadAndWarn: break;
    }
    if (!LoadRecords(editor, context, *version, bytes)) {
        Status(context, kLoadFailed, true);
        return false;
    }
    if (verdict == ProfileLoadVerdict::LoadAndWarn)
        editor.Dialogs().Message(
            context.parent, kAppCaption,
            QStringLiteral("Загруженный профиль создан для более старой версии прошивки. Проверьте настройки."),
            DialogService::Icon::Warning);
    Status(context, QStringLiteral("Профиль успешно загружен"), false);
    return true;
}

void mSaveProfileClick(SettingsEditor& editor, const FilesContext& context)
{
    if (ValidateSettings(editor))
        SaveProfile(editor, context, 0, true);
}

void mLoadProfileClick(SettingsEditor& editor, const FilesContext& context)
{
    const QString path = editor.Dialogs().OpenFile(context.parent, QStringLiteral("Открыть"), ProfileFolder(context),
                                                   kOpenFilter, QStringLiteral("kvp"));
    if (!path.isEmpty())
        LoadProfile(editor, context, path);
}

WrittenSettings CaptureWrittenSettings(SettingsEditor& editor, const FilesContext& context)
{
    WrittenSettings w;
    w.blocks = EncodeAllBlocks(editor, context.firmwareVersion, context.localHourOffset);
    FieldAccess f(editor);
    w.password = f.Text(QStringLiteral("edPassword"));
    w.server = f.Text(QStringLiteral("edServer"));
    w.port = f.Text(QStringLiteral("edServerPort"));
    return w;
}

void SaveFilesAfterWrite(SettingsEditor& editor, const FilesContext& context)
{
    SaveFilesAfterWrite(editor, context, CaptureWrittenSettings(editor, context));
}

void SaveFilesAfterWrite(SettingsEditor& editor, const FilesContext& context, const WrittenSettings& written)
{
    ReportFilesAfterWrite(context, WriteFilesAfterWrite(PrepareFilesAfterWrite(editor, context, written)));
}

FilesAfterWrite PrepareFilesAfterWrite(SettingsEditor& editor, const FilesContext& context,
                                       const WrittenSettings& written)
{
    FilesAfterWrite f;
    f.kvdFolder = Native(context.kvdFolder);
    f.makeKvdFolder = !context.defaultKvdFolder.isEmpty() &&
                      QDir::cleanPath(context.defaultKvdFolder) == QDir::cleanPath(context.kvdFolder);
    f.kvd.serialNumber = context.serialNumber;
    f.kvd.password = written.password;
    f.kvd.server = written.server;
    f.kvd.port = written.port;

    const QString folder = ProfileFolder(context);
    f.profileFolder = Native(folder);
    const QString path = context.serialNumber != 0
                             ? folder + QString::fromStdString(AutomaticProfileName(context.serialNumber, Now(context)))
                             : ChooseSavePath(editor, context);
    if (path.isEmpty())
        return f;
    f.profilePath = Native(path);
    const ProfileVersion version = ProfileVersionFor(context.firmwareVersion);
    f.profileBytes = std::string(ProfileHeader(version));
    for (const ProfileRecordLayout& record : ProfileRecords(version)) {
        const EncodedBlock* block = nullptr;
        for (const EncodedBlock& b : written.blocks)
            if (b.block == static_cast<BlockId>(record.blockId))
                block = &b;
        if (!block || block->bytes.size() != record.length) {
            f.profileComplete = false;
            break;
        }
        AppendProfileRecord(f.profileBytes, record.blockId, block->bytes);
    }
    return f;
}

FilesAfterWriteResult WriteFilesAfterWrite(const FilesAfterWrite& files)
{
    FilesAfterWriteResult r;
    std::error_code ignored;
    if (!std::filesystem::is_directory(files.kvdFolder, ignored)) {
        if (!files.makeKvdFolder) {
            r.kvdFolderMissing = true;
            return r;
        }
        // A folder that cannot be made shows up as files that cannot be created.
        std::filesystem::create_directories(files.kvdFolder, ignored);
    }
    r.kvd = WriteKvdFiles(files.kvdFolder, files.kvd);
    if (files.profilePath.empty())
        return r;
    // Made after the database files, as the profile save makes it; a folder
    // that cannot be made shows up as a file that cannot be created.
    std::filesystem::create_directories(files.profileFolder, ignored);
    AtomicFile file;
    if (!file.Create(files.profilePath))
        r.profile = FilesAfterWriteResult::Profile::NotCreated;
    else if (!files.profileComplete || !file.Write(files.profileBytes) || !file.Commit())
        r.profile = FilesAfterWriteResult::Profile::Failed;
    else
        r.profile = FilesAfterWriteResult::Profile::Saved;
    return r;
}

void ReportFilesAfterWrite(const FilesContext& context, const FilesAfterWriteResult& result)
{
    if (result.kvdFolderMissing) {
        Status(context,
               QStringLiteral("Каталог KVD файлов не найден: %1").arg(QDir::toNativeSeparators(context.kvdFolder)),
               true);
        return;
    }
    ReportKvdResult(context, result.kvd);
    if (result.profile == FilesAfterWriteResult::Profile::NotCreated ||
        result.profile == FilesAfterWriteResult::Profile::Failed)
        Status(context, kSaveFailed, true);
}

} // namespace plendoro
