// Page "Контрольные точки": the dormant control-point editor. All fields start
// disabled, the page itself is disabled and its page set hidden; the three
// control points share one set of fields on the first page.

#include "editor/pages/ControlPointsPage.h"
#include "PageFieldTable.h"

#include <QTabWidget>

using namespace pagetest;

using namespace plendoro;

namespace {

std::vector<FieldRow> ControlPointRows()
{
    const char* action = "Действие при...";
    return {
        {.name = "cbCPActive", .cls = "QCheckBox", .caption = " КТ активна", .initial = false, .enabled = false},
        {.name = "cbCPType", .cls = "QComboBox", .caption = "Тип КТ:", .items = {"Круг", "Полигон"}, .initial = -1,
         .enabled = false},
        {.name = "edCPRadius", .cls = "QLineEdit", .caption = "Радиус КТ (м):", .initial = "",
         .keyFilter = "literal", .maxLength = 15, .enabled = false},
        {.name = "edCPFixTime", .cls = "QLineEdit", .caption = "Время фиксации (сек):", .initial = "",
         .keyFilter = "literal", .maxLength = 15, .enabled = false},
        {.name = "btnShowMaps", .cls = "QPushButton", .caption = "Открыть карту >>", .enabled = false},
        {.name = "cbCPInSms", .cls = "QCheckBox", .caption = "", .initial = false, .enabled = false, .group = action},
        {.name = "cbCPOutSms", .cls = "QCheckBox", .caption = "", .initial = false, .enabled = false, .group = action},
        {.name = "cbCPInGPRS", .cls = "QCheckBox", .caption = "", .initial = false, .enabled = false, .group = action},
        {.name = "cbCPOutGPRS", .cls = "QCheckBox", .caption = "", .initial = false, .enabled = false,
         .group = action},
        {.name = "edCPTelNum", .cls = "QLineEdit", .caption = "Номер", .initial = "+79123456789",
         .keyFilter = "literal", .maxLength = 15, .enabled = false, .group = action},
        // Captions switched by the active rule, named here because the tables
        // give them by text only.
        {.name = "lblCPCoords", .cls = "QLabel", .caption = "Координаты:", .enabled = false},
        {.name = "lblCPSend", .cls = "QLabel", .caption = "Отправить", .enabled = false, .group = action},
        {.name = "lblCPSms", .cls = "QLabel", .caption = "СМС", .enabled = false, .group = action},
        {.name = "lblCPTransfer", .cls = "QLabel", .caption = "Передать", .enabled = false, .group = action},
        {.name = "lblCPGprs", .cls = "QLabel", .caption = "по GPRS", .enabled = false, .group = action},
        {.name = "lblCPIn", .cls = "QLabel", .caption = "Входе", .enabled = false, .group = action},
        {.name = "lblCPOut", .cls = "QLabel", .caption = "Выходе", .enabled = false, .group = action},
    };
}

class ControlPointsPageRow : public ::testing::TestWithParam<FieldRow>
{
protected:
    static void SetUpTestSuite() { page = new ControlPointsPage; }
    static void TearDownTestSuite()
    {
        delete page;
        page = nullptr;
    }
    static inline ControlPointsPage* page = nullptr;
};

TEST_P(ControlPointsPageRow, MatchesTable) { CheckRow(page, GetParam()); }

INSTANTIATE_TEST_SUITE_P(ControlPointsPage, ControlPointsPageRow, ::testing::ValuesIn(ControlPointRows()),
                         RowTestName);

TEST(ControlPointsPage, IsDisabledWithAHiddenPageSetOfThreePoints)
{
    ControlPointsPage page;
    EXPECT_EQ(S(page.objectName()), "TabSheet3");
    EXPECT_EQ(S(page.windowTitle()), "Контрольные точки");
    EXPECT_TRUE(page.testAttribute(Qt::WA_Disabled));

    auto* set = page.findChild<QTabWidget*>("CPPageControl");
    ASSERT_NE(set, nullptr);
    EXPECT_TRUE(set->isHidden());
    ASSERT_EQ(set->count(), 3);
    EXPECT_EQ(S(set->tabText(0)), "Контрольная точка 1");
    EXPECT_EQ(S(set->tabText(1)), "Контрольная точка 2");
    EXPECT_EQ(S(set->tabText(2)), "Контрольная точка 3");
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
    for (const FieldRow& r : ControlPointRows()) {
        auto* w = page.findChild<QWidget*>(QString::fromLatin1(r.name));
        ASSERT_NE(w, nullptr) << r.name;
        EXPECT_TRUE(set->widget(0)->isAncestorOf(w)) << r.name;
    }
    EXPECT_TRUE(set->widget(1)->findChildren<QWidget*>().isEmpty());
    EXPECT_TRUE(set->widget(2)->findChildren<QWidget*>().isEmpty());
}

TEST(ControlPointsPage, CarriesMetadataOnlyOnTheListedFields)
{
    ControlPointsPage page;
    ExpectMetadataOnlyOnRows(&page, ControlPointRows());
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
