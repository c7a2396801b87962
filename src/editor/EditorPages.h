#pragma once
class QTabWidget;

namespace plendoro {

// Puts the editor's pages into the main page set, in their fixed order.
void AddEditorPages(QTabWidget* PageControl1);

} // namespace plendoro
