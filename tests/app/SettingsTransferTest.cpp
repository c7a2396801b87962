// Reading and writing every settings block through the window, against the
// simulated tracker.
#include "editor/binding/SettingsTransfer.h"
#include "app/MainForm.h"
#include "editor/Editor.h"
#include "link/Identification.h"
#include "plendoro_sim.h"

#include "ScriptedDialogs.h"
#include "WindowFixture.h"
#include "editor/FieldBalloon.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace plendoro;
using namespace windowtest;

TEST_F(TransferFixture, PlugInReadsEveryBlockIntoTheEditor)
{
    Start(403);
    EXPECT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
    EXPECT_EQ(Log(), "CMD FL_READ_VERSION$\nCMD GET_HVERSION\nREAD 0\nREAD 1\nREAD 2\nREAD 3\nREAD 5\nREAD 6\n");
    EXPECT_FALSE(link.HasHandle());
    // What the editor shows encodes back to exactly what the tracker holds.
    for (int block : {0, 1, 2, 3, 5, 6})
        EXPECT_EQ(Encoded(block), Stored(block)) << "block " << block;
}

TEST_F(TransferFixture, DontReadLeavesTheEditorAlone)
{
    Start(403, false);
    EXPECT_EQ(Status(), QStringLiteral("Настройки не были считаны"));
    EXPECT_EQ(Log(), "CMD FL_READ_VERSION$\nCMD GET_HVERSION\n");
}

