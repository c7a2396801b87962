#pragma once
// The program's own settings in "Plendoro.ini", section COMMON: beside the
// executable, or in the user's configuration folder when installed.
#include "app/core/IniFile.h"

#include <cstdint>
#include <string>

namespace plendoro {

constexpr const char* kSettingsFileName = "Plendoro.ini";
constexpr const char* kSettingsSection = "COMMON";
constexpr std::uint16_t kDefaultUpdatePort = 22220;
// Loopback until a site names its server with the key UpdateServer, so that
// nothing reaches out to an address nobody configured.
constexpr const char* kDefaultUpdateServer = "127.0.0.1";

// Top, left, width, height as parsed from MainForm; what did not parse is 0.
struct GeometryRecord {
    int top = 0, left = 0, width = 0, height = 0;
    int parsed = 0; // how many of the four numbers were read
    bool Complete() const { return parsed == 4; }
    bool operator==(const GeometryRecord& o) const
    {
        return top == o.top && left == o.left && width == o.width && height == o.height;
    }
};

struct AppSettings {
    std::uint16_t updatePort = kDefaultUpdatePort;
    std::string updateServer = kDefaultUpdateServer; // dotted IPv4 or a host name
    std::string kvdFolder;
    GeometryRecord geometry;
};

// Always ends in exactly one separator, unless empty.
std::string NormaliseFolder(const std::string& folder);
// "%d,%d,%d,%d" as the C library reads it.
GeometryRecord ParseGeometry(const std::string& text);
std::string FormatGeometry(int top, int left, int width, int height);

// programFolder ends in "/"; the database folder defaults to its "KVD".
// A file that cannot be read gives the defaults (and tells the file's
// failure report).
AppSettings ReadAppSettings(IniFile& ini, const std::string& programFolder);
// The same with the database folder's default given; empty: none.
AppSettings ReadAppSettingsWithKvdDefault(IniFile& ini, const std::string& kvdDefault);
// True when the key was written.
bool WriteKvdFolder(IniFile& ini, const std::string& kvdFolder);
// Writes MainForm only when the window's geometry differs from the record.
// True when the key was written.
bool WriteGeometryIfChanged(IniFile& ini, const GeometryRecord& record, int top, int left, int width, int height);

// The message box text for a failure of the settings file at path; empty
// for Ok. The program says one of them at most once a run, under the
// caption kSettingsFailureCaption.
constexpr const char* kSettingsFailureCaption = "Plendoro";
std::string SettingsFailureText(IniFile::Outcome outcome, const std::string& path);

} // namespace plendoro
