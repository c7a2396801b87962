// Page "Настройки прибора": where the presets and page buttons sit, the
// receiver mode, the dormant firmware group and the layout. The fields are
// in tests/data/forms.snapshot.

#include "editor/pages/DevicePage.h"
#include "PageChecks.h"

using namespace pagetest;

using namespace plendoro;

namespace {

const char* kRecord = "Запись координат";
const char* kFirmware = "Прошивка";

TEST(DevicePage, IsNamedAfterItsTab)
{
    DevicePage page;
    EXPECT_EQ(page.objectName(), "BaseSettings");
    EXPECT_EQ(page.windowTitle(), "Настройки прибора");
}

TEST(DevicePage, PresetsSitInsideTheRecordingGroupAndPageButtonsOutsideAnyGroup)
{
    DevicePage page;
    auto* presets = EnclosingGroup(page.findChild<QWidget*>("Button1"));
    ASSERT_NE(presets, nullptr);
    ASSERT_NE(EnclosingGroup(presets), nullptr);
    EXPECT_EQ(EnclosingGroup(presets)->title(), kRecord);
    for (const char* name : {"intGlonass", "LoadDefault", "btnClearData"}) {
        QWidget* w = page.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(EnclosingGroup(w), nullptr) << name;
    }
}

TEST(DevicePage, ReceiverModesAreExclusive)
{
    DevicePage page;
    auto* glonass = page.findChild<QGroupBox*>("intGlonass");
    ASSERT_NE(glonass, nullptr);
    const auto modes = RadioItems(glonass);
    ASSERT_EQ(modes.size(), 3);
    modes[2]->setChecked(true);
    EXPECT_EQ(CheckedRadio(glonass), 2);
    modes[1]->setChecked(true);
    EXPECT_EQ(CheckedRadio(glonass), 1);
}

TEST(DevicePage, FirmwareGroupStartsHidden)
{
    DevicePage page;
    page.show();
    auto* firmware = page.findChild<QGroupBox*>("gbFirmware");
    ASSERT_NE(firmware, nullptr);
    EXPECT_EQ(firmware->title(), kFirmware);
    EXPECT_TRUE(firmware->isHidden());
    EXPECT_FALSE(page.findChild<QWidget*>("btCheckFW")->isVisible());
}

TEST(DevicePage, FitsItsAreaWithAndWithoutTheFirmwareGroup)
{
    DevicePage page;
    ExpectNothingClipped(&page, QSize(880, 520));
    page.findChild<QGroupBox*>("gbFirmware")->show();
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
