// The main window's life: start-up with and without a settings file, the
// settings it writes back, and the device presence check against the
// simulated tracker.
#include "app/MainForm.h"
#include "app/core/IniFile.h"
#include "common/FileIo.h"
#include "editor/Editor.h"
#include "editor/FieldLookup.h"
#include "plendoro_sim.h"

#include "FakeD2xx.h"
#include "ScriptedDialogs.h"
#include "WindowSettle.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace plendoro;

namespace {

struct MainFormFixture : ::testing::Test {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    UsbLink link;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
    }
    void TearDown() override { form.reset(); }

    QString Folder() const { return dir.path() + QLatin1Char('/'); }
    std::string IniPath() const { return (Folder() + QStringLiteral("Plendoro.ini")).toStdString(); }
    void WriteIni(const std::string& text) { ASSERT_TRUE(WriteFileAtomically(IniPath(), text)); }
    std::string Ini() const
    {
        std::string s;
        ReadWholeFile(IniPath(), s);
        return s;
    }

    // Shows the window and lets its start timer run once.
    void Start()
    {
        TMainForm::Options o;
        o.programFolder = Folder();
        o.link = &link;
        o.dialogs = &dialogs;
        o.watchDevices = false;
        form = std::make_unique<TMainForm>(o);
        form->show();
        ASSERT_TRUE(form->InitTimer()->isActive());
        QTest::qWait(150);
        QCoreApplication::processEvents();
        ASSERT_FALSE(form->InitTimer()->isActive());
        // The start timer's presence check (and the read it may start) runs
        // on the device worker.
        Settle(*form);
    }
    QLabel* Label(const char* name) const { return form->findChild<QLabel*>(QLatin1String(name)); }
    QPushButton* Button(const char* name) const { return form->findChild<QPushButton*>(QLatin1String(name)); }
    bool Red(const char* name) const { return Label(name)->styleSheet().contains(QStringLiteral("red")); }
};

} // namespace

TEST_F(MainFormFixture, StartWithoutSettingsFile)
{
    Start();
    EXPECT_EQ(form->KvdFolder(), Folder() + QStringLiteral("KVD/"));
    EXPECT_EQ(form->UpdatePort(), 22220);
    EXPECT_EQ(Label("lblKvdFolder")->text(), form->KvdFolder());
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Kovaltrak Plendoro ")));
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Kovaltrak Plendoro %1").arg(QStringLiteral(PLENDORO_VERSION_STRING)));
    for (const auto& s : dialogs.shown)
        EXPECT_NE(s.kind, QStringLiteral("folder")) << "a known folder is not asked for";
}

TEST_F(MainFormFixture, EmptyFolderIsAskedForAndStoredAtOnce)
{
    WriteIni("[COMMON]\r\nLastKvdFolder=\r\nMainForm=10,20,900,700\r\n");
    QDir(dir.path()).mkdir(QStringLiteral("chosen"));
    dialogs.paths.push_back(dir.path() + QStringLiteral("/chosen//"));
    Start();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.front().kind, QStringLiteral("folder"));
    EXPECT_EQ(dialogs.shown.front().caption, QStringLiteral("Выберите каталог для KVD файлов"));
    const QString expected = dir.path() + QStringLiteral("/chosen/");
    EXPECT_EQ(form->KvdFolder(), expected);
    EXPECT_EQ(Label("lblKvdFolder")->text(), expected);
    EXPECT_NE(Ini().find("LastKvdFolder=" + expected.toStdString() + "\r\n"), std::string::npos) << Ini();
    EXPECT_NE(Ini().find("MainForm=10,20,900,700"), std::string::npos) << "other lines stay";
}

TEST_F(MainFormFixture, CancelledFolderChoiceKeepsTheFolder)
{
    WriteIni("[COMMON]\r\nLastKvdFolder=\r\n");
    Start();
    EXPECT_EQ(form->KvdFolder(), QString());
    EXPECT_EQ(Ini(), "[COMMON]\r\nLastKvdFolder=\r\n");
}

TEST_F(MainFormFixture, GeometryIsWrittenOnlyWhenItChanged)
{
    const std::string original = "[COMMON]\r\nLastKvdFolder=/data/kvd/\r\nMainForm=40,30,1000,760\r\n";
    WriteIni(original);
    Start();
    EXPECT_EQ(form->y(), 40);
    EXPECT_EQ(form->x(), 30);
    EXPECT_EQ(form->width(), 1000);
    EXPECT_EQ(form->height(), 760);
    form->close();
    form.reset();
    EXPECT_EQ(Ini(), original) << "neither key changed";

    Start();
    form->resize(1001, 760);
    form->close();
    form.reset();
    EXPECT_EQ(Ini(), "[COMMON]\r\nLastKvdFolder=/data/kvd/\r\nMainForm=40,30,1001,760\r\n");
}

