// Page "Настройки WiFI": the two independent radio choices and the layout.
// The fields are in tests/data/forms.snapshot.

#include "editor/pages/WifiPage.h"
#include "PageChecks.h"

using namespace pagetest;

using namespace plendoro;

namespace {

TEST(WifiPage, IsNamedAfterItsTab)
{
    WifiPage page;
    EXPECT_EQ(page.objectName(), "TabSheet1");
    EXPECT_EQ(page.windowTitle(), "Настройки WiFI");
}

// The address mode and the network type are two separate choices: picking
// one must not clear the other.
TEST(WifiPage, AddressModeAndNetworkTypeChooseIndependently)
{
    WifiPage page;
    auto* dhcp = page.findChild<QRadioButton*>("rbDHCPIp");
    auto* manual = page.findChild<QRadioButton*>("rbManualIp");
    auto* type = page.findChild<QGroupBox*>("rgWiFiType");
    ASSERT_TRUE(dhcp && manual && type);

    manual->setChecked(true);
    EXPECT_FALSE(dhcp->isChecked());
    EXPECT_EQ(CheckedRadio(type), 0);

    RadioItems(type)[1]->setChecked(true);
    EXPECT_TRUE(manual->isChecked());
    EXPECT_EQ(CheckedRadio(type), 1);

    dhcp->setChecked(true);
    EXPECT_FALSE(manual->isChecked());
    EXPECT_EQ(CheckedRadio(type), 1);
}

TEST(WifiPage, FitsItsArea)
{
    WifiPage page;
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
