// Page "Цифровые входы": the eight input groups on the two inner pages, the
// counter record periods, and the row captions and defaults button that both
// inner pages share.

#include "editor/pages/InputsPage.h"
#include "PageFieldTable.h"

#include <QApplication>
#include <QTabWidget>

#include <deque>
#include <string>

using namespace pagetest;

using namespace plendoro;

namespace {

const char* KeptName(const QString& s)
{
    static std::deque<std::string> kept;
    return kept.emplace_back(s.toStdString()).c_str();
}

const char* kFirstPage = "Входы 1-4";
const char* kSecondPage = "Входы 5-8";

QString CounterCaption(int a, int b)
{
    return QString("Период записи показаний счётчиков %1 и %2 входа (0 - отключено), с").arg(a).arg(b);
}

struct PlacedRow
{
    FieldRow row;
    int innerPage; // 0 "Входы 1-4", 1 "Входы 5-8", where the window starts
};

std::vector<PlacedRow> InputsPlacedRows()
{
    std::vector<PlacedRow> rows = {
        {{.name = "edCnt12SendPeriod", .cls = "QLineEdit", .caption = CounterCaption(1, 2), .initial = "3600",
          .minVersion = 120, .keyFilter = "numeric"}, 0},
        {{.name = "edCnt34SendPeriod", .cls = "QLineEdit", .caption = CounterCaption(3, 4), .initial = "0",
          .minVersion = 120, .keyFilter = "numeric"}, 0},
        {{.name = "edCnt56SendPeriod", .cls = "QLineEdit", .caption = CounterCaption(5, 6), .initial = "0",
          .minVersion = 200, .keyFilter = "numeric"}, 1},
        {{.name = "edCnt78SendPeriod", .cls = "QLineEdit", .caption = CounterCaption(7, 8), .initial = "0",
          .minVersion = 200, .keyFilter = "numeric"}, 1},
        {{.name = "btnInAsDefault", .cls = "QPushButton", .caption = "Настройки по умолчанию", .minVersion = 120}, 0},

        {{.name = "lblSendMoment", .cls = "QLabel", .caption = "Момент отсылки (событие)", .minVersion = 120}, 0},
        {{.name = "lblSendWiFi", .cls = "QLabel", .caption = "Начинать отсылку данных по WiFi", .minVersion = 120}, 0},
        {{.name = "lblSendDuration", .cls = "QLabel", .caption = "Длительность отсылки данных (мин)",
          .minVersion = 120}, 0},
        // The second page's own copy of the duration caption, which does not move.
        {{.name = "lblSendDuration58", .cls = "QLabel", .caption = "Длительность отсылки данных (мин)",
          .minVersion = 120}, 1},
        {{.name = "lblBaseIn", .cls = "QLabel", .caption = "Обычный вход (концевики, кнопки, ДАДМ) ",
          .minVersion = 120}, 0},
        {{.name = "lblCntIn", .cls = "QLabel", .caption = "Обычный счётчик (ДРТ, VZO, ПП...)", .minVersion = 120}, 0},
        {{.name = "lblPCntIn", .cls = "QLabel", .caption = "Специальный Датчик Гельвекс", .minVersion = 120}, 0},
        {{.name = "lblFreqIn", .cls = "QLabel", .caption = "Частотный вход (Гц)", .minVersion = 120}, 0},
    };
    for (int n = 1; n <= 8; ++n) {
        const bool low = n <= 4;
        const int page = low ? 0 : 1;
        const int modeVersion = low ? 120 : 200;
        const int freqVersion = low ? 130 : 200;
        const QStringList levels = low ? QStringList{"Замкнут на -", "Разомкнут или +"}
                                       : QStringList{"Разомкнут или -", "Замкнут на +"};
        const char* group = KeptName(QString("Вход %1").arg(n));
        auto named = [n](const char* prefix, const char* suffix) {
            return KeptName(QString("%1%2%3").arg(prefix).arg(n).arg(suffix));
        };
        rows.push_back({{.name = named("gbIn", ""), .cls = "QGroupBox", .caption = group}, page});
        rows.push_back({{.name = named("rbIn", "Base"), .cls = "QRadioButton", .caption = "Простой", .initial = true,
                         .minVersion = modeVersion, .group = group}, page});
        rows.push_back({{.name = named("rbIn", "Count"), .cls = "QRadioButton", .caption = "Счётчик",
                         .initial = false, .minVersion = modeVersion, .group = group}, page});
        rows.push_back({{.name = named("rbIn", "PCount"), .cls = "QRadioButton", .caption = "П. Счётчик",
                         .initial = false, .minVersion = modeVersion, .group = group}, page});
        rows.push_back({{.name = named("rbIn", "Freq"), .cls = "QRadioButton", .caption = "Частота",
                         .initial = false, .minVersion = freqVersion, .group = group}, page});
        rows.push_back({{.name = named("rbIn", "Motion"), .cls = "QRadioButton", .caption = "Движение",
                         .initial = false, .minVersion = 305, .group = group}, page});
        rows.push_back({{.name = named("cbIn", "Send"), .cls = "QCheckBox", .caption = "Данные", .initial = false,
                         .minVersion = 300, .group = group}, page});
        rows.push_back({{.name = named("cbIn", "Level"), .cls = "QComboBox", .items = levels, .initial = 0,
                         .minVersion = 300, .group = group}, page});
        rows.push_back({{.name = named("edIn", "Duration"), .cls = "QLineEdit", .initial = "1", .minVersion = 300,
                         .keyFilter = "numeric", .group = group}, page});
        rows.push_back({{.name = named("cbIn", "Cont"), .cls = "QCheckBox", .caption = "Непрерывно", .initial = false,
                         .minVersion = 300, .group = group}, page});
    }
    return rows;
}

std::vector<FieldRow> InputsRows()
{
    std::vector<FieldRow> rows;
    for (const PlacedRow& p : InputsPlacedRows())
        rows.push_back(p.row);
    return rows;
}

QTabWidget* Inner(InputsPage& page) { return page.findChild<QTabWidget*>("pcInputs"); }

class InputsPageRows : public ::testing::TestWithParam<FieldRow> {
protected:
    InputsPage page;
};

TEST_P(InputsPageRows, MatchesTable) { CheckRow(&page, GetParam()); }

INSTANTIATE_TEST_SUITE_P(InputsPage, InputsPageRows, ::testing::ValuesIn(InputsRows()), RowTestName);

TEST(InputsPage, IsNamedAfterItsTab)
{
    InputsPage page;
    EXPECT_EQ(page.objectName(), "TabSheet2");
    EXPECT_EQ(page.windowTitle(), "Цифровые входы");
}

TEST(InputsPage, InnerPageSetHoldsBothInputPagesAndStartsOnTheFirst)
{
    InputsPage page;
    QTabWidget* inner = Inner(page);
    ASSERT_NE(inner, nullptr);
    ASSERT_EQ(inner->count(), 2);
    EXPECT_EQ(inner->tabText(0), kFirstPage);
    EXPECT_EQ(inner->tabText(1), kSecondPage);
    EXPECT_EQ(inner->currentIndex(), 0);
}

TEST(InputsPage, FieldsSitOnTheirInnerPage)
{
    InputsPage page;
    QTabWidget* inner = Inner(page);
    ASSERT_NE(inner, nullptr);
    for (const PlacedRow& p : InputsPlacedRows()) {
        QWidget* w = page.findChild<QWidget*>(p.row.name);
        ASSERT_NE(w, nullptr) << p.row.name;
        EXPECT_TRUE(inner->widget(p.innerPage)->isAncestorOf(w)) << p.row.name;
        const auto snap = SnapNamed(QString::fromLatin1(p.row.name)); // ONE-OFF comparison
        ASSERT_EQ(snap.size(), 1u);
        ++g_compared;
        EXPECT_EQ(S(snap.front()->c[12]), S(inner->widget(p.innerPage)->objectName())) << p.row.name;
    }
}

TEST(InputsPage, MetadataOnlyOnTableFields)
{
    InputsPage page;
    ExpectMetadataOnlyOnRows(&page, InputsRows());
}

TEST(InputsPage, ModeButtonsAreExclusiveWithinOneInputOnly)
{
    InputsPage page;
    auto radio = [&page](const QString& name) { return page.findChild<QRadioButton*>(name); };
    radio("rbIn3Count")->setChecked(true);
    EXPECT_FALSE(radio("rbIn3Base")->isChecked());
    EXPECT_TRUE(radio("rbIn4Base")->isChecked());
    EXPECT_TRUE(radio("rbIn2Base")->isChecked());
    radio("rbIn3Motion")->setChecked(true);
    EXPECT_FALSE(radio("rbIn3Count")->isChecked());
    radio("rbIn7Freq")->setChecked(true);
    EXPECT_TRUE(radio("rbIn3Motion")->isChecked());
    EXPECT_TRUE(radio("rbIn8Base")->isChecked());
    EXPECT_FALSE(radio("rbIn7Base")->isChecked());
}

const char* const kShared[] = {"btnInAsDefault", "lblSendMoment", "lblBaseIn", "lblSendWiFi",
                               "lblCntIn",       "lblPCntIn",     "lblFreqIn"};

void ShowInnerPage(InputsPage& page, int index)
{
    Inner(page)->setCurrentIndex(index);
    page.moveSharedCaptionsTo(index);
    QApplication::processEvents();
}

TEST(InputsPage, SharedCaptionsMoveToTheShownPage)
{
    InputsPage page;
    page.resize(880, 520);
    page.show();
    QTabWidget* inner = Inner(page);
    for (int index : {1, 0, 1}) {
        ShowInnerPage(page, index);
        for (const char* name : kShared) {
            QWidget* w = page.findChild<QWidget*>(name);
            ASSERT_NE(w, nullptr) << name;
            EXPECT_TRUE(inner->widget(index)->isAncestorOf(w)) << name << " on page " << index;
            EXPECT_TRUE(w->isVisible()) << name << " on page " << index;
        }
        // The first page's duration caption stays where it is.
        EXPECT_TRUE(inner->widget(0)->isAncestorOf(page.findChild<QWidget*>("lblSendDuration")));
    }
    EXPECT_EQ(page.findChildren<QWidget*>("lblBaseIn").size(), 1);
}

// Each row caption must sit level with the row of fields it names, on both
// inner pages and after the captions moved.
TEST(InputsPage, CaptionsAreLevelWithTheirRows)
{
    const std::pair<const char*, const char*> rowsOfInput[] = {
        {"lblBaseIn", "Base"},     {"lblCntIn", "Count"},        {"lblPCntIn", "PCount"},
        {"lblFreqIn", "Freq"},     {"lblSendWiFi", "Send"},      {"lblSendMoment", "Level"},
        {"lblSendDuration", "Duration"},
    };
    auto centreY = [](QWidget* w, QWidget* page) { return w->mapTo(page, QPoint(0, w->height() / 2)).y(); };

    InputsPage page;
    page.resize(880, 520);
    page.show();
    for (int index : {0, 1}) {
        ShowInnerPage(page, index);
        const int input = index == 0 ? 1 : 5;
        for (const auto& [caption, suffix] : rowsOfInput) {
            const char* captionName = caption;
            if (index == 1 && QLatin1String(caption) == QLatin1String("lblSendDuration"))
                captionName = "lblSendDuration58";
            QWidget* label = page.findChild<QWidget*>(captionName);
            const QString prefix = QLatin1String(suffix) == QLatin1String("Duration") ? "edIn"
                : QLatin1String(suffix) == QLatin1String("Send") || QLatin1String(suffix) == QLatin1String("Level")
                ? "cbIn"
                : "rbIn";
            QWidget* field = page.findChild<QWidget*>(prefix + QString::number(input) + suffix);
            ASSERT_TRUE(label && field) << captionName;
            EXPECT_NEAR(centreY(label, &page), centreY(field, &page), 2)
                << captionName << " against input " << input << " " << suffix;
        }
    }
}

TEST(InputsPage, BothInnerPagesFitTheArea)
{
    InputsPage page;
    ExpectNothingClipped(&page, QSize(880, 520));
    ShowInnerPage(page, 1);
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