TEST_F(MainFormFixture, MissingLibraryEndsWithAMessage)
{
    setenv("PLENDORO_D2XX_LIBRARY", "/nonexistent/libftd2xx.so", 1);
    TMainForm::Options o;
    o.programFolder = Folder();
    o.link = &link;
    o.dialogs = &dialogs;
    o.watchDevices = false;
    form = std::make_unique<TMainForm>(o);
    form->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Plendoro"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Перед первым запуском программы подключите\t\t\t\t \r\n"
                                                    "устройство к USB и установите драйвер."));
    EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Error);
    EXPECT_FALSE(form->isVisible());
}

// Every failure of the settings file ends in one message box a run, the
// first failure's.
TEST_F(MainFormFixture, AnUnreadableSettingsFileIsSaidOnceAndLeftAlone)
{
    const std::string text = "[COMMON]\r\nLastKvdFolder=/data/kvd/\r\n" + std::string(1024 * 1024, '\n');
    WriteIni(text);
    dialogs.paths = {dir.path() + QStringLiteral("/chosen")};
    Start();
    EXPECT_EQ(form->KvdFolder(), Folder() + QStringLiteral("KVD/")) << "the defaults";
    form->mSelectKvdDirClick();
    EXPECT_EQ(form->KvdFolder(), dir.path() + QStringLiteral("/chosen/")) << "the run goes on with the choice";
    form->close();
    form.reset();
    EXPECT_TRUE(Ini() == text) << "unchanged"; // too large to print
    std::vector<QString> messages;
    for (const auto& s : dialogs.shown)
        if (s.kind == QStringLiteral("message")) {
            EXPECT_EQ(s.caption, QStringLiteral("Plendoro"));
            messages.push_back(s.text);
        }
    EXPECT_EQ(messages, std::vector<QString>{QStringLiteral("Не удалось прочитать настройки программы из %1; "
                                                            "используются значения по умолчанию")
                                                 .arg(QString::fromStdString(IniPath()))});
}

TEST_F(MainFormFixture, SettingsThatCannotBeSavedAreSaidOnce)
{
    WriteIni("[COMMON]\r\nLastKvdFolder=/data/kvd/\r\n");
    ASSERT_EQ(chmod(IniPath().c_str(), 0444), 0);
    dialogs.paths = {dir.path() + QStringLiteral("/chosen"), dir.path() + QStringLiteral("/other")};
    Start();
    form->mSelectKvdDirClick();
    form->mSelectKvdDirClick();
    form->resize(form->width() + 10, form->height());
    form->close();
    form.reset();
    EXPECT_EQ(Ini(), "[COMMON]\r\nLastKvdFolder=/data/kvd/\r\n");
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[1].kind, QStringLiteral("message"));
    EXPECT_EQ(dialogs.shown[1].caption, QStringLiteral("Plendoro"));
    EXPECT_EQ(dialogs.shown[1].text,
              QStringLiteral("Не удалось сохранить настройки программы в %1").arg(QString::fromStdString(IniPath())));
    EXPECT_EQ(dialogs.shown[2].kind, QStringLiteral("folder"));

    // Another run, another message: a folder name the file cannot hold.
    ASSERT_EQ(chmod(IniPath().c_str(), 0644), 0);
    dialogs.shown.clear();
    dialogs.paths = {dir.path() + QStringLiteral("/two\nlines")};
    Start();
    form->mSelectKvdDirClick();
    form->close();
    form.reset();
    EXPECT_NE(Ini().find("LastKvdFolder=/data/kvd/\r\n"), std::string::npos) << Ini();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].caption, QStringLiteral("Plendoro"));
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Не удалось сохранить настройки программы: недопустимое значение"));
}

TEST_F(MainFormFixture, HelpAndAbout)
{
    Start();
    form->HelpRequested();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Не найдено руководство пользователя: ") +
                                             form->ProgramFolder() + QStringLiteral("manual/"));
    EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("Kovaltrak Plendoro"));

    form->mAboutClick();
    QPointer<TAboutForm> first = form->About();
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isModal());
    form->mAboutClick();
    EXPECT_EQ(form->About(), first.data()) << "one About window at a time";
    EXPECT_EQ(first->VersionLabel()->text(), QStringLiteral("Версия " PLENDORO_VERSION_STRING));
    ASSERT_NE(first->LibraryLabel(), nullptr);
    EXPECT_EQ(first->LibraryLabel()->text(), QStringLiteral("Библиотека USB: " PLENDORO_SIM_LIBRARY));
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "closing destroys it";
}

