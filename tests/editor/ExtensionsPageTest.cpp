// Page "Расширения" and its three inner pages "RS485", "1-Wire" and "CAN":
// their assembly and layout. The fields are in tests/data/forms.snapshot.

#include "editor/pages/ExtensionsPage.h"
#include "PageChecks.h"
#include "editor/pages/CanPage.h"
#include "editor/pages/OneWirePage.h"
#include "editor/pages/Rs485Page.h"

#include <QCheckBox>
#include <QTabWidget>
#include <QToolButton>

using namespace pagetest;

using namespace plendoro;

namespace {

TEST(ExtensionsPage, HoldsRs485OneWireAndCanInThisOrder)
{
    ExtensionsPage page;
    EXPECT_EQ(Utf8(page.objectName()), "TabSheet11");
    EXPECT_EQ(Utf8(page.windowTitle()), "Расширения");

    auto* set = page.findChild<QTabWidget*>("PageControl2");
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->count(), 3);
    EXPECT_EQ(Utf8(set->tabText(0)), "RS485");
    EXPECT_EQ(Utf8(set->tabText(1)), "1-Wire");
    EXPECT_EQ(Utf8(set->tabText(2)), "CAN");
    EXPECT_EQ(set->widget(0), page.rs485Page());
    EXPECT_EQ(set->widget(1), page.oneWirePage());
    EXPECT_EQ(set->widget(2), page.canPage());
    EXPECT_EQ(Utf8(page.rs485Page()->objectName()), "tsRS485");
    EXPECT_EQ(Utf8(page.oneWirePage()->objectName()), "tsOneWire");
    EXPECT_EQ(Utf8(page.canPage()->objectName()), "tsCAN");
    EXPECT_EQ(set->currentIndex(), 0);
}

// A name must be unique across the whole outer page: the editor finds fields
// by name from the main page set down, and the first hit wins.
TEST(ExtensionsPage, FieldNamesAreUniqueAcrossTheInnerPages)
{
    ExtensionsPage page;
    QSet<QString> seen;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        EXPECT_FALSE(seen.contains(name)) << name.toStdString();
        seen << name;
    }
}

TEST(ExtensionsPage, EveryInnerPageFitsWithoutClipping)
{
    ExtensionsPage page;
    auto* set = page.findChild<QTabWidget*>("PageControl2");
    ASSERT_NE(set, nullptr);
    for (int i = 0; i < set->count(); ++i) {
        SCOPED_TRACE(set->tabText(i).toStdString());
        set->setCurrentIndex(i);
        ExpectNothingClipped(&page, QSize(880, 520));
    }
}

// The 1-Wire block coder composes the slot names and looks them up inside
// the temperature group only.
TEST(OneWirePage, TemperatureSlotsLiveInGbItemp)
{
    OneWirePage page;
    auto* group = page.findChild<QGroupBox*>("gbItemp");
    ASSERT_NE(group, nullptr);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_NE(group->findChild<QCheckBox*>(QStringLiteral("cbItempAddr%1").arg(n)), nullptr) << n;
        EXPECT_NE(group->findChild<QLineEdit*>(QStringLiteral("edItempAddr%1").arg(n)), nullptr) << n;
    }
}

// The main window paints the round tool buttons with 16 x 16 pictures of its
// own; the form leaves them imageless at a fixed size.
TEST(CanPage, ToolButtonsAreFixedSizeAndImageless)
{
    CanPage page;
    for (const char* name : {"tbCANCommonAdd", "tbCANCommonDel", "tbCANUserLeft", "tbCANUserRight"}) {
        SCOPED_TRACE(name);
        auto* b = page.findChild<QToolButton*>(name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->minimumSize(), QSize(24, 24));
        EXPECT_EQ(b->maximumSize(), QSize(24, 24));
        EXPECT_TRUE(b->icon().isNull());
    }
}

} // namespace
