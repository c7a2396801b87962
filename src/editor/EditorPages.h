#pragma once
class QTabWidget;

namespace plendoro {

// Puts the editor's pages into the main page set, in their fixed order.
void AddEditorPages(QTabWidget* PageControl1);

class SettingsEditor;
// Creates the rule sets of every page; they register with the editor.
void CreateEditorRules(SettingsEditor& editor);

} // namespace plendoro
