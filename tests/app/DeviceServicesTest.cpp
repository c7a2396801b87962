// Clearing the tracker's memory and calibrating its accelerometer through
// the window, against the simulated tracker.
#include "WindowFixture.h"

#include "FakeClock.h"
#include "services/CalForm.h"
#include "services/DeviceWorker.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QPushButton>
#include <QTabWidget>

using namespace windowtest;

namespace {

struct ClearingTest : TransferFixture {
    void Clear(bool yes = true)
    {
        dialogs.answers = {yes};
        form->btnClearDataClick();
    }
    QStringList Progress(const Recorded& r) const { return r.texts.filter(QStringLiteral("Стирание памяти")); }
};

} // namespace

TEST_F(ClearingTest, ProgressThenCleared)
{
    Start(403, false);
    ASSERT_EQ(PlSim_Configure(0, "erase_ms 1000\nerase_report_ms 100"), 0) << PlSim_LastError();
    Recorded recorded(*form);
    Clear();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Вы действительно хотите очистить память прибора?"));
    EXPECT_EQ(dialogs.shown[0].byDefault, DialogService::Answer::No) << "Enter must not erase the memory";
    EXPECT_EQ(Status(), QStringLiteral("Очистка памяти прибора"));
    EXPECT_TRUE(form->Clearing());
    for (const char* name : {"btnReadSettings", "btnWriteSettings", "btnClearData", "btnCANSearch"})
        EXPECT_FALSE(OwnEnabled(*form, name)) << name;
    // The pages refuse to change while the memory is cleared.
    QTabWidget* pages = form->Pages();
    const int page = pages->currentIndex();
    pages->setCurrentIndex(page + 1);
    EXPECT_EQ(pages->currentIndex(), page);
    Settle(*form);

    const QStringList progress = Progress(recorded);
    ASSERT_GE(progress.size(), 2);
    EXPECT_EQ(progress.first(), QStringLiteral("Стирание памяти: выполнено 10%"));
    EXPECT_EQ(progress.last(), QStringLiteral("Стирание памяти: выполнено 90%"));
    EXPECT_EQ(Status(), QStringLiteral("Память прибора очищена"));
    EXPECT_FALSE(form->Clearing());
    pages->setCurrentIndex(page + 1);
    EXPECT_EQ(pages->currentIndex(), page + 1);
    for (const char* name : {"btnReadSettings", "btnWriteSettings", "btnClearData", "btnCANSearch"})
        EXPECT_TRUE(OwnEnabled(*form, name)) << name;
    EXPECT_EQ(PlSim_IsOpen(0), 0);
}

TEST_F(ClearingTest, FailuresEndInTheirCodes)
{
    const struct {
        const char* fault;
        int code;
        const char* lastProgress; // null: none
    } cases[] = {
        {"silent 1", 2, nullptr},                                // no "ERASE_START"
        {"erase_stall 30", 3, "Стирание памяти: выполнено 30%"}, // the reports stop
        {"erase_garbage", 4, nullptr},                           // a report without a number
        // "ERASE_POS=90ERASE_POS=100" in one read is 90; nothing follows it.
        {"erase_glued 90", 3, "Стирание памяти: выполнено 90%"},
    };
    for (const auto& c : cases) {
        Start(403, false);
        ASSERT_EQ(PlSim_Configure(0, "erase_ms 1000\nerase_report_ms 100"), 0);
        PlSim_SetFault(0, c.fault);
        Recorded recorded(*form);
        Clear();
        Settle(*form);
        EXPECT_EQ(Status(), QStringLiteral("Ошибка %1 при очистке памяти прибора").arg(c.code)) << c.fault;
        const QStringList progress = Progress(recorded);
        if (c.lastProgress)
            EXPECT_EQ(progress.value(progress.size() - 1), QString::fromUtf8(c.lastProgress)) << c.fault;
        else
            EXPECT_TRUE(progress.isEmpty()) << c.fault;
        EXPECT_FALSE(form->Clearing());
        EXPECT_EQ(PlSim_IsOpen(0), 0) << c.fault;
    }
}

