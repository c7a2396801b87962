#pragma once
// The editor as the editor tests drive it: the full page set, scripted
// dialogs, the settings editor over them, and the few gestures the tests
// use (a click, a list choice, typing, leaving a field, attaching a tracker).
//
// Every lookup of a field by name that finds nothing fails the test when the
// harness ends. The program skips a missing field silently, so a renamed
// field would otherwise make a rule quietly do nothing.
#include "ScriptedDialogs.h"
#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldLookup.h"
#include "editor/VersionGate.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QStringList>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace plendoro::test {

// Names the program may look up without finding them. Every entry needs the
// reason it is absent from the pages; the list is empty because every name
// the program asks for is on the pages.
inline const QStringList kAllowedFieldMisses = {};

// Texts as UTF-8, so that a failing comparison prints them readably.
inline std::string Utf8(const QString& s)
{
    return s.toStdString();
}

class EditorHarness {
public:
    // For a fixture that puts its own dialog service in front of the script
    // (to record what the script does not); null keeps the script itself.
    using DialogWrap = std::function<std::unique_ptr<DialogService>(ScriptedDialogs&)>;

    explicit EditorHarness(const DialogWrap& wrap = {}) : wrapped_(wrap ? wrap(dialogs) : nullptr)
    {
        editor.SetFieldMissHandler([this](const QString& name) {
            if (!kAllowedFieldMisses.contains(name))
                misses_ << name;
        });
    }
    virtual ~EditorHarness()
    {
        EXPECT_TRUE(misses_.isEmpty()) << "fields looked up by name but not on the pages: "
                                       << Utf8(misses_.join(QStringLiteral(", ")));
    }
    EditorHarness(const EditorHarness&) = delete;
    EditorHarness& operator=(const EditorHarness&) = delete;

    // The names looked up and not found so far; they no longer fail the test.
    QStringList TakeFieldMisses() { return std::exchange(misses_, {}); }

    static std::string Utf8(const QString& s) { return test::Utf8(s); }

    // A field of the pages, which must be there and of that class.
    template <typename T = QWidget>
    T* Field(const QString& name) const
    {
        QWidget* w = editor.Field(name);
        EXPECT_NE(w, nullptr) << Utf8(name) << " is not on the pages";
        T* typed = qobject_cast<T*>(w);
        EXPECT_TRUE(w == nullptr || typed != nullptr)
            << Utf8(name) << " is a " << w->metaObject()->className() << ", not a " << T::staticMetaObject.className();
        return typed;
    }
    QAbstractButton* Box(const QString& name) const { return Field<QAbstractButton>(name); }

    // The field's own enabled flag, whatever its page or group shows.
    bool IsOwnEnabled(const QString& name) const { return plendoro::IsOwnEnabled(Field(name)); }
    static bool IsOwnEnabled(const QWidget* w) { return plendoro::IsOwnEnabled(w); }

    // A list choice as the user makes it: the list's rule runs.
    void Choose(const QString& list, int position) const
    {
        QComboBox* combo = Field<QComboBox>(list);
        combo->setCurrentIndex(position);
        emit combo->activated(position);
    }
    // Replaces the text of a line edit key by key.
    void Type(const QString& field, const QString& text) const
    {
        QLineEdit* edit = Field<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Focus leaves the field, which runs its checks on leaving.
    void Leave(const QString& field) const
    {
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(Field(field), &out);
    }
    // As the window does when a tracker with this firmware is identified.
    void Attach(int firmware)
    {
        editor.SetFirmwareVersion(firmware);
        ApplyVersionGate(editor, firmware);
        editor.RefreshRules();
    }

    // Declared in this order on purpose: the miss list outlives the editor
    // whose lookups record into it, and the rule sets find their fields when
    // constructed, so the pages exist before the editor and its rules.
private:
    QStringList misses_;

public:
    QTabWidget pages;
    const bool pagesBuilt = (pages.setObjectName(QStringLiteral("PageControl1")), AddEditorPages(&pages), true);
    ScriptedDialogs dialogs;

private:
    std::unique_ptr<DialogService> wrapped_;

public:
    SettingsEditor editor{&pages, wrapped_ ? *wrapped_ : static_cast<DialogService&>(dialogs)};
};

// The fixture of the editor tests.
class EditorTest : public ::testing::Test, public EditorHarness {
protected:
    EditorTest() = default;
    explicit EditorTest(const DialogWrap& wrap) : EditorHarness(wrap) {}
};

} // namespace plendoro::test
