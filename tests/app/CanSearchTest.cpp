// A whole CAN search against the simulated tracker: the start, the polls
// once a second, the stop, and what the found list and the page show.
#include "services/CanSearch.h"
#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldLookup.h"
#include "editor/rules/CanListRules.h"
#include "link/UsbLink.h"
#include "plendoro_sim.h"

#include "FakeClock.h"
#include "ScriptedDialogs.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace plendoro;

namespace {

// The bus: two identifiers heard at once, a third 1.5 s into the search,
// and new data for the first one after that.
constexpr const char* kScenario = R"(wire_timing on
[device]
description Kovaltrak WiFi
serial 0005000
firmware 4.03
can 18FEF100 FFFF2A00 C3FFFFFF at 0
can 18FEFC17 FFFF5A00 FFFFFFFF at 0
can 0CF00400 00000000 0000007D at 1500
can 18FEF100 00112233 44556677 at 1600
)";

class CanSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
        ASSERT_EQ(PlSim_LoadScenarioText(kScenario), 0) << PlSim_LastError();
        ASSERT_TRUE(link.Bind());
        std::string serial;
        ASSERT_TRUE(link.Identify(&serial));
        link.SetConnected(true);
        PlSim_ClearLog(0);

        // The read and write buttons live below the pages, as in the window.
        auto* layout = new QVBoxLayout(&window);
        pages = new QTabWidget(&window);
        layout->addWidget(pages);
        for (const char* name : {"btnReadSettings", "btnWriteSettings"}) {
            auto* b = new QPushButton(&window);
            b->setObjectName(QLatin1String(name));
            layout->addWidget(b);
        }
        AddEditorPages(pages);
        editor = std::make_unique<SettingsEditor>(pages, dialogs);
        lists = std::make_unique<CanListRules>(*editor);
        MakeSearch(SystemClock::Instance());
    }
    void TearDown() override
    {
        search.reset();
        lists.reset();
        editor.reset();
    }

    void MakeSearch(Clock& clock)
    {
        search = std::make_unique<CanSearch>(
            *editor, link,
            [this](const QString& text, bool error) {
                status = text;
                statusError = error;
                statuses << text;
            },
            clock);
        QObject::connect(search.get(), &CanSearch::BusyChanged, &window, [this](bool busy) {
            W("btnReadSettings")->setEnabled(!busy);
            W("btnWriteSettings")->setEnabled(!busy);
        });
    }

    QWidget* W(const char* name) { return window.findChild<QWidget*>(QLatin1String(name)); }
    bool Enabled(const char* name) { return IsOwnEnabled(W(name)); }
    void SetDuration(const char* text) { editor->FieldAs<QLineEdit>(QStringLiteral("edCANSearchLen"))->setText(text); }
    void PressSearch()
    {
        QTest::mouseClick(editor->FieldAs<QPushButton>(QStringLiteral("btnCANSearch")), Qt::LeftButton);
    }
    bool WaitForEnd()
    {
        return QTest::qWaitFor([this] { return !search->Searching(); }, 10000);
    }
    std::vector<TCANId_V3>& Found() { return lists->FoundCanParameters(); }
    std::string Log()
    {
        char text[4096];
        PlSim_RequestLog(0, text, sizeof text);
        return text;
    }
    int Count(const std::string& line)
    {
        const std::string log = Log();
        int n = 0;
        for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++n;
        return n;
    }

    UsbLink link;
    ScriptedDialogs dialogs;
    QWidget window;
    QTabWidget* pages = nullptr;
    std::unique_ptr<SettingsEditor> editor;
    std::unique_ptr<CanListRules> lists;
    std::unique_ptr<CanSearch> search;
    QString status;
    bool statusError = false;
    QStringList statuses;
};

