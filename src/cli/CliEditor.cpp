#include "cli/CliEditor.h"

#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldTable.h"
#include "editor/VersionGate.h"

namespace plendoro::cli {

void CliDialogs::Message(QWidget*, const QString&, const QString& text, Icon)
{
    if (sink_)
        sink_(text);
}

bool CliDialogs::Ask(QWidget*, const QString&, const QString& text, Icon, Answer)
{
    if (sink_)
        sink_(text + QStringLiteral(" Нет"));
    return false;
}

CliEditor::CliEditor(DialogService& dialogs)
{
    AddEditorPages(&pages_);
    editor_ = new SettingsEditor(&pages_, dialogs, &pages_);
    CreateEditorRules(*editor_);
    editor_->SetDevicePresence([this] { return present_; });
    if (editor_->can)
        editor_->can->ClearCanParameters();
    editor_->RefreshRules();
}

CliEditor::~CliEditor() = default;

void CliEditor::PrepareFor(const DeviceIdentity& identity)
{
    // In the order the window's presence display runs them.
    present_ = true;
    editor_->SetFirmwareVersion(identity.firmwareVersion);
    editor_->SetHardwareVersion(identity.hardwareVersion);
    ApplyVersionGate(*editor_, identity.firmwareVersion);
    editor_->RefreshRules();
    if (editor_->can)
        editor_->can->ClearCanParameters();
    RebuildSendLists(*editor_, identity.firmwareVersion);
    ApplyHardwareRule(*editor_, identity.hardwareVersion);
}

QString CliEditor::PlaceOf(QWidget* field)
{
    for (const FieldRow& row : FieldTable(*editor_))
        if (editor_->Field(row.name) == field || (field && field->parentWidget() == editor_->Field(row.name)))
            return row.page + QStringLiteral(" / ") + row.caption;
    return field ? field->objectName() : QString();
}

int NewestFirmwareOf(ProfileVersion version)
{
    switch (version) {
    case ProfileVersion::V10: return 299;
    case ProfileVersion::V30: return 304;
    case ProfileVersion::V35: return 402;
    case ProfileVersion::V43: return kNoDeviceFirmwareVersion;
    }
    return kNoDeviceFirmwareVersion;
}

} // namespace plendoro::cli
