// plendoro-cli's commands run in one process against the simulated world of
// two trackers: exit statuses, results, messages, and the bytes the tracker
// and the files receive.
#include "cli/Cli.h"
#include "plendoro_sim.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace plendoro::cli;

namespace {

using Bytes = std::vector<unsigned char>;

struct Result {
    int status = -1;
    std::string out, err;
};

struct CliTest : ::testing::Test {
    QTemporaryDir dir;

    void SetUp() override
    {
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
        ASSERT_EQ(PlSim_LoadScenarioFile(PLENDORO_SCENARIOS "/two_trackers.scn"), 0) << PlSim_LastError();
        PlSim_SetWireTiming(0);
        PlSim_SetTurnaroundUs(0);
        QDir(dir.path()).mkpath(QStringLiteral("KVD"));
    }
    Result Cli(std::vector<std::string> args)
    {
        std::ostringstream out, err;
        Io io{out, err};
        io.programFolder = dir.path().toStdString() + "/";
        io.now = [] { return QDateTime(QDate(2026, 12, 9), QTime(14, 7, 9)); };
        Result r;
        r.status = plendoro::cli::Run(args, io);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
    std::string Path(const char* name) const { return dir.filePath(QLatin1String(name)).toStdString(); }
    static Bytes Block(int device, int block)
    {
        Bytes b(1024);
        const int n = PlSim_GetBlock(device, block, b.data(), static_cast<int>(b.size()));
        b.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        return b;
    }
    static QByteArray File(const std::string& path)
    {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(CliTest, ListShowsEveryTrackerAndUsageErrorsTouchNothing)
{
    Result r = Cli({"list"});
    EXPECT_EQ(r.status, kDone) << r.err;
    EXPECT_NE(r.out.find("0005000\t00:50:26:00:13:88\t4.03\t4\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0012345\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\t3.10\t3\t"), std::string::npos) << r.out;

    r = Cli({"list", "--json"});
    EXPECT_NE(r.out.find("\"firmware\": \"4.03\""), std::string::npos) << r.out;

    PlSim_ClearLog(0);
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } refused[] = {
        {{"read"}, kNoTracker, "Подключено несколько приборов"},
        {{"read", "-d", "0099999"}, kNoTracker, "Устройство не подключено: 0099999"},
        {{"clear", "-d", "0005000"}, kUsage, "--yes"},
        {{"frobnicate"}, kUsage, "unknown command frobnicate"},
        {{"read", "--bogus"}, kUsage, "unknown option --bogus"},
        {{"write", "-d", "0005000", Path("none.kvp"), "--no-files"}, kFileFailed, "Не удалось открыть профиль"},
    };
    for (const auto& c : refused) {
        r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(PlSim_RequestCount(0), 2) << "only the refused write's identification talked to the tracker";
    EXPECT_NE(Cli({"--help"}).out.find("Exit status"), std::string::npos);
    EXPECT_NE(Cli({"write", "--help"}).out.find("--kvd-folder"), std::string::npos);
}

TEST_F(CliTest, ReadThenWriteLeavesTheTrackerAsItWasAndWritesTheFiles)
{
    const Bytes before[] = {Block(1, 0), Block(1, 1), Block(1, 2), Block(1, 3), Block(1, 5), Block(1, 6)};
    QDir::setCurrent(dir.path());
    Result r = Cli({"read", "-d", "0012345"});
    ASSERT_EQ(r.status, kDone) << r.err;
    EXPECT_EQ(r.out, "WF_12345_261209_140709.kvp\n") << "named as the automatic profile";
    EXPECT_NE(r.err.find("Настройки успешно считаны"), std::string::npos);

    r = Cli({"write", "-d", "0012345", "WF_12345_261209_140709.kvp", "--kvd-folder", Path("KVD")});
    ASSERT_EQ(r.status, kDone) << r.err;
    EXPECT_NE(r.err.find("Настройки сохранены"), std::string::npos);
    const Bytes after[] = {Block(1, 0), Block(1, 1), Block(1, 2), Block(1, 3), Block(1, 5), Block(1, 6)};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(after[i], before[i]) << i;
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("KVD/WF012345.kvd"))));
    EXPECT_EQ(File(Path("KVD/Profiles/WF_12345_261209_140709.kvp")), File(Path("WF_12345_261209_140709.kvp")))
        << "the automatic profile holds what was written";

    r = Cli({"diff", "WF_12345_261209_140709.kvp", "device:0012345"});
    EXPECT_EQ(r.status, kDone) << r.out << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(CliTest, AFailingCheckNamesItsFieldAndWritesNothing)
{
    // A tracker whose network block is blank: no password, no SSID.
    const Bytes blank(Block(0, 1).size(), 0);
    ASSERT_EQ(PlSim_SetBlock(0, 1, blank.data(), static_cast<int>(blank.size())), 0);
    ASSERT_EQ(Cli({"read", "-d", "0005000", "-o", Path("a.kvp")}).status, kDone);

    PlSim_ClearLog(0);
    Result r = Cli({"write", "-d", "0005000", Path("a.kvp"), "--no-files"});
    EXPECT_EQ(r.status, kChecksFailed);
    EXPECT_NE(r.err.find("Передача данных / Сервер данных: Порт сервера: Неверно указан порт сервера"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(PlSim_RequestCount(0), 2) << "the versions only, no block: " << r.err;

    r = Cli({"diff", Path("a.kvp"), Path("a.kvp")});
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(r.out, "");
    r = Cli({"diff", Path("a.kvp"), "device:0012345"});
    EXPECT_EQ(r.status, kDiffers);
    EXPECT_NE(r.out.find("\t"), std::string::npos);
}

TEST_F(CliTest, ClearAndExportKeepTheWindowsTexts)
{
    Result r = Cli({"clear", "-d", "0005000", "--yes"});
    EXPECT_EQ(r.status, kDone) << r.err;
    EXPECT_NE(r.err.find("Память прибора очищена"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("\r"), std::string::npos) << "no progress off a terminal";

    ASSERT_EQ(Cli({"read", "-d", "0005000", "-o", Path("b.kvp")}).status, kDone);
    r = Cli({"export-kvc", Path("b.kvp")});
    EXPECT_EQ(r.status, kDone) << r.err;
    EXPECT_EQ(r.out, Path("b.kvc") + "\n");
    EXPECT_FALSE(File(Path("b.kvc")).isEmpty());
}
