#include "app/core/AppSettings.h"

#include <cstdio>

namespace plendoro {

std::string NormaliseFolder(const std::string& folder)
{
    if (folder.empty())
        return folder;
    std::string f = folder;
    while (!f.empty() && f.back() == '/')
        f.pop_back();
    return f + "/";
}

GeometryRecord ParseGeometry(const std::string& text)
{
    GeometryRecord g;
    int v[4] = {0, 0, 0, 0};
    int n = std::sscanf(text.c_str(), "%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3]);
    g.parsed = n < 0 ? 0 : n;
    g.top = v[0];
    g.left = v[1];
    g.width = v[2];
    g.height = v[3];
    return g;
}

std::string FormatGeometry(int top, int left, int width, int height)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", top, left, width, height);
    return text;
}

AppSettings ReadAppSettings(IniFile& ini, const std::string& programFolder)
{
    return ReadAppSettingsWithKvdDefault(ini, programFolder + "KVD");
}

AppSettings ReadAppSettingsWithKvdDefault(IniFile& ini, const std::string& kvdDefault)
{
    AppSettings s;
    s.updatePort = static_cast<std::uint16_t>(ini.ReadInteger(kSettingsSection, "UpdatePort", kDefaultUpdatePort));
    const std::string server = ini.ReadString(kSettingsSection, "UpdateServer", kDefaultUpdateServer);
    // An address or a host name, checked when it is used: a value that is
    // neither must fail there, not turn into another server.
    if (!server.empty())
        s.updateServer = server;
    s.kvdFolder = NormaliseFolder(ini.ReadString(kSettingsSection, "LastKvdFolder", kvdDefault));
    s.geometry = ParseGeometry(ini.ReadString(kSettingsSection, "MainForm", ""));
    return s;
}

bool WriteKvdFolder(IniFile& ini, const std::string& kvdFolder)
{
    return ini.Write(kSettingsSection, "LastKvdFolder", kvdFolder) == IniFile::Outcome::Ok;
}

bool WriteGeometryIfChanged(IniFile& ini, const GeometryRecord& record, int top, int left, int width, int height)
{
    if (record.top == top && record.left == left && record.width == width && record.height == height)
        return false;
    return ini.Write(kSettingsSection, "MainForm", FormatGeometry(top, left, width, height)) == IniFile::Outcome::Ok;
}

std::string SettingsFailureText(IniFile::Outcome outcome, const std::string& path)
{
    switch (outcome) {
    case IniFile::Outcome::Ok: return {};
    case IniFile::Outcome::Unreadable:
        return "Не удалось прочитать настройки программы из " + path + "; используются значения по умолчанию";
    case IniFile::Outcome::InvalidValue: return "Не удалось сохранить настройки программы: недопустимое значение";
    case IniFile::Outcome::WriteFailed: return "Не удалось сохранить настройки программы в " + path;
    }
    return {};
}

} // namespace plendoro
