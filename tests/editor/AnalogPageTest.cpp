// Page "Аналоговые входы": every field of the analog-inputs table for both
// inputs, the scale captions of the sliders and the defaults button.

#include "editor/pages/AnalogPage.h"
#include "PageFieldTable.h"

using namespace pagetest;

using namespace plendoro;

namespace {

const QStringList kAdMethods = {"Не реже, чем период опроса", "Не чаще, чем период опроса"};

std::vector<FieldRow> AnalogRows()
{
    const char* in1 = "Аналоговый вход 1";
    const char* in2 = "Аналоговый вход 2";
    return {
        {.name = "edAInWritePeriod", .cls = "QLineEdit", .caption = "Период записи аналоговых входов, с",
         .initial = "3600", .minVersion = 120, .keyFilter = "numeric"},
        {.name = "btnAInAsDefault", .cls = "QPushButton", .caption = "Настройки по умолчанию", .minVersion = 120},
        {.name = "gbAIn1", .cls = "QGroupBox", .caption = in1},
        {.name = "gbAIn2", .cls = "QGroupBox", .caption = in2},

        {.name = "cbAIn1AsDigital", .cls = "QCheckBox", .caption = "Записывать вход как цифровой (5)",
         .initial = false, .minVersion = 120, .group = in1},
        {.name = "cbAIn2AsDigital", .cls = "QCheckBox", .caption = "Записывать вход как цифровой (6)",
         .initial = false, .minVersion = 120, .group = in2},

        {.name = "edAIn1DigLevel", .cls = "QSpinBox", .caption = "Порог переключения",
         .captionLabel = "lblAIn1DigLevel1", .initial = 732, .range = Range{100, 1000, 24}, .minVersion = 200,
         .keyFilter = "numeric", .enabled = false, .group = in1},
        {.name = "edAIn2DigLevel", .cls = "QSpinBox", .caption = "Порог переключения",
         .captionLabel = "lblAIn2DigLevel1", .initial = 257, .range = Range{50, 1000, 20}, .minVersion = 200,
         .keyFilter = "numeric", .enabled = false, .group = in2},
        {.name = "lblAIn1DigLevel1", .cls = "QLabel", .caption = "Порог переключения", .group = in1},
        {.name = "lblAIn2DigLevel1", .cls = "QLabel", .caption = "Порог переключения", .group = in2},

        {.name = "AIn1Bar", .cls = "QSlider", .initial = 732, .range = Range{1, 1023, 25}, .minVersion = 200,
         .enabled = false, .group = in1},
        {.name = "AIn2Bar", .cls = "QSlider", .initial = 257, .range = Range{1, 1023, 25}, .minVersion = 200,
         .enabled = false, .group = in2},

        {.name = "lblAIn1DigLevel2", .cls = "QLabel", .caption = "6.0 Вольт", .minVersion = 200, .group = in1},
        {.name = "lblAIn2DigLevel2", .cls = "QLabel", .caption = "6.0 Вольт", .minVersion = 200, .group = in2},
        {.name = "lblAIn1DigLevel3", .cls = "QLabel", .caption = "1", .minVersion = 200, .group = in1},
        {.name = "lblAIn1DigLevel4", .cls = "QLabel", .caption = "10", .minVersion = 200, .group = in1},
        {.name = "lblAIn2DigLevel3", .cls = "QLabel", .caption = "1", .minVersion = 200, .group = in2},
        {.name = "lblAIn2DigLevel4", .cls = "QLabel", .caption = "24", .minVersion = 200, .group = in2},

        {.name = "cbAIn1Adaptive", .cls = "QCheckBox", .caption = "Адаптивный режим записи", .initial = false,
         .minVersion = 120, .group = in1},
        {.name = "cbAIn2Adaptive", .cls = "QCheckBox", .caption = "Адаптивный режим записи", .initial = false,
         .minVersion = 120, .group = in2},

        {.name = "edAIn1AdLevel", .cls = "QLineEdit", .caption = "Записывать изменение более, показаний АЦП",
         .captionLabel = "lblAIn1AdLevel", .initial = "1023", .minVersion = 120, .keyFilter = "numeric",
         .maxLength = 4, .enabled = false, .group = in1},
        {.name = "edAIn2AdLevel", .cls = "QLineEdit", .caption = "Записывать изменение более, показаний АЦП",
         .captionLabel = "lblAIn2AdLevel", .initial = "1023", .minVersion = 120, .keyFilter = "numeric",
         .maxLength = 4, .enabled = false, .group = in2},

        {.name = "cbAIn1AdMethod", .cls = "QComboBox", .caption = "Тип  адаптивной записи",
         .captionLabel = "lblAIn1AdMethod", .items = kAdMethods, .initial = 0, .minVersion = 120,
         .enabled = false, .group = in1},
        {.name = "cbAIn2AdMethod", .cls = "QComboBox", .caption = "Тип  адаптивной записи",
         .captionLabel = "lblAIn2AdMethod", .items = kAdMethods, .initial = 0, .minVersion = 120,
         .enabled = false, .group = in2},

        {.name = "edAIn1AverPeriod", .cls = "QLineEdit", .caption = "Период усреднения  (1..60 сек)",
         .initial = "16", .minVersion = 120, .keyFilter = "numeric", .maxLength = 2, .group = in1},
        {.name = "edAIn2AverPeriod", .cls = "QLineEdit", .caption = "Период усреднения  (1..60 сек)",
         .initial = "16", .minVersion = 120, .keyFilter = "numeric", .maxLength = 2, .group = in2},
    };
}

class AnalogPageRow : public ::testing::TestWithParam<FieldRow>
{
protected:
    static void SetUpTestSuite() { page = new AnalogPage; }
    static void TearDownTestSuite()
    {
        delete page;
        page = nullptr;
    }
    static inline AnalogPage* page = nullptr;
};

TEST_P(AnalogPageRow, MatchesTable) { CheckRow(page, GetParam()); }

INSTANTIATE_TEST_SUITE_P(AnalogPage, AnalogPageRow, ::testing::ValuesIn(AnalogRows()), RowTestName);

TEST(AnalogPage, IsTheAnalogInputsPage)
{
    AnalogPage page;
    EXPECT_EQ(S(page.objectName()), "TabSheet7");
    EXPECT_EQ(S(page.windowTitle()), "Аналоговые входы");
}

TEST(AnalogPage, CarriesMetadataOnlyOnTheListedFields)
{
    AnalogPage page;
    ExpectMetadataOnlyOnRows(&page, AnalogRows());
}

TEST(AnalogPage, FitsItsAreaWithoutClipping)
{
    AnalogPage page;
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
