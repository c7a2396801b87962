// The user manual and its window: every tab the user can open has a
// chapter, every picture and link of the manual resolves, and F1 opens the
// chapter of the page being shown.
#include "app/Manual.h"
#include "WindowFixture.h"
#include "app/HelpWindow.h"
#include "editor/EditorPages.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBrowser>

namespace windowtest {
namespace {

// Tab sets whose every page the user can open needs a chapter; the
// control-point page is never offered.
const QStringList kDocumentedSets = {QStringLiteral("PageControl1"), QStringLiteral("pcInputs"),
                                     QStringLiteral("PageControl2")};

QStringList TabsToDocument(QTabWidget& pages)
{
    QList<QTabWidget*> sets{&pages};
    sets += pages.findChildren<QTabWidget*>();
    QStringList tabs;
    for (QTabWidget* set : sets) {
        if (!kDocumentedSets.contains(set->objectName()))
            continue;
        for (int i = 0; i < set->count(); ++i)
            if (set->isTabEnabled(i))
                tabs << set->widget(i)->objectName();
    }
    return tabs;
}

// What is wrong with a manual, one line per fault.
QStringList ManualFaults(const Manual& manual, const QStringList& tabs)
{
    QStringList faults;
    for (const QString& tab : tabs)
        if (manual.ChapterOfTab(tab) < 0)
            faults << QStringLiteral("no chapter for the tab ") + tab;
    const QDir dir(manual.Folder());
    for (const ManualChapter& chapter : manual.Chapters()) {
        QFile f(dir.filePath(chapter.file));
        f.open(QIODevice::ReadOnly);
        for (const ManualReference& ref : LocalReferences(QString::fromUtf8(f.readAll()))) {
            // The help window follows no fragment, so a link must name a file.
            const bool found = !ref.target.contains(QLatin1Char('#')) && QFileInfo(dir.filePath(ref.target)).isFile();
            if (!found)
                faults << QStringLiteral("%1: %2 %3").arg(chapter.file, ref.picture ? "picture" : "link", ref.target);
        }
    }
    return faults;
}

struct ManualFixture : TransferFixture {
    QString programManual() const { return dir.path() + QStringLiteral("/manual"); }
    void WriteChapter(const QString& folder, const QString& name, const QByteArray& text)
    {
        QDir().mkpath(folder);
        QFile f(folder + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QStringList PageTabs()
    {
        QTabWidget pages;
        pages.setObjectName(QStringLiteral("PageControl1"));
        AddEditorPages(&pages);
        return TabsToDocument(pages);
    }
    // Opens every set of pages on the way down to the tab.
    void OpenTab(const QString& name)
    {
        QWidget* tab = form->findChild<QWidget*>(name);
        ASSERT_NE(tab, nullptr) << name.toStdString();
        for (QWidget* w = tab; w && w->parentWidget(); w = w->parentWidget())
            if (auto* set = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()))
                set->setCurrentWidget(w);
    }
};

TEST_F(ManualFixture, TheManualCoversEveryTabAndResolvesEveryReference)
{
    Manual manual;
    ASSERT_TRUE(manual.Load(QStringLiteral(PLENDORO_MANUAL_SOURCE)));
    const QStringList tabs = PageTabs();
    EXPECT_GE(tabs.size(), 11) << tabs.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(tabs.contains(QStringLiteral("TabSheet3")));
    EXPECT_EQ(ManualFaults(manual, tabs).join(QLatin1Char('\n')).toStdString(), "");
}

// The check itself must catch each kind of fault.
TEST_F(ManualFixture, TheCheckCatchesBrokenManuals)
{
    struct Case {
        const char* chapter;
        QString fault; // empty: none
    } cases[] = {
        {"# A\n<!-- tabs: tsCAN -->\n![shot](shot.png)\n[next](02-b.md)\n[site](https://example.org/x.md)\n", {}},
        {"# A\n<!-- tabs: tsCAN -->\n![shot](missing.png)\n", QStringLiteral("01-a.md: picture missing.png")},
        {"# A\n<!-- tabs: tsCAN -->\n[next](03-gone.md)\n", QStringLiteral("01-a.md: link 03-gone.md")},
        {"# A\n<!-- tabs: tsCAN -->\n[next](02-b.md#part)\n", QStringLiteral("01-a.md: link 02-b.md#part")},
        {"# A\n<!-- tabs: tsRS485 -->\n", QStringLiteral("no chapter for the tab tsCAN")},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        WriteChapter(folder.path(), QStringLiteral("01-a.md"), c.chapter);
        WriteChapter(folder.path(), QStringLiteral("02-b.md"), "# B\n");
        WriteChapter(folder.path(), QStringLiteral("shot.png"), "png");
        Manual manual;
        ASSERT_TRUE(manual.Load(folder.path()));
        EXPECT_EQ(ManualFaults(manual, {QStringLiteral("tsCAN")}).join(QLatin1Char('\n')), c.fault) << c.chapter;
    }
}

TEST_F(ManualFixture, ChaptersAreReadInNameOrderAndSearchedAsShown)
{
    WriteChapter(dir.path(), QStringLiteral("02-b.md"), "# Запись\n\nНастройки **успешно  записаны**.\n");
    WriteChapter(dir.path(), QStringLiteral("01-a.md"), "Без заголовка. УСПЕШНО ЗАПИСАНЫ и успешно записаны.\n");
    WriteChapter(dir.path(), QStringLiteral("notes.txt"), "успешно записаны");
    Manual manual;
    ASSERT_TRUE(manual.Load(dir.path()));
    ASSERT_EQ(manual.Chapters().size(), 2);
    EXPECT_EQ(manual.Chapters()[0].title, QStringLiteral("01-a.md"));
    EXPECT_EQ(manual.Chapters()[1].title, QStringLiteral("Запись"));
    struct Case {
        QString query;
        QList<std::pair<int, int>> hits; // chapter, count
    } cases[] = {
        {QStringLiteral("успешно записаны"), {{0, 2}, {1, 1}}}, // Cyrillic case, markup, doubled space
        {QStringLiteral("  Запись "), {{1, 1}}},
        {QStringLiteral("**"), {}}, // markup is not text
        {QStringLiteral(" "), {}},
    };
    for (const Case& c : cases) {
        QList<std::pair<int, int>> got;
        for (const ManualHit& h : manual.Search(c.query))
            got.append({h.chapter, h.count});
        EXPECT_EQ(got, c.hits) << c.query.toStdString();
    }
    EXPECT_FALSE(Manual().Load(dir.path() + QStringLiteral("/nothing")));
}

TEST_F(ManualFixture, F1OpensTheChapterOfThePageShown)
{
    ASSERT_TRUE(QFile::link(QStringLiteral(PLENDORO_MANUAL_SOURCE), programManual()));
    Start(403);
    Manual manual;
    ASSERT_TRUE(manual.Load(programManual()));
    auto* action = form->findChild<QAction*>(QStringLiteral("mManual"));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::Key_F1));
    for (const QString& tab : PageTabs()) {
        OpenTab(tab);
        EXPECT_TRUE(THelpForm::ShownTabs(form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))).contains(tab));
        action->trigger();
        ASSERT_NE(form->Help(), nullptr);
        const int chapter = manual.ChapterOfTab(tab);
        EXPECT_EQ(form->Help()->ShownChapter(), chapter) << tab.toStdString();
        auto* text = form->Help()->findChild<QTextBrowser*>(QStringLiteral("ManualText"));
        EXPECT_EQ(text->source().fileName(), manual.Chapters()[chapter].file) << tab.toStdString();
        EXPECT_FALSE(text->toPlainText().isEmpty());
        EXPECT_TRUE(text->toPlainText().contains(manual.Chapters()[chapter].title));
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ManualFixture, TheSearchWalksThroughEveryChapterThatHoldsTheWords)
{
    WriteChapter(programManual(), QStringLiteral("01-a.md"), "# A\n\nпрошивка\n");
    WriteChapter(programManual(), QStringLiteral("02-b.md"), "# B\n\nничего\n");
    WriteChapter(programManual(), QStringLiteral("03-c.md"), "# C\n\nПрошивка и прошивка\n");
    Start(403);
    form->findChild<QAction*>(QStringLiteral("mManual"))->trigger();
    THelpForm* help = form->Help();
    ASSERT_NE(help, nullptr);
    auto* search = help->findChild<QLineEdit*>(QStringLiteral("edManualSearch"));
    auto* found = help->findChild<QListWidget*>(QStringLiteral("lbManualFound"));
    search->setText(QStringLiteral("прошивка"));
    ASSERT_EQ(found->count(), 2);
    EXPECT_EQ(found->item(1)->text(), QStringLiteral("C (2)"));
    // Enter: the place in A, then both places in C, then A again.
    const int expected[] = {0, 2, 2, 0};
    for (int chapter : expected) {
        QTest::keyClick(search, Qt::Key_Return);
        EXPECT_EQ(help->ShownChapter(), chapter);
        EXPECT_TRUE(help->findChild<QTextBrowser*>()->textCursor().hasSelection());
    }
    search->setText(QStringLiteral("нет такого"));
    ASSERT_EQ(found->count(), 1);
    EXPECT_EQ(found->item(0)->text(), QStringLiteral("Ничего не найдено"));
}

