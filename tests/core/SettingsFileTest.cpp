#include "FilesSupport.h"
#include "app/core/AppSettings.h"
#include "app/core/ProgramVersion.h"
#include "app/core/SingleInstance.h"
#include "common/Cp1251.h"
#include "common/FileIo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace plendoro;
namespace fs = std::filesystem;

namespace {

struct TempFolder {
    TempFolder()
    {
        char tmpl[] = "/tmp/plendoro-test-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

std::string Slurp(const std::string& file)
{
    std::string s;
    ReadWholeFile(file, s);
    return s;
}

void Put(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

} // namespace

TEST(SettingsFileTest, DefaultsWithoutAFile)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    AppSettings s = ReadAppSettings(ini, "/opt/plendoro/");
    EXPECT_EQ(s.kvdFolder, "/opt/plendoro/KVD/");
    EXPECT_EQ(s.updatePort, 22220);
    EXPECT_FALSE(s.geometry.Complete());
    EXPECT_FALSE(fs::exists(ini.Path())) << "reading never creates the file";
}

TEST(SettingsFileTest, FolderNormalisation)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    Put(ini.Path(), "[COMMON]\r\nLastKvdFolder=/data/kvd////\r\n");
    EXPECT_EQ(ReadAppSettings(ini, "/p/").kvdFolder, "/data/kvd/");
    Put(ini.Path(), "[COMMON]\r\nLastKvdFolder=///\r\n");
    EXPECT_EQ(ReadAppSettings(ini, "/p/").kvdFolder, "/");
    // Present but empty: the window asks for a folder at start.
    Put(ini.Path(), "[COMMON]\r\nLastKvdFolder=\r\n");
    EXPECT_EQ(ReadAppSettings(ini, "/p/").kvdFolder, "");
    // Cyrillic folder names are stored in Windows-1251.
    Put(ini.Path(), "[common]\r\nlastkvdfolder = " + Utf8ToCp1251("/home/техник/Настройки") + "\r\n");
    EXPECT_EQ(ReadAppSettings(ini, "/p/").kvdFolder, "/home/техник/Настройки/");
}

TEST(SettingsFileTest, UpdatePortKeepsTheLowSixteenBits)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    const std::pair<const char*, int> cases[] = {
        {"65535", 65535}, {"65536", 0}, {"70000", 4464}, {"abc", 22220}, {"12abc", 22220}, {"", 22220}, {"0x10", 16},
    };
    for (auto [text, port] : cases) {
        Put(ini.Path(), std::string("[COMMON]\nUpdatePort=") + text + "\n");
        EXPECT_EQ(ReadAppSettings(ini, "/p/").updatePort, port) << text;
    }
}

// The server is checked where it is used (an address or a name that
// resolves); a value that is neither must fail there, not become another server.
TEST(SettingsFileTest, UpdateServerIsKeptAsWritten)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    EXPECT_EQ(ReadAppSettings(ini, "/p/").updateServer, kDefaultUpdateServer);
    const std::pair<const char*, const char*> cases[] = {
        {"10.20.30.40", "10.20.30.40"},
        {"update.example.org", "update.example.org"},
        {"256.1.1.1", "256.1.1.1"},
        {"", kDefaultUpdateServer},
    };
    for (auto [text, server] : cases) {
        Put(ini.Path(), std::string("[COMMON]\nUpdateServer=") + text + "\n");
        EXPECT_EQ(ReadAppSettings(ini, "/p/").updateServer, server) << text;
    }
}

TEST(SettingsFileTest, GeometryNeedsAllFourNumbers)
{
    GeometryRecord g = ParseGeometry("10,20,800,600");
    EXPECT_TRUE(g.Complete());
    EXPECT_EQ(g.top, 10);
    EXPECT_EQ(g.height, 600);
    g = ParseGeometry("10,20,800");
    EXPECT_FALSE(g.Complete());
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.height, 0);
    EXPECT_FALSE(ParseGeometry("").Complete());
    EXPECT_EQ(FormatGeometry(-5, 3, 900, 700), "-5,3,900,700");
}

