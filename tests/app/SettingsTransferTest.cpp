// Reading and writing every settings block through the window, against the
// simulated tracker.
#include "app/MainForm.h"
#include "editor/Editor.h"
#include "link/Identification.h"
#include "editor/binding/SettingsTransfer.h"
#include "plendoro_sim.h"

#include "ScriptedDialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace plendoro;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Stored(int block)
{
    Bytes b(1024);
    const int n = PlSim_GetBlock(0, block, b.data(), static_cast<int>(b.size()));
    b.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return b;
}

std::string Log()
{
    std::string s(8192, '\0');
    const int n = PlSim_RequestLog(0, s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<std::size_t>(std::min<int>(n, static_cast<int>(s.size()) - 1)));
    return s;
}

struct TransferFixture : ::testing::Test {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    UsbLink link;
    std::unique_ptr<TMainForm> form;

    void SetUp() override
    {
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
        PlSim_SetTurnaroundUs(0);
    }
    // Starts the window with the tracker attached; `read` is whether the
    // presence check reads the settings at once.
    void Start(int firmware, bool read = true)
    {
        PlSim_SetVersions(0, firmware, 4);
        PlSim_Unplug(0);
        TMainForm::Options o;
        o.programFolder = dir.path();
        QDir(dir.path()).mkpath(QStringLiteral("KVD"));
        o.link = &link;
        o.dialogs = &dialogs;
        o.watchDevices = false;
        form = std::make_unique<TMainForm>(o);
        form->show();
        QTest::qWait(150);
        form->findChild<QCheckBox*>(QStringLiteral("cbDontRead"))->setChecked(!read);
        PlSim_ClearLog(0);
        PlSim_Plug(0);
        form->CheckDevicePresence();
    }
    QString Status() const { return form->findChild<QLabel*>(QStringLiteral("CommandInfo"))->text(); }
    QLineEdit* Edit(const char* name) const { return form->Editor().FieldAs<QLineEdit>(QLatin1String(name)); }
    Bytes Encoded(int block)
    {
        return EncodeBlockFromEditor(form->Editor(), static_cast<BlockId>(block), GenerationOf(form->FirmwareVersion()),
                                     form->FirmwareVersion(), form->LocalHourOffset());
    }
};

} // namespace

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
        EXPECT_EQ(log.find("READ 6"), std::string(c.reads).find("READ 6") == std::string::npos ? std::string::npos : log.find("READ 6"));

        PlSim_ClearLog(0);
        form->btnWriteSettingsClick();
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
    ASSERT_EQ(Status(), QStringLiteral("Настройки сохранены"));
    std::vector<Bytes> written;
    for (int block : {0, 1, 2, 3, 5, 6}) {
        written.push_back(Encoded(block));
        EXPECT_EQ(written.back(), Stored(block)) << "block " << block;
    }

    Edit("edSSID")->setText(QStringLiteral("other"));
    Edit("edWritePeriod")->setText(QStringLiteral("99"));
    form->btnReadSettingsClick();
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
    EXPECT_EQ(Status(), QStringLiteral("Запрос Id=2 ошибка: Внутренняя ошибка"));
    EXPECT_EQ(Edit("edSSID")->text(), QStringLiteral("before")) << "block 1 was decoded";
}

TEST_F(TransferFixture, FailedValidationSendsNothing)
{
    Start(403);
    Edit("edWritePeriod")->setText(QStringLiteral("12a"));
    PlSim_ClearLog(0);
    form->btnWriteSettingsClick();
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
    EXPECT_EQ(Status(), QStringLiteral("Настройки сохранены"));
    EXPECT_TRUE(QFileInfo::exists(kvd + QStringLiteral("WF005000.kvd")));
    EXPECT_TRUE(QFileInfo::exists(kvd + QStringLiteral("WF005000-srv.kvd")));
    const QStringList profiles = QDir(kvd + QStringLiteral("Profiles")).entryList({QStringLiteral("WF_05000_*.kvp")});
    ASSERT_EQ(profiles.size(), 1);
    EXPECT_EQ(QFileInfo(kvd + QStringLiteral("Profiles/") + profiles[0]).size(), 987);
}

TEST_F(TransferFixture, FailedWriteLeavesNoFiles)
{
    Start(403);
    const QString kvd = dir.path() + QStringLiteral("/KVD/");
    PlSim_SetFault(0, "error_block 6 5");
    form->btnWriteSettingsClick();
    EXPECT_EQ(Status(), QStringLiteral("Ошибка загрузки настроек 1-wire"));
    EXPECT_FALSE(QFileInfo::exists(kvd + QStringLiteral("WF005000.kvd")));
    EXPECT_FALSE(QDir(kvd + QStringLiteral("Profiles")).exists());
}