TEST_F(CanSearchTest, DurationZeroPollsOnceAndStops)
{
    SetDuration("0");
    for (const char* name : {"tbCANCommonAdd", "tbCANCommonDel", "tbCANUserLeft", "tbCANUserRight"})
        W(name)->setEnabled(true);
    dialogs.answers = {true};
    PressSearch();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Очистить результаты предыдущего поиска?"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Kovaltrak Plendoro"));

    // Searching: the commands that would use the device are closed.
    EXPECT_TRUE(search->Searching());
    EXPECT_TRUE(search->CANSearchTimer().isActive());
    EXPECT_EQ(search->CANSearchTimer().interval(), 1000);
    EXPECT_EQ(search->CANSearchTimer().objectName(), QStringLiteral("CANSearchTimer"));
    for (const char* name : {"btnCANSearch", "edCANSearchLen", "btnReadSettings", "btnWriteSettings", "tbCANCommonAdd",
                             "tbCANCommonDel", "tbCANUserLeft", "tbCANUserRight"})
        EXPECT_FALSE(Enabled(name)) << name;
    EXPECT_EQ(status, QStringLiteral("Поиск параметров CAN"));
    EXPECT_FALSE(statusError);
    EXPECT_EQ(PlSim_IsOpen(0), 0);

    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Log(), "CMD START_CAN_SEARCH\nCMD CAN_TEST\nCMD STOP_CAN_SEARCH\n");
    ASSERT_EQ(Found().size(), 2u);
    EXPECT_EQ(Found()[0].Id, 0x18FEF100u);
    EXPECT_EQ(Found()[0].dA, 0xFFFF2A00u);
    EXPECT_EQ(Found()[0].dB, 0xC3FFFFFFu);
    EXPECT_EQ(Found()[1].Id, 0x18FEFC17u);
    EXPECT_EQ(Found()[1].Used, 0);
    auto* found = editor->FieldAs<QListWidget>(QStringLiteral("lbCANFoundedIds"));
    ASSERT_EQ(found->count(), 2);
    EXPECT_EQ(found->item(1)->text(), QStringLiteral("Уровень топлива в баке(23)"));

    EXPECT_EQ(status, QStringLiteral("Поиск завершен"));
    EXPECT_FALSE(statusError);
    EXPECT_FALSE(search->CANSearchTimer().isActive());
    for (const char* name : {"btnCANSearch", "edCANSearchLen", "btnReadSettings", "btnWriteSettings"})
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_EQ(PlSim_IsOpen(0), 0);
}

TEST_F(CanSearchTest, TwoSecondsFindLaterIdentifiersAndKeepFirstData)
{
    SetDuration("2");
    dialogs.answers = {true};
    PressSearch();
    ASSERT_TRUE(WaitForEnd());
    const int polls = Count("CMD CAN_TEST\n");
    EXPECT_GE(polls, 2);
    EXPECT_LE(polls, 3);
    EXPECT_EQ(Count("CMD STOP_CAN_SEARCH\n"), 1);
    ASSERT_EQ(Found().size(), 3u);
    EXPECT_EQ(Found()[2].Id, 0x0CF00400u);
    EXPECT_EQ(Found()[2].dB, 0x7Du);
    // The device reported new data for it later; the entry keeps its first.
    EXPECT_EQ(Found()[0].dA, 0xFFFF2A00u);
    EXPECT_EQ(status, QStringLiteral("Поиск завершен"));
}

