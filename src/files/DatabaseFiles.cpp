#include "files/FileCommands.h"

#include "editor/binding/FieldAccess.h"
#include "files/core/KvdFiles.h"

#include <QFile>

namespace plendoro {

bool WriteKvdFiles(SettingsEditor& editor, const FilesContext& context)
{
    FieldAccess f(editor);
    return WriteKvdFiles(context, f.Text(QStringLiteral("edPassword")), f.Text(QStringLiteral("edServer")),
                         f.Text(QStringLiteral("edServerPort")));
}

bool WriteKvdFiles(const FilesContext& context, const std::string& password, const std::string& server,
                   const std::string& port)
{
    KvdValues v;
    v.serialNumber = context.serialNumber;
    v.password = password;
    v.server = server;
    v.port = port;

    const KvdWriteResult result = WriteKvdFiles(QFile::encodeName(context.kvdFolder).toStdString(), v);
    ReportKvdResult(context, result);
    return result == KvdWriteResult::Written;
}

void ReportKvdResult(const FilesContext& context, KvdWriteResult result)
{
    QString failure;
    switch (result) {
    case KvdWriteResult::Written: return;
    case KvdWriteResult::DeviceFileFailed: failure = QStringLiteral("Не удалось создать KVD файл"); break;
    case KvdWriteResult::ServerFileFailed: failure = QStringLiteral("Не удалось создать серверный KVD файл"); break;
    }
    if (context.showStatus)
        context.showStatus(failure, true);
}

} // namespace plendoro
