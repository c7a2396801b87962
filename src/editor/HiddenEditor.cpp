#include "editor/HiddenEditor.h"

#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldTable.h"
#include "editor/VersionGate.h"

namespace plendoro {

HiddenEditor::HiddenEditor(DialogService& dialogs)
{
    AddEditorPages(&pages_);
    editor_ = new SettingsEditor(&pages_, dialogs, &pages_);
    CreateEditorRules(*editor_);
    editor_->SetDevicePresence([this] { return present_; });
    if (editor_->can)
        editor_->can->ClearCanParameters();
    editor_->RefreshRules();
}

HiddenEditor::~HiddenEditor() = default;

void HiddenEditor::PrepareFor(const DeviceIdentity& identity)
{
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

QString HiddenEditor::PlaceOf(QWidget* field)
{
    for (const FieldRow& row : FieldTable(*editor_))
        if (editor_->Field(row.name) == field || (field && field->parentWidget() == editor_->Field(row.name)))
            return row.page + QStringLiteral(" / ") + row.caption;
    return field ? field->objectName() : QString();
}

} // namespace plendoro
