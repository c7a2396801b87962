#pragma once
// Finding a field among the pages by its component name, and what a found
// field's state means. Code that has the editor asks SettingsEditor::Field,
// which goes through here.
#include <QString>

class QWidget;

namespace plendoro {

// A field's own enabled flag, as the rules set it; a field inside a
// disabled group keeps its own flag.
bool IsOwnEnabled(const QWidget* w);

// Depth-first over the container's children in order: groups, page sets,
// pages and plain panels are searched, other children are compared by name.
QWidget* FindFieldByName(const QString& name, QWidget* container);

// Brings forward every page holding the field (nested page sets too).
void BringPagesForward(QWidget* field);

} // namespace plendoro