TEST_F(ClearingTest, WithoutATrackerReadAndWriteStayClosed)
{
    Start(403, false);
    PlSim_Unplug(0);
    form->CheckDevicePresence();
    Settle(*form);
    Clear();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка 1 при очистке памяти прибора"));
    EXPECT_FALSE(OwnEnabled(*form, "btnReadSettings"));
    EXPECT_FALSE(OwnEnabled(*form, "btnWriteSettings"));
}

TEST_F(ClearingTest, NoSendsNothing)
{
    Start(403, false);
    PlSim_ClearLog(0);
    Clear(false);
    Settle(*form);
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(form->Clearing());
}

TEST_F(ClearingTest, ANotificationDuringTheClearingIsCheckedAfterIt)
{
    Start(403, false);
    ASSERT_EQ(PlSim_Configure(0, "erase_ms 600\nerase_report_ms 100"), 0);
    Recorded recorded(*form);
    Clear();
    form->CheckDevicePresence();
    form->CheckDevicePresence();
    EXPECT_EQ(recorded.presenceChecks, 0);
    Settle(*form);
    EXPECT_TRUE(recorded.texts.contains(QStringLiteral("Память прибора очищена")));
    EXPECT_EQ(recorded.presenceChecks, 1);
}

namespace {

struct CalibrationTest : TransferFixture {
    FakeClock clock;
    std::unique_ptr<TCalForm> cal;

    void Open(int calibrationMs = 500)
    {
        Start(403, false);
        ASSERT_EQ(PlSim_Configure(0, ("calibration_ms " + std::to_string(calibrationMs)).c_str()), 0);
        cal = std::make_unique<TCalForm>(link, form->Worker(), dialogs, clock, form.get());
        form->AttachCalibrationDialog(cal.get());
        cal->show();
        PlSim_ClearLog(0);
    }
    void TearDown() override
    {
        if (cal)
            QTest::qWaitFor([this] { return !cal->Busy(); }, 10000);
        cal.reset();
    }
    QString Outcome() const { return cal->findChild<QLabel*>(QStringLiteral("lblStatus"))->text(); }
    QPushButton* Button() const { return cal->findChild<QPushButton*>(QStringLiteral("btnCalibrate")); }
    bool WaitIdle()
    {
        return QTest::qWaitFor([this] { return !cal->Busy(); }, 10000);
    }
    // The state polls the tracker has heard since the log was cleared.
    int Polls()
    {
        const std::string log = Log();
        int n = 0;
        for (std::size_t at = log.find("CMD MMA_STATE"); at != std::string::npos;
             at = log.find("CMD MMA_STATE", at + 1))
            ++n;
        return n;
    }
};

} // namespace

TEST_F(CalibrationTest, BusyTwiceThenNormal)
{
    Open(500);
    EXPECT_EQ(Button()->text(), QStringLiteral("Калибровать"));
    QTest::mouseClick(Button(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return cal->Polling(); }, 5000));
    EXPECT_EQ(Outcome(), QStringLiteral("Подождите..."));
    EXPECT_FALSE(Button()->isEnabled());
    EXPECT_TRUE(form->DeviceBusy()) << "the other device commands wait";
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Outcome(), QStringLiteral("Калибровка успешно завершена"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(cal->findChild<QLabel*>(QStringLiteral("lblStatus")))
                  ->text(QAccessible::Name),
              Outcome())
        << "a screen reader reads the outcome itself";
    EXPECT_EQ(Button()->text(), QStringLiteral("Закрыть"));
    EXPECT_TRUE(Button()->isEnabled());
    const std::string log = Log();
    EXPECT_EQ(log.rfind("CMD MMA_CALIBRATE\n", 0), 0u) << log;
    const int polls = Polls();
    EXPECT_GE(polls, 2);
    EXPECT_LE(polls, 4) << "about three polls 200 ms apart";
    EXPECT_EQ(PlSim_IsOpen(0), 0);
    EXPECT_FALSE(form->DeviceBusy());
    QTest::mouseClick(Button(), Qt::LeftButton);
    EXPECT_FALSE(cal->isVisible());
    // Shown again, it is armed again.
    cal->show();
    EXPECT_TRUE(cal->Armed());
    EXPECT_EQ(Button()->text(), QStringLiteral("Калибровать"));
    EXPECT_TRUE(Outcome().isEmpty());
}