// A tracker the library lists but cannot open is not "absent": the status
// line tells the technician what keeps it closed.
TEST_F(MainFormFixture, ATrackerThatDoesNotOpenSaysWhy)
{
    FakeClock clock;
    auto fake = std::make_unique<FakeD2xx>(clock);
    fake->devices.push_back({"Kovaltrak WiFi", "0005000", false});
    fake->openFailure = {OpenFailure::Kind::Busy, "/dev/ttyUSB0", "minicom"};
    FakeD2xx* lib = fake.get();
    link.Bind(std::move(fake));
    Start();
    EXPECT_EQ(Label("CommandInfo")->text(), QStringLiteral("Порт /dev/ttyUSB0 занят программой minicom"));
    EXPECT_TRUE(Red("CommandInfo"));
    EXPECT_FALSE(Button("btnReadSettings")->isEnabled());

    lib->openFailure = {OpenFailure::Kind::NoPermission, "/dev/ttyUSB3", ""};
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(Label("CommandInfo")->text(),
              QStringLiteral("Нет доступа к /dev/ttyUSB3: установите правило udev из пакета или добавьте "
                             "пользователя в группу dialout и войдите заново"));
    EXPECT_TRUE(Red("CommandInfo"));

    lib->openFailure = {};
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(Label("CommandInfo")->text(), QStringLiteral("Устройство не подключено"));
}

TEST_F(MainFormFixture, StartWithoutTracker)
{
    PlSim_Unplug(0);
    Start();
    for (const char* panel : {"SerNum", "FVersion", "HVersion"}) {
        EXPECT_EQ(Label(panel)->text(), QStringLiteral("------"));
        EXPECT_TRUE(Red(panel)) << panel;
    }
    EXPECT_EQ(Label("pnMACAddr")->text(), QStringLiteral("--:--:--:--:--:--"));
    EXPECT_TRUE(Red("pnMACAddr"));
    EXPECT_EQ(Label("CommandInfo")->text(), QStringLiteral("Устройство не подключено"));
    EXPECT_TRUE(Red("CommandInfo"));
    EXPECT_FALSE(Button("btnReadSettings")->isEnabled());
    EXPECT_FALSE(Button("btnWriteSettings")->isEnabled());
    EXPECT_EQ(form->FirmwareVersion(), 403);
}

TEST_F(MainFormFixture, PlugInAndPullOut)
{
    PlSim_Unplug(0);
    Start();
    PlSim_Plug(0);
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(Label("SerNum")->text(), QStringLiteral("0005000"));
    EXPECT_FALSE(Red("SerNum"));
    EXPECT_EQ(Label("pnMACAddr")->text(), QStringLiteral("00:50:26:00:13:88"));
    EXPECT_EQ(Label("FVersion")->text(), QStringLiteral("4.03"));
    EXPECT_EQ(Label("HVersion")->text(), QStringLiteral("4"));
    EXPECT_TRUE(Button("btnReadSettings")->isEnabled());
    EXPECT_TRUE(Button("btnWriteSettings")->isEnabled());
    EXPECT_TRUE(form->Link().Connected());
    EXPECT_FALSE(form->Link().HasHandle()) << "the device is closed between exchanges";

    // Another USB device coming or going changes nothing.
    PlSim_ClearLog(0);
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(Label("SerNum")->text(), QStringLiteral("0005000"));
    EXPECT_EQ(PlSim_RequestCount(0), 0) << "the probe only opens and closes";

    QApplication::clipboard()->clear();
    QTest::mouseDClick(Label("pnMACAddr"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("00:50:26:00:13:88"));

    PlSim_Unplug(0);
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(Label("SerNum")->text(), QStringLiteral("------"));
    EXPECT_EQ(Label("CommandInfo")->text(), QStringLiteral("Устройство не подключено"));
    EXPECT_FALSE(Button("btnReadSettings")->isEnabled());
    EXPECT_EQ(form->Link().DeviceIndex(), -1);
    EXPECT_FALSE(form->Link().Connected());
}

TEST_F(MainFormFixture, TrackerThatNeverAnswersItsVersion)
{
    PlSim_Unplug(0);
    Start();
    PlSim_SetFault(0, "version_silent");
    PlSim_Plug(0);
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(Label("CommandInfo")->text(), QStringLiteral("Ошибка чтения версии прошивки"));
    EXPECT_TRUE(Red("CommandInfo"));
    EXPECT_EQ(Label("SerNum")->text(), QStringLiteral("0005000"));
    EXPECT_EQ(Label("pnMACAddr")->text(), QStringLiteral("00:50:26:00:13:88"));
    EXPECT_EQ(Label("FVersion")->text(), QStringLiteral("------"));
    EXPECT_FALSE(form->Link().Connected());
    EXPECT_GE(form->Link().DeviceIndex(), 0) << "identified, version unread";
}

TEST_F(MainFormFixture, OldFirmwareDoesNotAskForHardware)
{
    PlSim_SetVersions(0, 305, 2);
    Start();
    EXPECT_EQ(Label("FVersion")->text(), QStringLiteral("3.05"));
    EXPECT_EQ(Label("HVersion")->text(), QStringLiteral("------"));
    EXPECT_EQ(form->Identity().hardwareVersion, 4);
    EXPECT_EQ(form->FirmwareVersion(), 305);
}

TEST_F(MainFormFixture, PagesStayPutWhileMemoryIsBeingCleared)
{
    Start();
    QTabWidget* pages = form->Pages();
    pages->setCurrentIndex(1);
    form->SetPagesLocked(true);
    pages->setCurrentIndex(3);
    EXPECT_EQ(pages->currentIndex(), 1);
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(2).center());
    EXPECT_EQ(pages->currentIndex(), 1);
    form->SetPagesLocked(false);
    pages->setCurrentIndex(3);
    EXPECT_EQ(pages->currentIndex(), 3);
}