TEST(SettingsFileTest, GeometryWrittenOnlyWhenChanged)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    const std::string original = "; kept\r\n[COMMON]\r\nMainForm=10,20,800,600\r\n";
    Put(ini.Path(), original);
    GeometryRecord rec = ReadAppSettings(ini, "/p/").geometry;
    EXPECT_FALSE(WriteGeometryIfChanged(ini, rec, 10, 20, 800, 600));
    EXPECT_EQ(Slurp(ini.Path()), original);
    EXPECT_TRUE(WriteGeometryIfChanged(ini, rec, 11, 20, 800, 600));
    EXPECT_EQ(Slurp(ini.Path()), "; kept\r\n[COMMON]\r\nMainForm=11,20,800,600\r\n");

    // A partly parsed record differs from any real window: rewritten.
    Put(ini.Path(), "[COMMON]\r\nMainForm=1,2,3\r\n");
    rec = ReadAppSettings(ini, "/p/").geometry;
    EXPECT_TRUE(WriteGeometryIfChanged(ini, rec, 1, 2, 3, 480));
}

TEST(IniFileTest, WritingReplacesOnlyThatLine)
{
    const std::string before = "[OTHER]\nLastKvdFolder=keep me\n\n[COMMON]\nUpdatePort = 1234 \n"
                               "LastKvdFolder=old\n; comment\n\n[TAIL]\nx=1";
    std::string after = IniFile::WriteInto(before, "COMMON", "LastKvdFolder", "/new/").value();
    EXPECT_EQ(after, "[OTHER]\nLastKvdFolder=keep me\n\n[COMMON]\nUpdatePort = 1234 \n"
                     "LastKvdFolder=/new/\n; comment\n\n[TAIL]\nx=1");

    // A missing key joins its section after the last non-blank line.
    after = IniFile::WriteInto(before, "COMMON", "MainForm", "1,2,3,4").value();
    EXPECT_EQ(after, "[OTHER]\nLastKvdFolder=keep me\n\n[COMMON]\nUpdatePort = 1234 \n"
                     "LastKvdFolder=old\n; comment\nMainForm=1,2,3,4\n\n[TAIL]\nx=1");

    // A missing section is appended with the file's own line breaks.
    after = IniFile::WriteInto("[A]\r\nk=v", "COMMON", "UpdatePort", "1").value();
    EXPECT_EQ(after, "[A]\r\nk=v\r\n[COMMON]\r\nUpdatePort=1\r\n");
    EXPECT_EQ(IniFile::WriteInto("", "COMMON", "k", "v"), std::optional<std::string>("[COMMON]\r\nk=v\r\n"));

    EXPECT_EQ(IniFile::ReadFrom(before, "common", "updateport"), std::optional<std::string>("1234"));
    EXPECT_EQ(IniFile::ReadFrom(before, "COMMON", "Missing"), std::nullopt);
    EXPECT_EQ(IniFile::ReadFrom(before, "TAIL", "x"), std::optional<std::string>("1"));
}

TEST(IniFileTest, FileIsCreatedOnFirstWriteAndStaysWholeOnFailure)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    ASSERT_TRUE(WriteKvdFolder(ini, "/кат/"));
    EXPECT_EQ(Slurp(ini.Path()), "[COMMON]\r\nLastKvdFolder=" + Utf8ToCp1251("/кат/") + "\r\n");

    IniFile nowhere(dir.File("missing-folder/Plendoro.ini"));
    EXPECT_FALSE(WriteKvdFolder(nowhere, "/x/"));
    for (const auto& e : fs::directory_iterator(dir.path))
        EXPECT_EQ(e.path().filename(), "Plendoro.ini") << "no temporary file is left behind";
}