TEST_F(CalibrationTest, ARefusedStartLeavesTheDialogArmed)
{
    Open();
    PlSim_SetFault(0, "calibration_refused");
    QTest::mouseClick(Button(), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(cal->Armed());
    EXPECT_TRUE(Outcome().isEmpty());
    EXPECT_EQ(Button()->text(), QStringLiteral("Калибровать"));
    EXPECT_EQ(PlSim_IsOpen(0), 0);
}

TEST_F(CalibrationTest, SilenceWhilePollingIsAnError)
{
    Open();
    PlSim_SetFault(0, "calibration_silent_after 1");
    QTest::mouseClick(Button(), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Outcome(), QStringLiteral("Калибровка завершена с ошибкой"));
    EXPECT_FALSE(cal->Armed());
}

TEST_F(CalibrationTest, ADeviceThatStaysBusyEndsAtTheBound)
{
    Open();
    PlSim_SetFault(0, "calibration_stuck");
    QTest::mouseClick(Button(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Polls() >= 2; }, 5000));
    EXPECT_TRUE(cal->Polling()) << "still busy after two polls";
    clock.now += TCalForm::kPollBoundMs + 1;
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Outcome(), QStringLiteral("Калибровка завершена с ошибкой"));
}

TEST_F(CalibrationTest, ClosingWhilePollingFreesTheDevice)
{
    Open();
    PlSim_SetFault(0, "calibration_stuck");
    QTest::mouseClick(Button(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return cal->Polling(); }, 5000));
    QTest::keyClick(cal.get(), Qt::Key_Escape);
    EXPECT_FALSE(cal->isVisible());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Outcome(), QStringLiteral("Подождите...")) << "no outcome is shown";
    EXPECT_EQ(PlSim_IsOpen(0), 0);
    Settle(*form);
    form->btnReadSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
}

TEST_F(CalibrationTest, EscapeBeforeTheStartIsAnsweredSendsNoPoll)
{
    Open();
    PlSim_SetTurnaroundUs(300000); // the answer to the start takes its time
    QTest::mouseClick(Button(), Qt::LeftButton);
    QTest::keyClick(cal.get(), Qt::Key_Escape);
    EXPECT_FALSE(cal->isVisible());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Polls(), 0);
    EXPECT_TRUE(Outcome().isEmpty()) << "no outcome is shown";
    EXPECT_EQ(PlSim_IsOpen(0), 0);
    EXPECT_FALSE(form->DeviceBusy());
}

TEST_F(CalibrationTest, WithoutATrackerNothingIsSent)
{
    Open();
    PlSim_Unplug(0);
    form->CheckDevicePresence();
    Settle(*form);
    PlSim_ClearLog(0);
    QTest::mouseClick(Button(), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Plendoro"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Устройство не подключено."));
    EXPECT_TRUE(cal->Armed());
    EXPECT_EQ(Log(), "");
}

TEST_F(TransferFixture, TheServiceFeaturesAppearOnlyWhenAskedFor)
{
    for (bool on : {false, true}) {
        service = on;
        Start(403, false);
        auto* menu = form->findChild<QAction*>(QStringLiteral("mCalibrate"));
        EXPECT_EQ(menu != nullptr, on);
        EXPECT_EQ(form->Editor().Field(QStringLiteral("gbFirmware"))->isVisibleTo(form.get()), on);
        if (!on)
            continue;
        TCalForm cal(link, form->Worker(), dialogs, SystemClock::Instance(), form.get());
        form->AttachCalibrationDialog(&cal);
        menu->trigger();
        EXPECT_TRUE(cal.isVisible());
        cal.close();
    }
}
