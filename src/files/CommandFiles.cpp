#include "files/FileCommands.h"

#include "common/FileIo.h"
#include "editor/Dialogs.h"
#include "editor/Editor.h"
#include "editor/binding/EditorBinding.h"
#include "editor/binding/FieldAccess.h"

#include <QComboBox>
#include <QFile>

namespace plendoro {

CommandFileValues ReadCommandFileValues(SettingsEditor& editor)
{
    CommandFileValues v;
    v.main = ReadMainConfValues(editor);
    v.net = ReadNetConfValues(editor);
    v.inputs = ReadInputsConfValues(editor);
    v.rs485 = ReadRs485ConfValues(editor);
    v.oneWire = ReadOneWireConfValues(editor);

    FieldAccess f(editor);
    v.edSendPeriodEnabled = f.Enabled(QStringLiteral("edSendPeriod"));
    for (int i = 0; i < static_cast<int>(kTransferTimeCount); ++i) {
        v.edSendTimeEnabled[i] = f.Enabled(FieldAccess::Name("edSendTime", i + 1));
        v.edOnTimeEnabled[i] = f.Enabled(FieldAccess::Name("edOnTime", i + 1));
    }
    if (auto* speed = editor.FieldAs<QComboBox>(QStringLiteral("cbRS485Speed")))
        v.cbRS485SpeedText = speed->currentText().toStdString();
    return v;
}

bool ExportCommandFile(SettingsEditor& editor, const FilesContext& context)
{
    // No default extension, no initial folder: the extension is added below.
    const QString chosen = editor.Dialogs().SaveFile(context.parent, QStringLiteral("Сохранить как"), QString(),
                                                     QStringLiteral("Kovaltrak Command (*.kvc)"), QString(),
                                                     /*askOverwrite=*/false);
    if (chosen.isEmpty())
        return false;
    const std::string path = CommandFileName(QFile::encodeName(chosen).toStdString());
    const std::string bytes = CommandFileBytes(BuildKVCConf(ReadCommandFileValues(editor)));
    if (!WriteFileAtomically(path, bytes)) {
        if (context.showStatus)
            context.showStatus(QStringLiteral("Не удалось сохранить KVC файл"), true);
        return false;
    }
    return true;
}

void mSaveKVCClick(SettingsEditor& editor, const FilesContext& context)
{
    ExportCommandFile(editor, context);
}

} // namespace plendoro