TEST_F(ManualFixture, WithoutTheManualF1SaysWhereItLooked)
{
    struct Case {
        Layout layout;
        QString folder;
    } cases[] = {
        {Layout::Portable, dir.path() + QStringLiteral("/manual/")},
        {Layout::Installed, kInstalledManualFolder},
    };
    for (const Case& c : cases) {
        if (c.layout == Layout::Installed && QFileInfo::exists(kInstalledManualFolder))
            continue; // a package installed on this machine
        TMainForm::Options o;
        o.programFolder = dir.path();
        o.link = &link;
        o.dialogs = &dialogs;
        o.watchDevices = false;
        o.settingsPlace = SettingsPlace{c.layout, (dir.path() + QStringLiteral("/cfg/")).toStdString(),
                                        (dir.path() + QStringLiteral("/KVD/")).toStdString()};
        form = std::make_unique<TMainForm>(o);
        form->show();
        Settle(*form);
        dialogs.shown.clear();
        form->findChild<QAction*>(QStringLiteral("mManual"))->trigger();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Kovaltrak Plendoro"));
        EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Не найдено руководство пользователя: ") + c.folder);
        EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Error);
        EXPECT_EQ(form->Help(), nullptr);
        form.reset();
    }
}

} // namespace
} // namespace windowtest
