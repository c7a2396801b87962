#pragma once
// Profiles, server database files and command files, worked on the editor.
// The main window owns the menu items and the write command; it calls these
// with a FilesContext describing the device and the program's state.
#include "editor/StatusSink.h"
#include "files/core/CommandFile.h"
#include "files/core/KvdFiles.h"
#include "link/Identification.h"
#include "services/core/BlockTransfer.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace plendoro {

class SettingsEditor;

// What the profile save dialog keeps between uses: it is pointed at the
// profile folder only while it has no folder yet.
struct SaveDialogState {
    QString initialDir;
};

struct FilesContext {
    QString kvdFolder;                              // KvdFolder, ending in one "/"
    int firmwareVersion = kNoDeviceFirmwareVersion; // the version the editor works with
    std::int32_t serialNumber = 0;                  // of the identified device
    int localHourOffset = 0;                        // LocalHourOffset
    std::function<QDateTime()> now;                 // local time; empty: the system clock
    StatusSink showStatus;                          // the status line: text, error flag
    QWidget* parent = nullptr;                      // of the dialogs
    SaveDialogState* saveDialog = nullptr;          // null: a fresh dialog every time
    // The layout's own database folder (the program's folder + "KVD/"),
    // made when missing; a folder the user chose never is, since it may be
    // a share that is not mounted. Empty: none.
    QString defaultKvdFolder;
};

// KvdFolder + "Profiles/".
QString ProfileFolder(const FilesContext& context);

// Writes the editor to a profile. A serial number other than 0 names the
// file after the device and the current time in the profile folder; 0 lets
// the user choose. With announce, success is reported in the status line;
// failures to write always are, a file that cannot be created never.
bool SaveProfile(SettingsEditor& editor, const FilesContext& context, std::int32_t serialNumber, bool announce);
// The automatic profile's file name for the context's device and time.
QString AutomaticProfileFileName(const FilesContext& context);
// The same into a named file.
bool SaveProfileAs(SettingsEditor& editor, const FilesContext& context, const QString& path, bool announce);
// Fills the editor from a profile, record by record. The whole file is
// checked first: a bad record fails the load with the editor untouched.
bool LoadProfile(SettingsEditor& editor, const FilesContext& context, const QString& path);

// "Сохранить профиль настроек": the checks before writing, then a save
// through the dialog.
void mSaveProfileClick(SettingsEditor& editor, const FilesContext& context);
// "Загрузить профиль настроек": the open dialog in the profile folder.
void mLoadProfileClick(SettingsEditor& editor, const FilesContext& context);

// The two server database files for context.serialNumber, from the
// password, server and port fields. Reports failures in the status line.
bool WriteKvdFiles(SettingsEditor& editor, const FilesContext& context);
bool WriteKvdFiles(const FilesContext& context, const std::string& password, const std::string& server,
                   const std::string& port);
// The status text of a failed database file write; nothing when written.
void ReportKvdResult(const FilesContext& context, KvdWriteResult result);

// What one write sent to the tracker, taken from the editor at the moment
// it was encoded: the blocks, and the fields the database files hold.
struct WrittenSettings {
    std::vector<EncodedBlock> blocks;
    std::string password; // edPassword
    std::string server;   // edServer, as typed
    std::string port;     // edServerPort, as typed
};
// Encodes every block of the context's firmware version and takes the
// database fields, in that order.
WrittenSettings CaptureWrittenSettings(SettingsEditor& editor, const FilesContext& context);

// What follows every successful write of all settings blocks: the database
// files, then, whatever became of them, the automatic profile. Both are
// made from what was written, so they hold exactly what the tracker stores.
void SaveFilesAfterWrite(SettingsEditor& editor, const FilesContext& context, const WrittenSettings& written);
// The same from the editor as it stands now.
void SaveFilesAfterWrite(SettingsEditor& editor, const FilesContext& context);

// The same in three steps, so that the disk is written off the window's
// thread: names, time and (for a tracker without a serial number) the save
// dialog on the window's thread; the writing on any thread; the status
// texts on the window's thread again.
struct FilesAfterWrite {
    std::string kvdFolder;
    KvdValues kvd;
    std::string profileFolder;
    std::string profilePath;  // empty: no profile (the dialog was cancelled)
    std::string profileBytes; // the whole file
    bool profileComplete = true;
    bool makeKvdFolder = false; // the default folder: made when missing
};
struct FilesAfterWriteResult {
    bool kvdFolderMissing = false; // and nothing was written
    KvdWriteResult kvd = KvdWriteResult::Written;
    enum class Profile { Skipped, NotCreated, Failed, Saved } profile = Profile::Skipped;
};
FilesAfterWrite PrepareFilesAfterWrite(SettingsEditor& editor, const FilesContext& context,
                                       const WrittenSettings& written);
FilesAfterWriteResult WriteFilesAfterWrite(const FilesAfterWrite& files);
void ReportFilesAfterWrite(const FilesContext& context, const FilesAfterWriteResult& result);

// "Сохранить KVC файл".
void mSaveKVCClick(SettingsEditor& editor, const FilesContext& context);
// Asks for a name and writes the command file; false when cancelled or
// not written (the latter reported in the status line).
bool ExportCommandFile(SettingsEditor& editor, const FilesContext& context);
// The fields the command file is made from, as they stand.
CommandFileValues ReadCommandFileValues(SettingsEditor& editor);

} // namespace plendoro
