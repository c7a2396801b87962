// Page "Контрольные точки": the dormant control-point editor. All fields start
// disabled, the page itself is disabled and its page set hidden; the three
// control points share one set of fields on the first page.

#include "editor/pages/ControlPointsPage.h"
#include "PageChecks.h"

#include <QTabBar>
#include <QTabWidget>

using namespace pagetest;

using namespace plendoro;

namespace {

TEST(ControlPointsPage, IsDisabledWithAHiddenPageSetOfThreePoints)
{
    ControlPointsPage page;
    EXPECT_EQ(Utf8(page.objectName()), "TabSheet3");
    EXPECT_EQ(Utf8(page.windowTitle()), "Контрольные точки");
    EXPECT_TRUE(page.testAttribute(Qt::WA_Disabled));

    auto* set = page.findChild<QTabWidget*>("CPPageControl");
    ASSERT_NE(set, nullptr);
    EXPECT_TRUE(set->isHidden());
    ASSERT_EQ(set->count(), 3);
    EXPECT_EQ(Utf8(set->tabText(0)), "Контрольная точка 1");
    EXPECT_EQ(Utf8(set->tabText(1)), "Контрольная точка 2");
    EXPECT_EQ(Utf8(set->tabText(2)), "Контрольная точка 3");
    EXPECT_EQ(set->currentIndex(), 0);
}

// The show rule moves one set of fields between the three pages, so the set
// exists once, on the first page, and the other pages start empty.
TEST(ControlPointsPage, SharedFieldsStartOnTheFirstPageOnly)
{
    ControlPointsPage page;
    auto* set = page.findChild<QTabWidget*>("CPPageControl");
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->count(), 3);
    int fields = 0;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        // The page set's own parts: its pages, stack and tab bar.
        if (w == set || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) ||
            set->indexOf(w) >= 0 || qobject_cast<QTabBar*>(w->parentWidget()))
            continue;
        EXPECT_TRUE(set->widget(0)->isAncestorOf(w)) << Utf8(w->objectName());
        ++fields;
    }
    EXPECT_GT(fields, 0);
    EXPECT_TRUE(set->widget(1)->findChildren<QWidget*>().isEmpty());
    EXPECT_TRUE(set->widget(2)->findChildren<QWidget*>().isEmpty());
}

// The page set stays hidden in the program; laid out as if it were shown,
// its fields must still fit the page.
TEST(ControlPointsPage, FitsItsAreaWhenItsPageSetIsShown)
{
    ControlPointsPage page;
    auto* set = page.findChild<QTabWidget*>("CPPageControl");
    ASSERT_NE(set, nullptr);
    set->show();
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