TEST_F(MainFormFixture, VersionGateFollowsTheAttachedFirmware)
{
    PlSim_SetVersions(0, 200, 4);
    WriteIni("[COMMON]\r\nLastKvdFolder=/tmp/\r\n");
    Start();
    SettingsEditor& editor = form->Editor();
    for (const char* off : {"cbIn1Send", "rbIn1Motion", "cbwChanel"})
        EXPECT_FALSE(IsOwnEnabled(editor.Field(QLatin1String(off)))) << off;
    EXPECT_TRUE(IsOwnEnabled(editor.Field(QStringLiteral("edCnt56SendPeriod"))));
    // Pulled out: the editor offers every field again.
    PlSim_Unplug(0);
    form->CheckDevicePresence();
    Settle(*form);
    for (const char* on : {"cbIn1Send", "rbIn1Motion", "cbwChanel"})
        EXPECT_TRUE(IsOwnEnabled(editor.Field(QLatin1String(on)))) << on;
}

TEST_F(MainFormFixture, HardwareRuleOverridesTheGateForFirmware305)
{
    PlSim_SetVersions(0, 305, 4);
    Start();
    EXPECT_TRUE(IsOwnEnabled(form->Editor().Field(QStringLiteral("intGlonass"))))
        << "hardware 4 offers the receiver modes although they need firmware 309";
    EXPECT_FALSE(IsOwnEnabled(form->Editor().Field(QStringLiteral("cbStaticNav"))));
}

TEST(InstalledWindow, KeepsItsSettingsInTheUsersFolderAcrossStarts)
{
    QTemporaryDir dir;
    const std::string user = (dir.path() + QStringLiteral("/config/Plendoro/")).toStdString();
    const std::string program = (dir.path() + QStringLiteral("/usr-bin/")).toStdString();
    QDir().mkpath(QString::fromStdString(program));
    setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
    PlSim_Reset();
    ScriptedDialogs dialogs;
    UsbLink link;
    TMainForm::Options o;
    o.programFolder = QString::fromStdString(program);
    o.link = &link;
    o.dialogs = &dialogs;
    o.watchDevices = false;
    o.settingsPlace = SettingsPlaceFor(Layout::Installed, program, user);
    const QString chosen = dir.path() + QStringLiteral("/kvd");
    dialogs.paths = {chosen};
    {
        TMainForm form(o);
        form.show();
        QTest::qWait(150);
        Settle(form);
        EXPECT_EQ(form.SettingsFolder(), QString::fromStdString(user));
        ASSERT_EQ(dialogs.shown.size(), 1u) << "no database folder yet: the first start asks";
        EXPECT_EQ(form.KvdFolder(), chosen + QLatin1Char('/'));
    }
    EXPECT_TRUE(QFile::exists(QString::fromStdString(user) + QStringLiteral("Plendoro.ini")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(program) + QStringLiteral("Plendoro.ini")));
    TMainForm again(o);
    again.show();
    QTest::qWait(150);
    Settle(again);
    EXPECT_EQ(again.KvdFolder(), chosen + QLatin1Char('/'));
    EXPECT_EQ(dialogs.shown.size(), 1u) << "the folder was kept";
}
