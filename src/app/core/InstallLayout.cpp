#include "app/core/InstallLayout.h"

#include "app/core/AppSettings.h"
#include "common/FileIo.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace plendoro {

namespace {
bool Below(const std::string& path, const char* root)
{
    const std::string prefix = std::string(root) + "/";
    return path.rfind(prefix, 0) == 0;
}

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}
} // namespace

Layout DecideLayout(const std::string& programFolder, bool programFolderWritable)
{
    if (Below(programFolder, "/usr") || Below(programFolder, "/opt") || !programFolderWritable)
        return Layout::Installed;
    return Layout::Portable;
}

std::string UserHomeFolder(const char* home)
{
    if (home && home[0] == '/')
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return {};
}

std::string UserSettingsFolder(const char* xdgConfigHome, const char* home)
{
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        return WithSlash(xdgConfigHome) + "Plendoro/";
    const std::string folder = UserHomeFolder(home);
    return folder.empty() ? std::string() : WithSlash(folder) + ".config/Plendoro/";
}

SettingsPlace SettingsPlaceFor(Layout layout, const std::string& programFolder, const std::string& userFolder)
{
    SettingsPlace p;
    p.layout = layout;
    if (layout == Layout::Portable) {
        p.folder = programFolder;
        p.kvdDefault = programFolder + "KVD";
    } else {
        p.folder = userFolder;
    }
    return p;
}

void SeedUserSettings(const SettingsPlace& place, const std::string& programFolder)
{
    if (place.layout != Layout::Installed)
        return;
    const std::string mine = place.folder + kSettingsFileName;
    std::error_code ec;
    if (std::filesystem::exists(mine, ec))
        return;
    std::string defaults;
    if (!ReadWholeFile(programFolder + kSettingsFileName, defaults))
        return;
    std::filesystem::create_directories(place.folder, ec);
    WriteFileAtomically(mine, defaults);
}

bool PrepareSettingsFolder(const SettingsPlace& place)
{
    if (place.layout != Layout::Installed)
        return true;
    std::error_code ec;
    std::filesystem::create_directories(place.folder, ec);
    return std::filesystem::is_directory(place.folder, ec);
}

SettingsPlace ChooseSettingsPlace(const std::string& programFolder)
{
    const bool writable = ::access(programFolder.c_str(), W_OK) == 0;
    const SettingsPlace place =
        SettingsPlaceFor(DecideLayout(programFolder, writable), programFolder,
                         UserSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
    SeedUserSettings(place, programFolder);
    return place;
}

std::string ExecutableFolder()
{
    char path[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return "./";
    return WithSlash(std::filesystem::path(std::string(path, static_cast<std::size_t>(n))).parent_path().string());
}

const char* LayoutName(Layout layout)
{
    return layout == Layout::Installed ? "installed" : "portable";
}

} // namespace plendoro