// Each line keeps its own ending, whatever mix the file has, and a last
// line cut between CR and LF still ends where its CR is.
TEST(IniFileTest, LinesEndInCrLfLfOrALoneCr)
{
    auto write = [](const std::string& content, const char* key, const char* value) {
        return IniFile::WriteInto(content, "COMMON", key, value).value();
    };
    const std::string cut = "[COMMON]\r\nLastKvdFolder=/data/kvd/\r";
    EXPECT_EQ(write(cut, "MainForm", "1,2,3,4"), cut + "MainForm=1,2,3,4\r\n");
    EXPECT_EQ(IniFile::ReadFrom(write(cut, "MainForm", "1,2,3,4"), "COMMON", "LastKvdFolder"),
              std::optional<std::string>("/data/kvd/"));

    const std::string crOnly = "[COMMON]\rUpdatePort=4000\rLastKvdFolder=/k/\r";
    EXPECT_EQ(IniFile::ReadFrom(crOnly, "COMMON", "UpdatePort"), std::optional<std::string>("4000"));
    EXPECT_EQ(write(crOnly, "LastKvdFolder", "/n/"), "[COMMON]\rUpdatePort=4000\rLastKvdFolder=/n/\r");
    EXPECT_EQ(write(crOnly, "MainForm", "1"), crOnly + "MainForm=1\r");

    EXPECT_EQ(write("[COMMON]\nx=1\r\nLastKvdFolder=2\rz=3\n", "LastKvdFolder", "5"),
              "[COMMON]\nx=1\r\nLastKvdFolder=5\rz=3\n");
    EXPECT_EQ(write("[COMMON]\r\nk=1\n[B]\rm=2", "MainForm", "7"), "[COMMON]\r\nk=1\nMainForm=7\r\n[B]\rm=2");

    // One start and close of the program on the cut file.
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    Put(ini.Path(), cut);
    WriteGeometryIfChanged(ini, ReadAppSettings(ini, "/p/").geometry, 1, 2, 3, 4);
    EXPECT_EQ(ReadAppSettings(ini, "/p/").kvdFolder, "/data/kvd/");
}

TEST(IniFileTest, ValuesWithLineBreaksAreNotWritten)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    const std::string before = "[COMMON]\r\nLastKvdFolder=/old/\r\n";
    Put(ini.Path(), before);
    for (const char* folder : {"/a\nb/", "/a\rb/", "/a\r\n/"}) {
        EXPECT_EQ(ini.Write("COMMON", "LastKvdFolder", folder), IniFile::Outcome::InvalidValue);
        EXPECT_FALSE(WriteKvdFolder(ini, folder));
        EXPECT_EQ(Slurp(ini.Path()), before);
    }
    // Names that would not read back as written are refused as well.
    for (auto [section, key] : {std::pair{"COMMON", "a=b"},
                                {"COMMON", ";k"},
                                {"COMMON", "[k"},
                                {"COMMON", " k"},
                                {"COMMON", ""},
                                {"A]B", "k"},
                                {"A\nB", "k"}}) {
        EXPECT_EQ(IniFile::WriteInto(before, section, key, "v"), std::nullopt) << section << "/" << key;
    }
}

// A file that is there but cannot be read is the user's, not a blank to be
// filled: defaults for the run, and the file is left alone to the end.
TEST(IniFileTest, AFileThatCannotBeReadIsNeverReplaced)
{
    TempFolder dir;
    IniFile folder(dir.File("Plendoro.ini"));
    fs::create_directory(folder.Path());
    std::vector<IniFile::Outcome> told;
    folder.OnFailure([&told](IniFile::Outcome o) { told.push_back(o); });
    EXPECT_EQ(ReadAppSettings(folder, "/p/").kvdFolder, "/p/KVD/");
    EXPECT_TRUE(folder.Unreadable());
    EXPECT_EQ(folder.Write("COMMON", "LastKvdFolder", "/x/"), IniFile::Outcome::Unreadable);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.front(), IniFile::Outcome::Unreadable);
    EXPECT_TRUE(fs::is_directory(folder.Path()));

    IniFile big(dir.File("big.ini"));
    const std::string text =
        "[COMMON]\r\nLastKvdFolder=/data/kvd/\r\nUpdatePort=4000\r\n" + std::string(IniFile::kMaxSize, '\n');
    Put(big.Path(), text);
    AppSettings s = ReadAppSettings(big, "/p/");
    EXPECT_EQ(s.kvdFolder, "/p/KVD/");
    EXPECT_EQ(s.updatePort, kDefaultUpdatePort);
    EXPECT_FALSE(WriteKvdFolder(big, "/x/"));
    EXPECT_TRUE(Slurp(big.Path()) == text) << "unchanged"; // too large to print

    // Even once it could be read again: the run decided on its defaults.
    Put(big.Path(), "[COMMON]\r\nUpdatePort=4000\r\n");
    EXPECT_FALSE(WriteKvdFolder(big, "/x/"));
    EXPECT_EQ(Slurp(big.Path()), "[COMMON]\r\nUpdatePort=4000\r\n");

    // Exactly at the limit is still a settings file.
    IniFile edge(dir.File("edge.ini"));
    const std::string head = "[COMMON]\r\nUpdatePort=4000\r\n";
    Put(edge.Path(), head + std::string(IniFile::kMaxSize - head.size(), '\n'));
    EXPECT_EQ(ReadAppSettings(edge, "/p/").updatePort, 4000);
}

