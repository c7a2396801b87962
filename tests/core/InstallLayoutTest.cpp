#include "app/core/InstallLayout.h"
#include "app/core/AppSettings.h"
#include "common/FileIo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace plendoro;
namespace fs = std::filesystem;

TEST(InstallLayout, BelowUsrOrOptOrUnwritableIsInstalled)
{
    EXPECT_EQ(DecideLayout("/usr/bin/", true), Layout::Installed) << "root can write there; still installed";
    EXPECT_EQ(DecideLayout("/usr/local/bin/", true), Layout::Installed);
    EXPECT_EQ(DecideLayout("/opt/plendoro/", true), Layout::Installed);
    EXPECT_EQ(DecideLayout("/home/tech/plendoro/build/bin/", false), Layout::Installed);
    EXPECT_EQ(DecideLayout("/home/tech/plendoro/build/bin/", true), Layout::Portable);
    EXPECT_EQ(DecideLayout("/usrlocal/bin/", true), Layout::Portable) << "a folder only named alike";

    EXPECT_EQ(UserSettingsFolder("/x/cfg", "/home/t"), "/x/cfg/Plendoro/");
    EXPECT_EQ(UserSettingsFolder("", "/home/t"), "/home/t/.config/Plendoro/");
    EXPECT_EQ(UserSettingsFolder(nullptr, "/home/t/"), "/home/t/.config/Plendoro/");

    const SettingsPlace portable = SettingsPlaceFor(Layout::Portable, "/b/", "/u/");
    EXPECT_EQ(portable.folder, "/b/");
    EXPECT_EQ(portable.kvdDefault, "/b/KVD") << "as the portable program always had it";
    const SettingsPlace installed = SettingsPlaceFor(Layout::Installed, "/usr/bin/", "/u/");
    EXPECT_EQ(installed.folder, "/u/");
    EXPECT_TRUE(installed.kvdDefault.empty()) << "the first start asks for a folder";
}

TEST(InstallLayout, AnAdministratorsSettingsSeedTheFirstStartOnly)
{
    const fs::path root = fs::temp_directory_path() / ("plendoro-layout-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const std::string program = (root / "program").string() + "/";
    const std::string user = (root / "config" / "Plendoro").string() + "/";
    fs::create_directories(program);
    ASSERT_TRUE(WriteFileAtomically(program + kSettingsFileName, "[COMMON]\r\nUpdatePort=4000\r\n"));
    const SettingsPlace place = SettingsPlaceFor(Layout::Installed, program, user);

    SeedUserSettings(place, program);
    std::string copied;
    ASSERT_TRUE(ReadWholeFile(user + kSettingsFileName, copied));
    EXPECT_EQ(copied, "[COMMON]\r\nUpdatePort=4000\r\n");

    // The user's own file is never replaced, and nothing is written back.
    IniFile mine(user + kSettingsFileName);
    ASSERT_TRUE(WriteKvdFolder(mine, "/data/kvd/"));
    SeedUserSettings(place, program);
    EXPECT_EQ(ReadAppSettingsWithKvdDefault(mine, "").kvdFolder, "/data/kvd/");
    std::string admin;
    ASSERT_TRUE(ReadWholeFile(program + kSettingsFileName, admin));
    EXPECT_EQ(admin, "[COMMON]\r\nUpdatePort=4000\r\n");
    fs::remove_all(root);
}

// A relative XDG_CONFIG_HOME or HOME, or none, would put the settings below
// whatever folder the program was started in, where anyone could plant a
// file naming the update server. The passwd entry's home stands in.
TEST(InstallLayout, TheSettingsFolderIsNeverRelative)
{
    const passwd* pw = ::getpwuid(::getuid());
    ASSERT_TRUE(pw && pw->pw_dir && pw->pw_dir[0] == '/');
    const std::string fallback = std::string(pw->pw_dir) + (std::string(pw->pw_dir) == "/" ? "" : "/");
    const struct {
        const char *xdg, *home;
        std::string folder;
    } cases[] = {
        {"/x/cfg", "home/t", "/x/cfg/Plendoro/"},           {"cfg", "/home/t", "/home/t/.config/Plendoro/"},
        {"./cfg", "/home/t", "/home/t/.config/Plendoro/"},  {"cfg", "home/t", fallback + ".config/Plendoro/"},
        {nullptr, nullptr, fallback + ".config/Plendoro/"}, {"", "", fallback + ".config/Plendoro/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UserSettingsFolder(c.xdg, c.home), c.folder)
            << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
}
