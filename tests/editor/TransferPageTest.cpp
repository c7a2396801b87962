// Page "Передача данных": the transfer times, the dormant control-point
// transfer group and the layout. The fields are in tests/data/forms.snapshot.

#include "editor/pages/TransferPage.h"
#include "PageChecks.h"

#include <QTimeEdit>

#include <string>

using namespace pagetest;

using namespace plendoro;

namespace {

TEST(TransferPage, IsNamedAfterItsTab)
{
    TransferPage page;
    EXPECT_EQ(page.objectName(), "TabSheet15");
    EXPECT_EQ(page.windowTitle(), "Передача данных");
}

TEST(TransferPage, TransferTimesShowHoursAndMinutesFromMidnight)
{
    TransferPage page;
    for (const char* name : {"edSendTime1", "edSendTime2", "edSendTime3"}) {
        auto* t = page.findChild<QTimeEdit*>(name);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->displayFormat(), "HH:mm") << name;
        EXPECT_EQ(t->time(), QTime(0, 0)) << name;
        EXPECT_EQ(t->text(), "00:00") << name;
    }
}

TEST(TransferPage, ControlPointGroupStartsHiddenAndDisabled)
{
    TransferPage page;
    page.show();
    auto* points = page.findChild<QGroupBox*>("gbSendEvCP");
    ASSERT_NE(points, nullptr);
    EXPECT_TRUE(points->isHidden());
    EXPECT_FALSE(points->isEnabled());
    EXPECT_FALSE(page.findChild<QWidget*>("cbSendEvCP1")->isVisible());
    EXPECT_TRUE(page.findChild<QWidget*>("gbSendEvtIn")->isVisible());
}

TEST(TransferPage, FitsItsAreaWithAndWithoutTheControlPointGroup)
{
    TransferPage page;
    ExpectNothingClipped(&page, QSize(880, 520));
    page.findChild<QGroupBox*>("gbSendEvCP")->show();
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
