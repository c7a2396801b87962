#pragma once
class QTabWidget;

namespace plendoro {

// Puts the editor's pages into the main page set, in their fixed order.
void AddEditorPages(QTabWidget* PageControl1);

// Gives every page that holds no page set of its own a scroll area around
// its fields, so that the window fits a small screen: a page taller than the
// room left scrolls instead of squashing its fields. The page widgets, their
// names and their fields stay the same objects.
void MakePagesScrollable(QTabWidget* pages);

class SettingsEditor;
// Creates the rule sets of every page; they register with the editor.
void CreateEditorRules(SettingsEditor& editor);

// What an identified tracker sets on the pages besides the version gate:
// the transfer methods and encryptions its firmware offers (the choices
// keep their positions where they still can), and the navigation receiver
// its hardware has.
void RebuildSendLists(SettingsEditor& editor, int firmwareVersion);
void ApplyHardwareRule(SettingsEditor& editor, int hardwareVersion);

} // namespace plendoro