TEST_F(TransferFixture, GenerationsReadAndWriteTheirOwnBlocks)
{
    struct Case {
        int firmware;
        const char* reads;
        const char* writes;
    };
    const Case cases[] = {
        {250, "READ 0\nREAD 1\nREAD 2\nREAD 3\n", "WRITE 0 9\nWRITE 1 108\nWRITE 2 72\nWRITE 3 20\n"},
        {304, "READ 0\nREAD 1\nREAD 2\nREAD 3\nREAD 5\n",
         "WRITE 0 9\nWRITE 1 111\nWRITE 2 72\nWRITE 3 20\nWRITE 5 214\n"},
        {305, "READ 0\nREAD 1\nREAD 2\nREAD 3\nREAD 5\nREAD 6\n",
         "WRITE 0 9\nWRITE 1 111\nWRITE 2 72\nWRITE 3 20\nWRITE 5 214\nWRITE 6 476\n"},
        {403, "READ 0\nREAD 1\nREAD 2\nREAD 3\nREAD 5\nREAD 6\n",
         "WRITE 0 9\nWRITE 1 117\nWRITE 2 72\nWRITE 3 20\nWRITE 5 214\nWRITE 6 476\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware);
        PlSim_Reset();
        PlSim_SetTurnaroundUs(0);
        form.reset();
        link.SetConnected(false);
        Start(c.firmware);
        EXPECT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
        const std::string log = Log();
        EXPECT_NE(log.find(c.reads), std::string::npos) << log;
        EXPECT_EQ(log.find("READ 6"),
                  std::string(c.reads).find("READ 6") == std::string::npos ? std::string::npos : log.find("READ 6"));

        PlSim_ClearLog(0);
        form->btnWriteSettingsClick();
        Settle(*form);
        EXPECT_EQ(Status(), QStringLiteral("Настройки сохранены"));
        EXPECT_EQ(Log(), c.writes);
    }
}

TEST_F(TransferFixture, ReadAfterWriteGivesTheSameEditor)
{
    Start(403);
    Edit("edSSID")->setText(QStringLiteral("Garage_7"));
    Edit("edServer")->setText(QStringLiteral("10.1.2.3"));
    Edit("edWritePeriod")->setText(QStringLiteral("45"));
    form->btnWriteSettingsClick();
    Settle(*form);
    ASSERT_EQ(Status(), QStringLiteral("Настройки сохранены"));
    std::vector<Bytes> written;
    for (int block : {0, 1, 2, 3, 5, 6}) {
        written.push_back(Encoded(block));
        EXPECT_EQ(written.back(), Stored(block)) << "block " << block;
    }

    Edit("edSSID")->setText(QStringLiteral("other"));
    Edit("edWritePeriod")->setText(QStringLiteral("99"));
    form->btnReadSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
    EXPECT_EQ(Edit("edSSID")->text(), QStringLiteral("Garage_7"));
    EXPECT_EQ(Edit("edServer")->text(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(Edit("edWritePeriod")->text(), QStringLiteral("45"));
    int i = 0;
    for (int block : {0, 1, 2, 3, 5, 6})
        EXPECT_EQ(Encoded(block), written[i++]) << "block " << block;
}

TEST_F(TransferFixture, WriteFailingAtTheCanBlock)
{
    Start(403);
    const Bytes oldCan = Stored(5);
    const Bytes oldOneWire = Stored(6);
    Edit("edSSID")->setText(QStringLiteral("NewNet"));
    PlSim_SetFault(0, "error_block 5 5");
    PlSim_ClearLog(0);
    form->btnWriteSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка загрузки настроек CAN"));
    EXPECT_EQ(Log(), "WRITE 0 9\nWRITE 1 117\nWRITE 2 72\nWRITE 3 20\nWRITE 5 214\n");
    EXPECT_EQ(Stored(1), Encoded(1)) << "the blocks before the failure are stored";
    EXPECT_EQ(Stored(5), oldCan);
    EXPECT_EQ(Stored(6), oldOneWire);
    EXPECT_FALSE(link.HasHandle());
}

TEST_F(TransferFixture, ReadFailingAtTheInputsBlockKeepsEarlierBlocks)
{
    Start(403, false);
    // Change what the tracker holds in block 1 so its decoding shows.
    Edit("edSSID")->setText(QStringLiteral("before"));
    const Bytes editorNet = Encoded(1);
    ASSERT_EQ(PlSim_SetBlock(0, 1, editorNet.data(), static_cast<int>(editorNet.size())), 0);
    Edit("edSSID")->setText(QStringLiteral("changed"));
    PlSim_SetFault(0, "error_block 2 3");
    form->btnReadSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Запрос Id=2 ошибка: Внутренняя ошибка"));
    EXPECT_EQ(Edit("edSSID")->text(), QStringLiteral("before")) << "block 1 was decoded";
}

TEST_F(TransferFixture, FailedValidationSendsNothing)
{
    Start(403);
    Edit("edWritePeriod")->setText(QStringLiteral("12a"));
    PlSim_ClearLog(0);
    form->btnWriteSettingsClick();
    Settle(*form);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(PlSim_IsOpen(0), 0);
    EXPECT_FALSE(link.InUse());
}

TEST_F(TransferFixture, SuccessfulWriteLeavesDatabaseFilesAndAProfile)
{
    Start(403);
    const QString kvd = dir.path() + QStringLiteral("/KVD/");
    ASSERT_EQ(form->KvdFolder(), kvd);
    form->btnWriteSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Настройки сохранены"));
    EXPECT_TRUE(QFileInfo::exists(kvd + QStringLiteral("WF005000.kvd")));
    EXPECT_TRUE(QFileInfo::exists(kvd + QStringLiteral("WF005000-srv.kvd")));
    const QStringList profiles = QDir(kvd + QStringLiteral("Profiles")).entryList({QStringLiteral("WF_05000_*.kvp")});
    ASSERT_EQ(profiles.size(), 1);
    EXPECT_EQ(QFileInfo(kvd + QStringLiteral("Profiles/") + profiles[0]).size(), 987);
}

// A profile folder that cannot be made: the save says so in red, from the
// menu and after a write, and the write's other files are made as before.
TEST_F(TransferFixture, AProfileThatCannotBeSavedIsSaidInRed)
{
    Start(403);
    const QString kvd = dir.path() + QStringLiteral("/KVD/");
    QFile blocker(kvd + QStringLiteral("Profiles"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto* status = form->findChild<QLabel*>(QStringLiteral("CommandInfo"));

    dialogs.paths = {kvd + QStringLiteral("Profiles/mine.kvp")};
    form->findChild<QAction*>(QStringLiteral("mSaveProfile"))->trigger();
    EXPECT_EQ(Status(), QStringLiteral("Ошибка при сохранении профиля"));
    EXPECT_TRUE(status->styleSheet().contains(QStringLiteral("red")));

    form->ShowStatus(QString(), false);
    form->btnWriteSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка при сохранении профиля"));
    EXPECT_TRUE(status->styleSheet().contains(QStringLiteral("red")));
    EXPECT_TRUE(QFileInfo::exists(kvd + QStringLiteral("WF005000.kvd")));
    EXPECT_TRUE(QFileInfo::exists(kvd + QStringLiteral("WF005000-srv.kvd")));
}

TEST_F(TransferFixture, FailedWriteLeavesNoFiles)
{
    Start(403);
    const QString kvd = dir.path() + QStringLiteral("/KVD/");
    PlSim_SetFault(0, "error_block 6 5");
    form->btnWriteSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка загрузки настроек 1-wire"));
    EXPECT_FALSE(QFileInfo::exists(kvd + QStringLiteral("WF005000.kvd")));
    EXPECT_FALSE(QDir(kvd + QStringLiteral("Profiles")).exists());
}

// The window keeps working while the tracker is being talked to.

TEST_F(TransferFixture, TheWindowTicksWhileASilentTrackerIsRead)
{
    Start(403, false);
    Recorded recorded(*form);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    PlSim_SetFault(0, "silent");
    form->btnReadSettingsClick();
    EXPECT_TRUE(form->DeviceBusy());
    EXPECT_FALSE(OwnEnabled(*form, "btnReadSettings"));
    EXPECT_FALSE(form->Pages()->isEnabled()) << "the pages are read-only during a read";
    Settle(*form);
    // Eight attempts of about a second each: a frozen window would not tick.
    EXPECT_GT(ticks, 100);
    EXPECT_TRUE(recorded.texts.contains(QStringLiteral("Нет ответа прибора, попытка 8 из 8")));
    EXPECT_EQ(Status(), QStringLiteral("Ошибка при считывании параметров."));
    EXPECT_TRUE(form->Pages()->isEnabled());
    EXPECT_TRUE(OwnEnabled(*form, "btnReadSettings"));
}

TEST_F(TransferFixture, AFieldEditedDuringAWriteDoesNotReachTheFiles)
{
    Start(403);
    Edit("edPassword")->setText(QStringLiteral("written1"));
    // The first request of the write goes unanswered, which leaves time to
    // edit while the write is under way.
    PlSim_SetFault(0, "silent 1");
    Recorded recorded(*form);
    form->btnWriteSettingsClick();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return recorded.texts.contains(QStringLiteral("Нет ответа прибора, попытка 2 из 8")); }, 10000))
        << recorded.texts.join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(form->DeviceBusy());
    Edit("edPassword")->setText(QStringLiteral("edited12"));
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Настройки сохранены"));

    QFile kvd(dir.path() + QStringLiteral("/KVD/WF005000.kvd"));
    ASSERT_TRUE(kvd.open(QIODevice::ReadOnly));
    const QByteArray text = kvd.readAll();
    EXPECT_TRUE(text.contains("written1"));
    EXPECT_FALSE(text.contains("edited12"));
    // The profile holds the block the tracker stored, byte for byte.
    const QString profiles = dir.path() + QStringLiteral("/KVD/Profiles/");
    const QStringList names = QDir(profiles).entryList({QStringLiteral("WF_05000_*.kvp")});
    ASSERT_EQ(names.size(), 1);
    QFile profile(profiles + names[0]);
    ASSERT_TRUE(profile.open(QIODevice::ReadOnly));
    const QByteArray bytes = profile.readAll();
    const Bytes net = Stored(1);
    EXPECT_TRUE(bytes.contains(QByteArray(reinterpret_cast<const char*>(net.data()), static_cast<int>(net.size()))));
}

TEST_F(TransferFixture, NotificationsDuringAReadAreCheckedOnceAfterIt)
{
    Start(403, false);
    Recorded recorded(*form);
    PlSim_SetFault(0, "silent 1");
    form->btnReadSettingsClick();
    for (int i = 0; i < 3; ++i)
        form->CheckDevicePresence();
    EXPECT_EQ(recorded.presenceChecks, 0) << "nothing touches the device while the read holds it";
    Settle(*form);
    EXPECT_EQ(recorded.presenceChecks, 1);
    EXPECT_TRUE(recorded.texts.contains(QStringLiteral("Настройки успешно считаны")));
}

// "Выход" closes as the close button does; a close asked for during a
// command is remembered and happens when the command ends.
TEST_F(TransferFixture, ACloseDuringAWriteWaitsForItAndThenCloses)
{
    Start(403);
    QAction* exit = form->findChild<QAction*>(QStringLiteral("mExit"));
    PlSim_SetFault(0, "silent 1");
    form->btnWriteSettingsClick();
    exit->trigger();
    EXPECT_EQ(Status(), QStringLiteral("Дождитесь окончания операции с прибором"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form->isVisible(); }, 10000)) << "no second request is needed";
    EXPECT_EQ(Status(), QStringLiteral("Настройки сохранены"));

    Start(403);
    form->findChild<QAction*>(QStringLiteral("mExit"))->trigger();
    EXPECT_FALSE(form->isVisible()) << "an idle window closes at once";
}

// The checks' balloon must reach the screen, at its field, for its time.
TEST_F(TransferFixture, ARefusedWriteShowsItsBalloonAtTheField)
{
    Start(403);
    form->activateWindow();
    QLineEdit* period = Edit("edWritePeriod");
    period->setText(QStringLiteral("12a"));
    form->btnWriteSettingsClick();
    Settle(*form);
    QTest::qWait(300);
    const FieldBalloon& balloon = FieldBalloon::Instance();
    EXPECT_TRUE(balloon.isVisible());
    EXPECT_FALSE(balloon.text().isEmpty());
    EXPECT_EQ(balloon.Field(), period);
    EXPECT_TRUE(period->hasFocus());
    EXPECT_FALSE(form->DeviceBusy());
    HideBallon();
}

// The portable layout's own database folder is made when it is missing.
TEST_F(TransferFixture, AFirstWriteMakesTheMissingDatabaseFolder)
{
    Start(403);
    QDir(dir.filePath(QStringLiteral("KVD"))).removeRecursively();
    form->btnWriteSettingsClick();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Настройки сохранены"));
    const QDir kvd(dir.filePath(QStringLiteral("KVD")));
    EXPECT_EQ(kvd.entryList(QDir::Files).size(), 2) << kvd.entryList().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QDir(kvd.filePath(QStringLiteral("Profiles"))).entryList(QDir::Files).size(), 1);
}

