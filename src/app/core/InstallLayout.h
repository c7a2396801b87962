#pragma once
// Where the program keeps its settings. A portable copy (a build folder, an
// unpacked archive) keeps "Plendoro.ini" beside the executable and its
// database files in the program folder's "KVD". An installed copy cannot
// write there, so it keeps its settings in the user's configuration folder
// and asks for a database folder on its first start. Decided once, before
// the window is shown.
#include <string>

namespace plendoro {

enum class Layout { Portable, Installed };

struct SettingsPlace {
    Layout layout = Layout::Portable;
    std::string folder;     // the settings file's folder, ending in "/"
    std::string kvdDefault; // the database folder when none is stored; empty: ask
};

// Installed when the executable lies below /usr or /opt (for root too), or
// when its folder cannot be written.
Layout DecideLayout(const std::string& programFolder, bool programFolderWritable);

// The user's home folder: $HOME when it is an absolute path, else the
// passwd entry's; empty when neither names one. A relative or missing HOME
// would put the program's files below whatever folder it was started in.
std::string UserHomeFolder(const char* home);

// $XDG_CONFIG_HOME/Plendoro/, else ~/.config/Plendoro/ with the home folder
// as UserHomeFolder finds it; empty without a home folder. A relative
// XDG_CONFIG_HOME is ignored, as the XDG rules say; null or empty
// variables count as unset.
std::string UserSettingsFolder(const char* xdgConfigHome, const char* home);

// From the program folder (ending in "/") and the environment. For the
// installed layout, a readable "Plendoro.ini" beside the executable becomes
// the first settings file when the user has none yet (an administrator's
// defaults); nothing is ever written beside the executable.
SettingsPlace ChooseSettingsPlace(const std::string& programFolder);
SettingsPlace SettingsPlaceFor(Layout layout, const std::string& programFolder, const std::string& userFolder);
void SeedUserSettings(const SettingsPlace& place, const std::string& programFolder);
// Makes the user's settings folder (installed layout) so the file can be
// written; false when it cannot be made.
bool PrepareSettingsFolder(const SettingsPlace& place);

// The folder of the running executable, ending in "/".
std::string ExecutableFolder();

const char* LayoutName(Layout layout);

} // namespace plendoro
