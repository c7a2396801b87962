#pragma once
// An editor with every page and rule set, a KVD folder of its own and a
// status line that records what it was told: the ground the profile,
// database file and command file tests stand on.
#include "../core/FilesSupport.h"
#include "EditorHarness.h"
#include "editor/FieldBalloon.h"
#include "editor/rules/AnalogRules.h"
#include "editor/rules/CanListRules.h"
#include "editor/rules/InputsRules.h"
#include "files/FileCommands.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace files_test {

using namespace plendoro;
using test::Utf8;

struct StatusLine {
    QString text;
    bool error = false;
    bool operator==(const StatusLine&) const = default;
};

// Hands every dialog to the script and keeps what the file dialogs were
// given as filter and default extension, which the script does not.
class FileDialogs final : public DialogService {
public:
    explicit FileDialogs(ScriptedDialogs& script) : script_(script) {}
    void Message(QWidget* p, const QString& caption, const QString& text, Icon icon) override
    {
        script_.Message(p, caption, text, icon);
    }
    bool Ask(QWidget* p, const QString& caption, const QString& text, Icon icon = Icon::Question,
             Answer byDefault = Answer::Yes) override
    {
        return script_.Ask(p, caption, text, icon, byDefault);
    }
    QString ChooseFolder(QWidget* p, const QString& title, const QString& start) override
    {
        return script_.ChooseFolder(p, title, start);
    }
    QString OpenFile(QWidget* p, const QString& title, const QString& folder, const QString& filter,
                     const QString& suffix = QString()) override
    {
        filters << filter;
        return script_.OpenFile(p, title, folder, filter, suffix);
    }
    QString SaveFile(QWidget* p, const QString& title, const QString& folder, const QString& filter,
                     const QString& suffix, bool askOverwrite = true) override
    {
        filters << filter + QStringLiteral(" | ") + suffix + (askOverwrite ? QString() : QStringLiteral(" | no-ask"));
        return script_.SaveFile(p, title, folder, filter, suffix, askOverwrite);
    }
    QStringList filters;

private:
    ScriptedDialogs& script_;
};

// Every value a field holds (not its enabled state), by component name.
using Snapshot = std::map<std::string, std::string>;

class FilesFixture : public test::EditorTest {
protected:
    FilesFixture()
        : EditorTest([](ScriptedDialogs& script) { return std::make_unique<FileDialogs>(script); }),
          fileDialogs(static_cast<FileDialogs&>(editor.Dialogs()))
    {
        // Whatever the shared rule factory does not create yet, the test
        // adds, so every rule a load runs is there.
        CreateEditorRules(editor);
        if (!editor.inputs)
            new InputsRules(editor);
        if (!editor.analog)
            new AnalogRules(editor);
        if (!editor.can)
            new CanListRules(editor);
        kvdFolder = tempDir.path() + QStringLiteral("/kvd/");
        QDir().mkpath(kvdFolder);
    }
    ~FilesFixture() override { HideBallon(); }

    FilesContext Context(int firmware, std::int32_t serial = 123)
    {
        FilesContext c;
        c.kvdFolder = kvdFolder;
        c.firmwareVersion = firmware;
        c.serialNumber = serial;
        c.localHourOffset = 3;
        c.now = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
        c.showStatus = [this](const QString& text, bool error) { status.push_back({text, error}); };
        c.saveDialog = &saveDialog;
        return c;
    }

    QString ProfilesFolder() const { return kvdFolder + QStringLiteral("Profiles/"); }

    QLineEdit* Edit(const char* name) const { return Field<QLineEdit>(name); }
    QAbstractButton* Button(const char* name) const { return Box(name); }
    QComboBox* List(const char* name) const { return Field<QComboBox>(name); }
    void PressDefaults() { Button("LoadDefault")->click(); }

    Snapshot Take() const
    {
        Snapshot s;
        for (QWidget* w : pages.findChildren<QWidget*>()) {
            const std::string name = Utf8(w->objectName());
            if (name.empty() || name.rfind("qt_", 0) == 0)
                continue;
            if (auto* e = qobject_cast<QLineEdit*>(w))
                s[name] = Utf8(e->text());
            else if (auto* t = qobject_cast<QTimeEdit*>(w))
                s[name] = Utf8(t->time().toString(QStringLiteral("HH:mm")));
            else if (auto* n = qobject_cast<QSpinBox*>(w))
                s[name] = std::to_string(n->value());
            else if (auto* c = qobject_cast<QComboBox*>(w))
                s[name] = std::to_string(c->currentIndex());
            else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable())
                s[name] = b->isChecked() ? "on" : "off";
            else if (auto* l = qobject_cast<QListWidget*>(w)) {
                std::string items;
                for (int i = 0; i < l->count(); ++i)
                    items += Utf8(l->item(i)->text()) + "|";
                s[name] = items;
            } else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
                s[name] = Utf8(p->toPlainText());
        }
        s["dX"] = std::to_string(editor.Accelerometer().x);
        s["dY"] = std::to_string(editor.Accelerometer().y);
        s["dZ"] = std::to_string(editor.Accelerometer().z);
        std::string found;
        for (const TCANId_V3& c : editor.can->FoundCanParameters())
            found += std::to_string(c.Id) + "/" + std::to_string(c.Used) + "/" + std::to_string(c.Order) + "/" +
                     std::to_string(c.Window) + " ";
        s["FoundCanParameters"] = found;
        return s;
    }

    static std::string Diff(const Snapshot& expected, const Snapshot& actual)
    {
        std::string d;
        for (const auto& [name, value] : expected) {
            auto it = actual.find(name);
            const std::string other = it == actual.end() ? "<none>" : it->second;
            if (other != value)
                d += name + ": " + value + " -> " + other + "\n";
        }
        return d;
    }

    static QByteArray ReadFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QStringList FilesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    FileDialogs& fileDialogs;
    QTemporaryDir tempDir;
    QString kvdFolder;
    SaveDialogState saveDialog;
    std::vector<StatusLine> status;
};

} // namespace files_test