TEST_F(TransferFixture, CommandsAfterAReadAreAsThePresenceDisplaySetThem)
{
    // The states each display sets: a 2.50 tracker has no CAN search and
    // no sensor search; a 3.04 tracker has the CAN search only.
    const struct {
        int firmware;
        const char* states;
    } cases[] = {
        {250, "btnReadSettings=1 btnWriteSettings=1 btnCANSearch=0 btnItSearchTemp=0"},
        {304, "btnReadSettings=1 btnWriteSettings=1 btnCANSearch=1 btnItSearchTemp=0"},
    };
    for (const auto& c : cases) {
        Start(c.firmware);
        EXPECT_EQ(CommandStates(*form), QLatin1String(c.states)) << c.firmware;
        form->btnReadSettingsClick();
        Settle(*form);
        EXPECT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
        EXPECT_EQ(CommandStates(*form), QLatin1String(c.states)) << c.firmware << " after a read";
    }
}

TEST_F(TransferFixture, AnUnreadableVersionLeavesTheCommandsAsTheyWere)
{
    PlSim_SetFault(0, "version_silent");
    Start(403);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка чтения версии прошивки"));
    const QString states = CommandStates(*form);
    form->btnReadSettingsClick();
    Settle(*form);
    EXPECT_EQ(CommandStates(*form), states);
    EXPECT_FALSE(OwnEnabled(*form, "btnWriteSettings")) << "no tracker of known firmware is attached";
}

