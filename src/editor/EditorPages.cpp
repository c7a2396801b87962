#include "editor/EditorPages.h"

#include "AnalogPage.h"
#include "ControlPointsPage.h"
#include "DevicePage.h"
#include "ExtensionsPage.h"
#include "InputsPage.h"
#include "TransferPage.h"
#include "WifiPage.h"
#include "editor/Editor.h"
#include "editor/FieldFilters.h"
#include "editor/rules/AnalogRules.h"
#include "editor/rules/ControlPointRules.h"
#include "editor/rules/InputsRules.h"
#include "editor/rules/OneWireRules.h"
#include "editor/rules/Rs485Rules.h"
#include "editor/rules/RecordingRules.h"
#include "services/CanLists.h"

#include <QTabWidget>

namespace plendoro {

void AddEditorPages(QTabWidget* PageControl1)
{
    const QList<QWidget*> pages = {
        new DevicePage, new TransferPage, new WifiPage, new InputsPage,
        new AnalogPage, new ExtensionsPage, new ControlPointsPage,
    };
    for (QWidget* page : pages)
        PageControl1->addTab(page, page->windowTitle());
    // The control-point page is present but never offered.
    const int cp = PageControl1->indexOf(pages.back());
    PageControl1->setTabEnabled(cp, false);
    InstallFieldFilters(PageControl1);
}

void CreateEditorRules(TEditor& editor)
{
    // Each rule set registers itself with the editor, which owns it.
    new RecordingRules(editor);
    new InputsRules(editor);
    new AnalogRules(editor);
    new ControlPointRules(editor);
    new Rs485Rules(editor);
    new OneWireRules(editor);
    new CanLists(editor);
}

} // namespace plendoro
