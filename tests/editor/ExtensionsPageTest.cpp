// Page "Расширения" and its three inner pages "RS485", "1-Wire" and "CAN".
// The rows are checked on the pages as ExtensionsPage assembles them.

#include "editor/pages/CanPage.h"
#include "editor/pages/ExtensionsPage.h"
#include "editor/pages/OneWirePage.h"
#include "PageFieldTable.h"
#include "editor/pages/Rs485Page.h"

#include <QCheckBox>
#include <QTabWidget>

using namespace pagetest;

using namespace plendoro;

namespace {

// ------------------------------------------------------------------ RS485

std::vector<FieldRow> Rs485Rows()
{
    const char* lls = "Датчики топлива LLS";
    std::vector<FieldRow> rows = {
        {.name = "cbLLSAddr1", .cls = "QCheckBox", .caption = "Датчик 1", .initial = false, .minVersion = 200, .group = lls},
        {.name = "cbLLSAddr2", .cls = "QCheckBox", .caption = "Датчик 2", .initial = false, .minVersion = 200, .group = lls},
        {.name = "cbLLSAddr3", .cls = "QCheckBox", .caption = "Датчик 3", .initial = false, .minVersion = 200, .group = lls},
        {.name = "cbLLSAddr4", .cls = "QCheckBox", .caption = "Датчик 4", .initial = false, .minVersion = 200, .group = lls},
        {.name = "cbLLSAddr5", .cls = "QCheckBox", .caption = "Датчик 5", .initial = false, .minVersion = 200, .group = lls},
        {.name = "cbLLSAddr6", .cls = "QCheckBox", .caption = "Датчик 6", .initial = false, .minVersion = 200, .group = lls},
        {.name = "cbLLSAddr7", .cls = "QCheckBox", .caption = "Датчик 7", .initial = false, .minVersion = 200, .group = lls},
        {.name = "cbLLSAddr8", .cls = "QCheckBox", .caption = "Датчик 8", .initial = false, .minVersion = 200, .group = lls},
        {.name = "edLLSAddr1", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSAddr2", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSAddr3", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSAddr4", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSAddr5", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSAddr6", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSAddr7", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSAddr8", .cls = "QLineEdit", .initial = "", .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSWritePeriod14", .cls = "QLineEdit", .caption = "Период записи датчиков 1-4", .initial = "",
         .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "edLLSWritePeriod58", .cls = "QLineEdit", .caption = "Период записи датчиков 5-8", .initial = "",
         .minVersion = 200, .keyFilter = "numeric", .group = lls},
        {.name = "cbRS485Speed", .cls = "QComboBox", .caption = "Скорость интерфейса RS485",
         .items = {"4800", "9600", "19200", "38400", "57600", "115200"}, .initial = 2, .minVersion = 200,
         .group = "Общие настройки"},
        {.name = "cbRS485EnableGlonass", .cls = "QCheckBox", .caption = "Использовать внешний приемник ГЛОНАСС/GPS",
         .initial = false, .minVersion = 308, .group = "Внешний приёмнк ГЛОНАСС"},
        {.name = "GlonassMode", .cls = "QGroupBox", .caption = "Режим работы приёмника ГЛОНАСС",
         .items = {"Совместная работа ГЛОНАСС/GPS", "Только ГЛОНАСС", "Только GPS"}, .initial = 0,
         .minVersion = 308, .enabled = false, .group = "Внешний приёмнк ГЛОНАСС"},
        {.name = "btnRS485AsDefault", .cls = "QPushButton", .caption = "Настройки по умолчанию", .minVersion = 120},
    };
    return rows;
}

// ------------------------------------------------------------------ 1-Wire

std::vector<FieldRow> OneWireRows()
{
    std::vector<FieldRow> rows = {
        {.name = "cbIbReadAny", .cls = "QCheckBox", .caption = "Считывать любой iButton", .initial = false,
         .minVersion = 305},
        {.name = "lbIbAddrList", .cls = "QListWidget", .initial = 0, .minVersion = 300},
        {.name = "edIbAddr", .cls = "QLineEdit", .initial = "", .minVersion = 305, .keyFilter = "hex",
         .maxLength = 16},
        {.name = "btnIbGetAddr", .cls = "QPushButton", .caption = "Считать", .minVersion = 305},
        {.name = "btnIbAdd", .cls = "QPushButton", .caption = "Добавить", .minVersion = 305},
        {.name = "btnIbDel", .cls = "QPushButton", .caption = "Удалить", .minVersion = 305},
        {.name = "cbIbPulseOut1", .cls = "QCheckBox", .caption = "Импульс на выход 1 при считывании",
         .initial = false, .minVersion = 305},
        {.name = "cbIbPulseOut2", .cls = "QCheckBox", .caption = "Импульс на выход 2 при считывании",
         .initial = false, .minVersion = 305},
        {.name = "edItempWritePeriod14", .cls = "QLineEdit", .caption = "Период записи датчиков 1-4", .initial = "",
         .minVersion = 305, .keyFilter = "numeric"},
        {.name = "edItempWritePeriod58", .cls = "QLineEdit", .caption = "Период записи датчиков 5-8", .initial = "",
         .minVersion = 305, .keyFilter = "numeric"},
        {.name = "cbItempReadAll", .cls = "QCheckBox", .caption = "Один датчик температуры на линии",
         .initial = false, .minVersion = 305},
        {.name = "btnItSearchTemp", .cls = "QPushButton", .caption = "Поиск датчиков температуры"},
        {.name = "btn1wireAsDefault", .cls = "QPushButton", .caption = "Настройки по умолчанию", .minVersion = 120},
    };
    static const char* const kSlotNames[8][3] = {
        {"cbItempAddr1", "edItempAddr1", "btnItempAddr1"}, {"cbItempAddr2", "edItempAddr2", "btnItempAddr2"},
        {"cbItempAddr3", "edItempAddr3", "btnItempAddr3"}, {"cbItempAddr4", "edItempAddr4", "btnItempAddr4"},
        {"cbItempAddr5", "edItempAddr5", "btnItempAddr5"}, {"cbItempAddr6", "edItempAddr6", "btnItempAddr6"},
        {"cbItempAddr7", "edItempAddr7", "btnItempAddr7"}, {"cbItempAddr8", "edItempAddr8", "btnItempAddr8"},
    };
    for (int n = 1; n <= 8; ++n) {
        const auto& s = kSlotNames[n - 1];
        rows.push_back({.name = s[0], .cls = "QCheckBox", .caption = QStringLiteral("Датчик %1").arg(n),
                        .initial = false, .minVersion = 305});
        rows.push_back({.name = s[1], .cls = "QLineEdit", .initial = "", .minVersion = 305, .keyFilter = "hex",
                        .maxLength = 16});
        rows.push_back({.name = s[2], .cls = "QPushButton", .caption = "Считать", .minVersion = 305});
    }
    return rows;
}

// ------------------------------------------------------------------ CAN

std::vector<FieldRow> CanRows()
{
    return {
        {.name = "btnCANSearch", .cls = "QPushButton", .caption = "Поиск"},
        {.name = "edCANSearchLen", .cls = "QLineEdit", .caption = "Длительность поиска (сек)", .initial = "30",
         .minVersion = 300, .keyFilter = "numeric"},
        {.name = "edCANPeriodSave", .cls = "QLineEdit", .caption = "Период записи данных с CAN шины (сек)",
         .initial = "0", .minVersion = 300, .keyFilter = "numeric"},
        {.name = "lbCANFoundedIds", .cls = "QListWidget", .caption = "Найденные параметры", .initial = 0,
         .minVersion = 300},
        {.name = "lbCANUsedIds", .cls = "QListWidget", .caption = "Записывать параметры", .initial = 0,
         .minVersion = 300},
        {.name = "lbCANUsedFuel", .cls = "QListWidget", .caption = "Уровни топлива", .initial = 0,
         .minVersion = 300},
        {.name = "lbCANUsedUser", .cls = "QListWidget", .caption = "Произвольные записи", .initial = 0,
         .minVersion = 300},
        {.name = "memCANDetail", .cls = "QPlainTextEdit", .caption = "Описание параметра", .initial = "",
         .minVersion = 300},
        {.name = "tbCANCommonAdd", .cls = "QToolButton", .caption = "Добавить", .minVersion = 300},
        {.name = "tbCANCommonDel", .cls = "QToolButton", .caption = "Удалить", .minVersion = 300},
        {.name = "tbCANUserLeft", .cls = "QToolButton", .caption = "Сдвиг влево", .minVersion = 300},
        {.name = "tbCANUserRight", .cls = "QToolButton", .caption = "Сдвиг вправо", .minVersion = 300},
    };
}

// The rows are checked on an inner page as the assembled outer page holds it;
// one outer page per suite.
class InnerPageRow : public ::testing::TestWithParam<FieldRow>
{
protected:
    static void SetUpTestSuite() { outer = new ExtensionsPage; }
    static void TearDownTestSuite()
    {
        delete outer;
        outer = nullptr;
    }
    static QWidget* Inner(const char* name) { return outer->findChild<QWidget*>(QString::fromLatin1(name)); }
    static inline ExtensionsPage* outer = nullptr;
};

class Rs485PageRow : public InnerPageRow
{};
TEST_P(Rs485PageRow, MatchesTable) { CheckRow(Inner("tsRS485"), GetParam()); }
INSTANTIATE_TEST_SUITE_P(Rs485Page, Rs485PageRow, ::testing::ValuesIn(Rs485Rows()), RowTestName);

class OneWirePageRow : public InnerPageRow
{};
TEST_P(OneWirePageRow, MatchesTable) { CheckRow(Inner("tsOneWire"), GetParam()); }
INSTANTIATE_TEST_SUITE_P(OneWirePage, OneWirePageRow, ::testing::ValuesIn(OneWireRows()), RowTestName);

class CanPageRow : public InnerPageRow
{};
TEST_P(CanPageRow, MatchesTable) { CheckRow(Inner("tsCAN"), GetParam()); }
INSTANTIATE_TEST_SUITE_P(CanPage, CanPageRow, ::testing::ValuesIn(CanRows()), RowTestName);

// ------------------------------------------------------------------ assembly

TEST(ExtensionsPage, HoldsRs485OneWireAndCanInThisOrder)
{
    ExtensionsPage page;
    EXPECT_EQ(S(page.objectName()), "TabSheet11");
    EXPECT_EQ(S(page.windowTitle()), "Расширения");

    auto* set = page.findChild<QTabWidget*>("PageControl2");
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->count(), 3);
    EXPECT_EQ(S(set->tabText(0)), "RS485");
    EXPECT_EQ(S(set->tabText(1)), "1-Wire");
    EXPECT_EQ(S(set->tabText(2)), "CAN");
    EXPECT_EQ(set->widget(0), page.rs485Page());
    EXPECT_EQ(set->widget(1), page.oneWirePage());
    EXPECT_EQ(set->widget(2), page.canPage());
    EXPECT_EQ(S(page.rs485Page()->objectName()), "tsRS485");
    EXPECT_EQ(S(page.oneWirePage()->objectName()), "tsOneWire");
    EXPECT_EQ(S(page.canPage()->objectName()), "tsCAN");
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

TEST(ExtensionsPage, CarriesMetadataOnlyOnTheListedFields)
{
    ExtensionsPage page;
    ExpectMetadataOnlyOnRows(page.rs485Page(), Rs485Rows());
    ExpectMetadataOnlyOnRows(page.oneWirePage(), OneWireRows());
    ExpectMetadataOnlyOnRows(page.canPage(), CanRows());
    // Nothing gated or filtered on the outer page itself.
    for (QWidget* w : page.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        EXPECT_FALSE(w->property("minVersion").isValid()) << w->objectName().toStdString();
        EXPECT_FALSE(w->property("keyFilter").isValid()) << w->objectName().toStdString();
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
