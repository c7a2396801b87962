// Page "Цифровые входы": the two inner pages, the exclusive mode buttons of
// each input, the row captions and defaults button that both inner pages
// share, and the layout. The fields are in tests/data/forms.snapshot.

#include "editor/pages/InputsPage.h"
#include "PageChecks.h"

#include <QApplication>
#include <QTabWidget>

#include <string>

using namespace pagetest;

using namespace plendoro;

namespace {

const char* kFirstPage = "Входы 1-4";
const char* kSecondPage = "Входы 5-8";

QTabWidget* Inner(InputsPage& page)
{
    return page.findChild<QTabWidget*>("pcInputs");
}

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
        {"lblBaseIn", "Base"},   {"lblCntIn", "Count"},      {"lblPCntIn", "PCount"},         {"lblFreqIn", "Freq"},
        {"lblSendWiFi", "Send"}, {"lblSendMoment", "Level"}, {"lblSendDuration", "Duration"},
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
            const QString prefix =
                QLatin1String(suffix) == QLatin1String("Duration") ? "edIn"
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
