#pragma once
// The fields that travel in the settings blocks, one row each as the user
// finds them on the pages, and a field-by-field comparison of two editors
// through those rows. The command line's diff and show and the window's
// "Различия" dialog print their lines from here, so both say the same.
#include <QString>

#include <vector>

namespace plendoro {

class SettingsEditor;

struct FieldRow {
    // The field's objectName; a radio group's is the group's.
    QString name;
    // The tab captions that lead to it, joined by " / ".
    QString page;
    // The title of the nearest titled group box around it, empty when none.
    QString group;
    // The caption the user sees beside it; prefixed with "<group>: " when it
    // occurs more than once on its page.
    QString caption;
    enum class Kind { Text, Check, Choice, Radio, List } kind = Kind::Text;
    // The field's "minVersion" property, -1 when it has none.
    int minVersion = -1;
};

// Every field the block encoders of the newest firmware read, in the pages'
// order: page by page as the tabs stand, then as the page's layouts place
// them, row by row and left to right. Building it changes nothing in the
// editor.
std::vector<FieldRow> FieldTable(SettingsEditor& editor);

// The value as the window shows it: a text or time field's text, a check
// box "да" or "нет", a list's chosen item ("" for none), a radio group's
// chosen button, a list box's items joined by ", ".
QString ShownValue(SettingsEditor& editor, const FieldRow& row);

// What stands in for a field the other side's firmware does not have.
inline const QString kNotInVersion = QStringLiteral("нет в этой версии");

struct Difference {
    FieldRow field;
    enum class Kind { Changed, Added, Removed, OnlyInA, OnlyInB } kind = Kind::Changed;
    // Changed: both shown values. Added: the entry in b. Removed: the entry
    // in a. OnlyInA, OnlyInB: the value of the side that has the field, and
    // kNotInVersion on the other.
    QString a, b;
};

// Compares two editors through a's table, in its order. A field newer than
// one side's firmware is reported once as only in the other side (skipped
// when neither has it); list boxes are compared as sets of their lines, one
// Added or Removed per line (b's additions first); every other field is one
// Changed when the shown values differ. Neither editor is changed.
std::vector<Difference> Compare(SettingsEditor& a, int firmwareA, SettingsEditor& b, int firmwareB);

} // namespace plendoro