// The tracker is attached before the window opens, so no absent-device
// display closes the commands first.
TEST_F(TransferFixture, CommandsOpenOnlyForATrackerOfKnownFirmware)
{
    const auto startAttached = [this](int firmware) {
        PlSim_SetVersions(0, firmware, 4);
        PlSim_Plug(0);
        OpenWindow();
    };
    PlSim_SetFault(0, "version_silent");
    startAttached(403);
    EXPECT_EQ(Status(), QStringLiteral("Ошибка чтения версии прошивки"));
    EXPECT_EQ(CommandStates(*form),
              QStringLiteral("btnReadSettings=0 btnWriteSettings=0 btnCANSearch=0 btnItSearchTemp=0"));

    PlSim_SetFault(0, "none");
    startAttached(250);
    EXPECT_EQ(CommandStates(*form),
              QStringLiteral("btnReadSettings=1 btnWriteSettings=1 btnCANSearch=0 btnItSearchTemp=0"))
        << "a tracker below 3.00 has no CAN search";
}

TEST_F(TransferFixture, ProgressTextsEndInTheSameFinalTexts)
{
    for (int firmware : {250, 304, 305, 403}) {
        Start(firmware, false);
        Recorded recorded(*form);
        form->btnReadSettingsClick();
        Settle(*form);
        const int count = static_cast<int>(BlocksOf(firmware).size());
        QStringList expected;
        for (int i = 1; i <= count; ++i)
            expected << QStringLiteral("Чтение настроек: блок %1 из %2").arg(i).arg(count);
        expected << QStringLiteral("Настройки успешно считаны");
        EXPECT_EQ(recorded.texts, expected) << firmware;

        recorded.texts.clear();
        form->btnWriteSettingsClick();
        Settle(*form);
        expected.clear();
        for (int i = 1; i <= count; ++i)
            expected << QStringLiteral("Запись настроек: блок %1 из %2").arg(i).arg(count);
        expected << QStringLiteral("Настройки сохранены");
        EXPECT_EQ(recorded.texts, expected) << firmware;
    }
}