TEST(IniFileTest, TextsOutsideWindows1251TurnTheFileIntoUtf8)
{
    TempFolder dir;
    IniFile ini(dir.File("Plendoro.ini"));
    Put(ini.Path(), "[COMMON]\r\nMainForm=" + Utf8ToCp1251("Окно") + "\r\nLastKvdFolder=/old/\r\n");
    ASSERT_TRUE(WriteKvdFolder(ini, "/home/техник/"));
    EXPECT_EQ(Slurp(ini.Path()).substr(0, 3), "[CO") << "still Windows-1251";

    ASSERT_TRUE(WriteKvdFolder(ini, "/srv/Données/"));
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(Slurp(ini.Path()), bom + "[COMMON]\r\nMainForm=Окно\r\nLastKvdFolder=/srv/Données/\r\n");
    EXPECT_EQ(ReadAppSettings(ini, "/p/").kvdFolder, "/srv/Données/");
    EXPECT_EQ(ini.ReadString("COMMON", "MainForm", ""), "Окно");

    // Once UTF-8, always UTF-8, even for texts Windows-1251 could hold.
    ASSERT_TRUE(WriteKvdFolder(ini, "/home/техник/"));
    EXPECT_EQ(Slurp(ini.Path()), bom + "[COMMON]\r\nMainForm=Окно\r\nLastKvdFolder=/home/техник/\r\n");
}

// What a settings fuzzer checks, on a few contents of every kind: a written
// key reads back and no other key moves.
TEST(IniFileTest, WritingOneKeyChangesNoOther)
{
    const std::string contents[] = {
        "",
        "[COMMON]\r\nLastKvdFolder=/data/kvd/\r",
        "[COMMON]\rA=1\r[B]\rk=" + Utf8ToCp1251("знач") + "\r",
        "\xEF\xBB\xBF[COMMON]\nA=é\n\n[B]\nk=v",
        "; note\n[B]\r\nk=\x98\r\n[COMMON]\r\nA=2",
    };
    const char* values[] = {"/data/kvd/", "Настройки", "Données", "日本", "a=b;c", "\x98", ""};
    const std::pair<const char*, const char*> others[] = {{"B", "k"}, {"COMMON", "LastKvdFolder"}};
    for (const std::string& content : contents) {
        for (const char* value : values) {
            const std::string after = IniFile::WriteInto(content, "COMMON", "A", value).value();
            EXPECT_EQ(IniFile::ReadFrom(after, "COMMON", "A"), std::optional<std::string>(value)) << content;
            for (auto [section, key] : others)
                EXPECT_EQ(IniFile::ReadFrom(after, section, key), IniFile::ReadFrom(content, section, key))
                    << content << " / " << value;
        }
    }
}

TEST(IniFileTest, FailedWritesSayWhyAndLeaveTheFileAsItWas)
{
    TempFolder dir;
    Put(dir.File("file"), "");
    IniFile nowhere(dir.File("file/Plendoro.ini"));
    EXPECT_EQ(ReadAppSettings(nowhere, "/p/").kvdFolder, "/p/KVD/") << "a folder that is a file: no settings yet";
    EXPECT_FALSE(nowhere.Unreadable());
    EXPECT_EQ(nowhere.Write("COMMON", "LastKvdFolder", "/x/"), IniFile::Outcome::WriteFailed);

    IniFile locked(dir.File("Plendoro.ini"));
    Put(locked.Path(), "[COMMON]\r\n");
    ASSERT_EQ(chmod(locked.Path().c_str(), 0444), 0);
    EXPECT_EQ(locked.Write("COMMON", "LastKvdFolder", "/x/"), IniFile::Outcome::WriteFailed);
    EXPECT_EQ(Slurp(locked.Path()), "[COMMON]\r\n");

    IniFile full(dir.File("full.ini"));
    Put(full.Path(), "[COMMON]\r\nLastKvdFolder=/old/\r\n");
    {
        files_test::FileSizeLimit disk(8);
        EXPECT_EQ(full.Write("COMMON", "LastKvdFolder", "/new/"), IniFile::Outcome::WriteFailed);
    }
    EXPECT_EQ(Slurp(full.Path()), "[COMMON]\r\nLastKvdFolder=/old/\r\n");
}

