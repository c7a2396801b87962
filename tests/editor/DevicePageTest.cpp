// Page "Настройки прибора": the recording group with its presets, the
// receiver mode, the page buttons and the dormant firmware group.

#include "editor/pages/DevicePage.h"
#include "PageFieldTable.h"

using namespace pagetest;

using namespace plendoro;

namespace {

const char* kRecord = "Запись координат";
const char* kPresets = "Рекомендуемые настройки";
const char* kFirmware = "Прошивка";

std::vector<FieldRow> DeviceRows()
{
    return {
        {.name = "cbWriteMethod", .cls = "QComboBox", .caption = "Способ записи:",
         .items = {"Адаптивная запись", "Запись по времени"}, .initial = 0, .minVersion = 120, .group = kRecord},
        // The window starts on adaptive recording, so the caption is the metres one.
        {.name = "edWritePeriod", .cls = "QLineEdit", .caption = "Интервал записи точек (м):",
         .captionLabel = "lblWritePeriod", .initial = "", .minVersion = 120, .keyFilter = "numeric",
         .group = kRecord},
        {.name = "lblWritePeriod", .cls = "QLabel", .caption = "Интервал записи точек (м):", .group = kRecord},
        {.name = "cbStaticNav", .cls = "QCheckBox", .caption = "Включить режим статической навигации",
         .initial = false, .group = kRecord},
        {.name = "cbWideRecord", .cls = "QCheckBox", .caption = "Запись с вектором скорости", .initial = false,
         .group = kRecord},
        {.name = "Button1", .cls = "QPushButton", .caption = "Легковой Автомобиль", .group = kPresets},
        {.name = "Button2", .cls = "QPushButton", .caption = "Грузовой Автомобиль", .group = kPresets},

        {.name = "intGlonass", .cls = "QGroupBox", .caption = "Режим работы внутреннего приёмника координат",
         .items = {"Совместная работа ГЛОНАСС/GPS", "Только ГЛОНАСС", "Только GPS"}, .initial = 0,
         .minVersion = 309},
        {.name = "LoadDefault", .cls = "QPushButton", .caption = "Настройки по умолчанию"},
        {.name = "btnClearData", .cls = "QPushButton", .caption = "Стереть все данные", .minVersion = 303},

        {.name = "btCheckFW", .cls = "QPushButton", .caption = "Проверить наличие обновления", .group = kFirmware},
        {.name = "btDownloadFW", .cls = "QPushButton", .caption = "Загрузить обновление", .enabled = false,
         .group = kFirmware},
        {.name = "btUpdateFW", .cls = "QPushButton", .caption = "Прошить прибор", .enabled = false,
         .group = kFirmware},
        {.name = "lbStatusCheck", .cls = "QLabel", .caption = "", .group = kFirmware},
        {.name = "lbFWOnDisk", .cls = "QLabel", .caption = "", .group = kFirmware},
    };
}

class DevicePageRows : public ::testing::TestWithParam<FieldRow> {
protected:
    DevicePage page;
};

TEST_P(DevicePageRows, MatchesTable) { CheckRow(&page, GetParam()); }

INSTANTIATE_TEST_SUITE_P(DevicePage, DevicePageRows, ::testing::ValuesIn(DeviceRows()), RowTestName);

TEST(DevicePage, IsNamedAfterItsTab)
{
    DevicePage page;
    EXPECT_EQ(page.objectName(), "BaseSettings");
    EXPECT_EQ(page.windowTitle(), "Настройки прибора");
}

TEST(DevicePage, MetadataOnlyOnTableFields)
{
    DevicePage page;
    ExpectMetadataOnlyOnRows(&page, DeviceRows());
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
