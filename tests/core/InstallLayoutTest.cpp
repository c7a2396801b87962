#include "app/core/InstallLayout.h"
#include "app/core/AppSettings.h"
#include "common/FileIo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

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