TEST_F(TransferFixture, ACanSearchHoldsTheOtherDeviceCommandsUntilItEnds)
{
    Start(403, false);
    const QString before = CommandStates(*form);
    Edit("edCANSearchLen")->setText(QStringLiteral("2"));
    dialogs.answers = {true};
    Recorded recorded(*form);
    QTest::mouseClick(form->Editor().FieldAs<QAbstractButton>(QStringLiteral("btnCANSearch")), Qt::LeftButton);
    ASSERT_TRUE(form->DeviceBusy());
    for (const char* name : {"btnReadSettings", "btnWriteSettings", "btnItSearchTemp", "btnClearData", "btnIbGetAddr"})
        EXPECT_FALSE(OwnEnabled(*form, name)) << name;
    EXPECT_TRUE(form->Pages()->isEnabled()) << "the pages stay usable during a search";
    form->CheckDevicePresence();
    EXPECT_EQ(recorded.presenceChecks, 0);
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Поиск завершен"));
    EXPECT_TRUE(recorded.texts.filter(QStringLiteral("Поиск параметров CAN, осталось")).size() >= 1);
    EXPECT_EQ(recorded.presenceChecks, 1);
    EXPECT_EQ(CommandStates(*form), before);
    EXPECT_TRUE(OwnEnabled(*form, "btnClearData"));
}

// With two trackers the header offers "Прибор:"; the first is used until
// another is chosen, which is then identified and read as a plug-in is.
TEST_F(TransferFixture, TheChosenTrackerAmongSeveralIsIdentifiedAndRead)
{
    ASSERT_EQ(
        PlSim_LoadScenarioText("[device]\ndescription Kovaltrak WiFi\nserial 0005000\nfirmware 4.03\nhardware 4\n"
                               "[device]\ndescription Kovaltrak WiFi\nserial 0012345\nfirmware 3.10\nhardware 3\n"),
        0)
        << PlSim_LastError();
    PlSim_SetTurnaroundUs(0);
    OpenWindow();
    auto* devices = form->findChild<QComboBox*>(QStringLiteral("cbDevice"));
    ASSERT_TRUE(devices);
    EXPECT_TRUE(devices->isVisible());
    EXPECT_EQ(devices->count(), 2);
    EXPECT_EQ(devices->currentText(), QStringLiteral("0005000"));
    EXPECT_EQ(form->FirmwareVersion(), 403);

    Recorded recorded(*form);
    devices->setCurrentIndex(1);
    emit devices->activated(1);
    Settle(*form);
    EXPECT_EQ(form->Identity().serialText, "0012345");
    EXPECT_EQ(form->FirmwareVersion(), 310);
    EXPECT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
    EXPECT_EQ(devices->currentText(), QStringLiteral("0012345"));

    PlSim_Unplug(1); // the chosen one leaves: the window takes the first at once
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(form->Identity().serialText, "0005000");
    EXPECT_FALSE(devices->isVisible()) << "with one tracker nothing changes on screen";
}