TEST_F(CanSearchTest, NoToTheClearQuestionKeepsEarlierEntriesWithoutDuplicates)
{
    // As if loaded from a settings block: recorded, no data words.
    Found() = {{0x18FEE500, 1, 0, 0, 0, 0}, {0x18FEF100, 1, 0, 0, 0, 0}};
    lists->RebuildCanLists();
    SetDuration("0");
    dialogs.answers = {false};
    PressSearch();
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(Found().size(), 3u);
    EXPECT_EQ(Found()[0].Id, 0x18FEE500u);
    EXPECT_EQ(Found()[1].Id, 0x18FEF100u);
    EXPECT_EQ(Found()[1].dA, 0u);
    EXPECT_EQ(Found()[1].Used, 1);
    EXPECT_EQ(Found()[2].Id, 0x18FEFC17u);
    EXPECT_EQ(editor->FieldAs<QListWidget>(QStringLiteral("lbCANUsedIds"))->count(), 2);

    // "Да" starts from an empty list.
    dialogs.answers = {true};
    PressSearch();
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(Found().size(), 2u);
    EXPECT_EQ(Found()[0].Id, 0x18FEF100u);
    EXPECT_EQ(Found()[0].dA, 0xFFFF2A00u);
    EXPECT_EQ(Found()[0].Used, 0);
}

TEST_F(CanSearchTest, AStartThatFailsLeavesThePageIdle)
{
    PlSim_SetFault(0, "silent");
    PressSearch();
    EXPECT_EQ(status, QStringLiteral("Прибор не отвечает"));
    EXPECT_TRUE(statusError);
    EXPECT_FALSE(search->Searching());
    EXPECT_FALSE(search->CANSearchTimer().isActive());
    EXPECT_TRUE(Enabled("btnCANSearch"));
    EXPECT_TRUE(Enabled("btnReadSettings"));

    link.SetConnected(false);
    PressSearch();
    EXPECT_EQ(status, QStringLiteral("Ошибка при открытии"));
    EXPECT_TRUE(statusError);
    EXPECT_FALSE(search->Searching());
}

TEST_F(CanSearchTest, AStopWithoutAnswerEndsTheSearchWithoutReportingSuccess)
{
    SetDuration("0");
    PressSearch();
    ASSERT_TRUE(search->Searching());
    PlSim_SetFault(0, "silent");
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(status, QStringLiteral("Прибор не отвечает"));
    EXPECT_TRUE(statusError);
    EXPECT_FALSE(statuses.contains(QStringLiteral("Поиск завершен")));
    for (const char* name : {"btnCANSearch", "edCANSearchLen", "btnReadSettings", "btnWriteSettings"})
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_TRUE(Found().empty());
}

TEST_F(CanSearchTest, AnEmptyDurationMeansThirtySecondsAcrossTheTickWrap)
{
    FakeClock clock;
    clock.now = 0xFFFFF000u; // 4 s before the 32-bit tick wraps
    MakeSearch(clock);
    SetDuration("");
    PressSearch();
    ASSERT_TRUE(search->Searching());
    search->CANSearchTimer().stop(); // the ticks below stand in for it

    clock.now += 30000;
    search->CANSearchTimerTimer();
    EXPECT_TRUE(search->Searching());
    EXPECT_TRUE(search->CANSearchTimer().isActive());
    search->CANSearchTimer().stop();

    clock.now += 1;
    search->CANSearchTimerTimer();
    EXPECT_FALSE(search->Searching());
    EXPECT_FALSE(search->CANSearchTimer().isActive());
    EXPECT_EQ(Count("CMD CAN_TEST\n"), 2);
    EXPECT_EQ(status, QStringLiteral("Поиск завершен"));
    search.reset(); // before the clock it reads
}

} // namespace

TEST_F(CanSearchTest, ABusyBusIsReportedWholeInOnePoll)
{
    // 180 identifiers make a report of about 4.9 kB, far more than arrives
    // within one timed read at the bridge's speed.
    std::string lines = "can clear\n";
    for (int i = 0; i < 180; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "can %08X 11223344 55667788 at 0\n", 0x18F00000 + i);
        lines += line;
    }
    ASSERT_EQ(PlSim_Configure(0, lines.c_str()), 0) << PlSim_LastError();
    SetDuration("0");
    dialogs.answers = {true};
    PressSearch();
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(Found().size(), 180u);
    EXPECT_EQ(Found()[179].Id, 0x18F000B3u);
    EXPECT_EQ(Found()[179].dB, 0x55667788u);
}
