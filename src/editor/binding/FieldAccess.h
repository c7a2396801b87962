#pragma once
// Reading and setting editor fields by name, with the original toolkit's
// event habits: list positions are set without running their rule; texts,
// ticks and radio buttons are set with their signals live, so a state that
// really changes runs its rule as the user's own change would.
#include "model/FormValues.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QWidget;

namespace plendoro {

class SettingsEditor;

// While one lives, every name FieldAccess looks up on this thread is noted
// and its setters change nothing: a dry run of the block encoders then
// tells which fields travel in the blocks without touching the editor.
class FieldReadRecorder {
public:
    FieldReadRecorder();
    ~FieldReadRecorder();
    FieldReadRecorder(const FieldReadRecorder&) = delete;
    FieldReadRecorder& operator=(const FieldReadRecorder&) = delete;

    // Each name once, in the order first looked up.
    const QStringList& Names() const { return names_; }
    static bool Active();
    // For values a block takes from the editor without a name lookup.
    static void Note(const QString& name);

private:
    FieldReadRecorder* outer_;
    QStringList names_;
};

class FieldAccess {
public:
    explicit FieldAccess(SettingsEditor& editor) : editor_(editor) {}

    SettingsEditor& Editor() const { return editor_; }
    QWidget* Find(const QString& name) const;

    std::string Text(const QString& name) const;
    void SetText(const QString& name, const std::string& text);
    int Index(const QString& name) const;
    void SetIndex(const QString& name, int index);
    int Count(const QString& name) const;
    bool Checked(const QString& name) const;
    void SetChecked(const QString& name, bool checked);
    // A radio group's checked button, -1 for none.
    int Radio(const QString& group) const;
    void SetRadio(const QString& group, int position);
    int Spin(const QString& name) const;
    void SetSpin(const QString& name, int value);
    TimeOfDay Time(const QString& name) const;
    void SetTime(const QString& name, TimeOfDay time);
    std::vector<std::string> Items(const QString& name) const;
    void SetItems(const QString& name, const std::vector<std::string>& items);
    bool Enabled(const QString& name) const;
    void SetEnabled(const QString& name, bool enabled);

    // "prefix" + n + "suffix".
    static QString Name(const char* prefix, int n, const char* suffix = "");

private:
    // The field a setter changes; none during a dry run.
    QWidget* Target(const QString& name) const;

    SettingsEditor& editor_;
};

} // namespace plendoro
