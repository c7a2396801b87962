#include "editor/EditorPages.h"

#include "editor/Editor.h"
#include "editor/FieldFilters.h"
#include "editor/pages/AnalogPage.h"
#include "editor/pages/ControlPointsPage.h"
#include "editor/pages/DevicePage.h"
#include "editor/pages/ExtensionsPage.h"
#include "editor/pages/InputsPage.h"
#include "editor/pages/TransferPage.h"
#include "editor/pages/WifiPage.h"
#include "editor/rules/AnalogRules.h"
#include "editor/rules/CanListRules.h"
#include "editor/rules/ControlPointRules.h"
#include "editor/rules/InputsRules.h"
#include "editor/rules/OneWireRules.h"
#include "editor/rules/RecordingRules.h"
#include "editor/rules/Rs485Rules.h"

#include "common/FirmwareTable.h"

#include <QComboBox>
#include <QLayout>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace plendoro {

void AddEditorPages(QTabWidget* PageControl1)
{
    const QList<QWidget*> pages = {
        new DevicePage, new TransferPage,   new WifiPage,          new InputsPage,
        new AnalogPage, new ExtensionsPage, new ControlPointsPage,
    };
    for (QWidget* page : pages)
        PageControl1->addTab(page, page->windowTitle());
    // The control-point page is present but never offered.
    const int cp = PageControl1->indexOf(pages.back());
    PageControl1->setTabEnabled(cp, false);
    InstallFieldFilters(PageControl1);
}

void MakePagesScrollable(QTabWidget* pages)
{
    for (int i = 0; i < pages->count(); ++i) {
        QWidget* page = pages->widget(i);
        const QList<QTabWidget*> sets = page->findChildren<QTabWidget*>();
        if (!sets.isEmpty()) {
            // The page sets right below this one scroll their own pages.
            for (QTabWidget* set : sets) {
                QWidget* up = set->parentWidget();
                while (up && !qobject_cast<QTabWidget*>(up))
                    up = up->parentWidget();
                if (up == pages)
                    MakePagesScrollable(set);
            }
            continue;
        }
        if (!page->layout())
            continue;
        auto* fields = new QWidget;
        fields->setObjectName(page->objectName() + QStringLiteral("_fields"));
        // Takes the page's layout, and with it every field, into the holder.
        fields->setLayout(page->layout());
        auto* scroll = new QScrollArea(page);
        scroll->setObjectName(page->objectName() + QStringLiteral("_scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(fields);
        // The page's own colour shows through, as before.
        scroll->viewport()->setAutoFillBackground(false);
        fields->setAutoFillBackground(false);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(scroll);
    }
}

void CreateEditorRules(SettingsEditor& editor)
{
    // Each rule set registers itself with the editor, which owns it.
    new RecordingRules(editor);
    new InputsRules(editor);
    new AnalogRules(editor);
    new ControlPointRules(editor);
    new Rs485Rules(editor);
    new OneWireRules(editor);
    new CanListRules(editor);
}

void RebuildSendLists(SettingsEditor& editor, int firmwareVersion)
{
    auto rebuild = [](QComboBox* list, const QStringList& items) {
        if (!list)
            return;
        const int previous = list->currentIndex();
        QSignalBlocker block(list);
        list->clear();
        list->addItems(items);
        list->setCurrentIndex(previous >= 0 && previous < items.size() ? previous : 0);
    };
    QStringList methods{QStringLiteral("Периодическая передача"), QStringLiteral("Передача по времени"),
                        QStringLiteral("Совмещенная передача")};
    if (firmwareVersion >= 300)
        methods << QStringLiteral("Непрерывная передача");
    rebuild(editor.FieldAs<QComboBox>(QStringLiteral("cbSendMethod")), methods);
    rebuild(editor.FieldAs<QComboBox>(QStringLiteral("cbEncrypt")),
            {QStringLiteral("Без шифрования"), QStringLiteral("WEP64"), QStringLiteral("WEP128")});
}

void ApplyHardwareRule(SettingsEditor& editor, int hardwareVersion)
{
    const bool glonass = HasGlonassReceiver(hardwareVersion);
    if (QWidget* w = editor.Field(QStringLiteral("intGlonass")))
        w->setEnabled(glonass);
    if (QWidget* w = editor.Field(QStringLiteral("cbStaticNav")))
        w->setEnabled(!glonass);
}

} // namespace plendoro
