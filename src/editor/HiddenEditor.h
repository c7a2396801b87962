#pragma once
// A second, hidden set of the editor's pages with the window's rules: the
// command line works in one, and the window decodes the other side of a
// comparison into one, so that the user's own editor is never touched.
#include "link/Identification.h"

#include <QString>
#include <QTabWidget>

namespace plendoro {

class DialogService;
class SettingsEditor;

class HiddenEditor {
public:
    explicit HiddenEditor(DialogService& dialogs);
    ~HiddenEditor();
    HiddenEditor(const HiddenEditor&) = delete;
    HiddenEditor& operator=(const HiddenEditor&) = delete;

    SettingsEditor& Editor() { return *editor_; }
    // What the window sets when it has identified this tracker, in the
    // order its presence display runs them.
    void PrepareFor(const DeviceIdentity& identity);
    // "page / caption" of a field, as the comparison names it; the object
    // name for a field outside the table.
    QString PlaceOf(QWidget* field);

private:
    QTabWidget pages_;
    SettingsEditor* editor_ = nullptr;
    bool present_ = false;
};

} // namespace plendoro