TEST(ProgramVersionTest, ParsesWhatItCan)
{
    auto v = ParseProgramVersion("2.7.15");
    EXPECT_EQ(v.major, 2u);
    EXPECT_EQ(v.minor, 7u);
    EXPECT_EQ(v.build, 15u);
    v = ParseProgramVersion("3.x");
    EXPECT_EQ(v.major, 3u);
    EXPECT_EQ(v.minor, 0u);
    EXPECT_EQ(FormatProgramVersion(ParseProgramVersion("beta")), "0.0.0");
    EXPECT_EQ(FormatProgramVersion(BuiltProgramVersion()), PLENDORO_VERSION_STRING);
}

TEST(SingleInstanceTest, SecondCopyGivesUp)
{
    TempFolder dir;
    SingleInstance first;
    ASSERT_TRUE(first.Acquire(500, dir.path));

    // Another process, as a second start of the program would be.
    pid_t pid = fork();
    if (pid == 0) {
        SingleInstance second;
        _exit(second.Acquire(500, dir.path) ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second copy must not get the lock";

    first.Release();
    SingleInstance third;
    EXPECT_TRUE(third.Acquire(500, dir.path));
}

TEST(SingleInstanceTest, FailuresCarryTheirReasonAndTheLockStaysInTheUsersFolders)
{
    TempFolder home;
    SingleInstance lock, other;
    const auto missing = lock.Acquire(0, home.File("no/such"));
    EXPECT_EQ(missing.outcome, SingleInstance::Outcome::Failed);
    EXPECT_NE(missing.reason.find(home.File("no/such")), std::string::npos) << missing.reason;
    fs::create_directory(home.File(std::string(SingleInstance::kLockName) + ".lock"));
    EXPECT_EQ(lock.Acquire(0, home.path).outcome, SingleInstance::Outcome::Failed) << "a foreign thing of that name";

    // No usable runtime folder: a folder of the user's own under home, 0700.
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* oldRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string runtime = oldRuntime ? oldRuntime : "";
    setenv("HOME", home.path.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", home.File("gone").c_str(), 1);
    const std::string folder = SingleInstance::DefaultLockFolder();
    setenv("HOME", oldHome.c_str(), 1);
    oldRuntime ? setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
    ASSERT_EQ(folder.rfind(home.path + "/", 0), 0u) << folder;
    ASSERT_TRUE(lock.Acquire(0, folder));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(other.Acquire(0, folder).outcome, SingleInstance::Outcome::HeldByAnother);
}

// The lock file's name is known: in a folder that others can write to, or
// that is not the user's, someone else could hold it first or swap it. The
// program then does not start, and says why.
TEST(SingleInstanceTest, TheLockFolderMustBeTheUsersOwnWithMode0700)
{
    TempFolder home;
    const bool root = ::geteuid() == 0;
    const struct {
        mode_t mode;
        uid_t owner;
        bool usable;
    } cases[] = {{0700, ::getuid(), true},
                 {0755, ::getuid(), false},
                 {0770, ::getuid(), false},
                 {0711, ::getuid(), false},
                 {0700, 65534, false}};
    for (const auto& c : cases) {
        if (c.owner != ::getuid() && !root)
            continue; // only root can give a folder away
        SCOPED_TRACE(testing::Message() << std::oct << c.mode << std::dec << " " << c.owner);
        const std::string folder = home.File("plendoro");
        fs::create_directory(folder);
        ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(folder.c_str(), c.owner, static_cast<gid_t>(-1)), 0);
        SingleInstance lock;
        const auto result = lock.Acquire(0, folder);
        EXPECT_EQ(result.outcome, c.usable ? SingleInstance::Outcome::Acquired : SingleInstance::Outcome::Failed);
        if (!c.usable) {
            EXPECT_NE(result.reason.find(folder), std::string::npos) << result.reason;
            EXPECT_FALSE(fs::exists(folder + "/" + SingleInstance::kLockName + ".lock"));
        }
        lock.Release();
        fs::remove_all(folder);
    }
}
