// How the program reads its own settings' values: the integer of
// UpdatePort, the window's geometry of MainForm and the server address of
// UpdateServer, each on its own and then all of them from a whole file.
// Input: the integer, the geometry and the address as chunks
// (FuzzSupport.h), then the file's text.
#include "FuzzSupport.h"
#include "app/core/AppSettings.h"
#include "app/core/IniFile.h"

#include <climits>
#include <cstdlib>
#include <string>

using namespace plendoro;

namespace {

std::string Text(std::span<const std::uint8_t> bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A value that is plainly one decimal number: an optional sign and digits.
bool PlainDecimal(const std::string& s, long long& value)
{
    std::size_t i = s.size() > 0 && (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size() || s.size() - i > 11)
        return false;
    value = 0;
    for (std::size_t j = i; j < s.size(); ++j) {
        if (!IsDigit(s[j]))
            return false;
        value = value * 10 + (s[j] - '0');
    }
    if (s[0] == '-')
        value = -value;
    return true;
}

void Integer(const std::string& text)
{
    constexpr long long kDefault = LLONG_MIN + 7; // no 32-bit value
    const long long v = IniFile::IntegerValue(text, kDefault);
    if (v != kDefault && (v < INT_MIN || v > INT_MAX))
        std::abort();
    if (v != kDefault && IniFile::IntegerValue(std::to_string(v), kDefault) != v)
        std::abort();
    long long plain = 0;
    if (PlainDecimal(text, plain) && plain >= INT_MIN && plain <= INT_MAX && v != plain)
        std::abort();
}

void Geometry(const std::string& text)
{
    const GeometryRecord g = ParseGeometry(text);
    if (g.parsed < 0 || g.parsed > 4)
        std::abort();
    // What the program writes it reads back as it was.
    const GeometryRecord again = ParseGeometry(FormatGeometry(g.top, g.left, g.width, g.height));
    if (!again.Complete() || !(again == g))
        std::abort();
}

// Four numbers of one to three digits, each at most 255, joined by dots.
bool Dotted(const std::string& s)
{
    int parts = 0;
    std::size_t i = 0;
    for (;;) {
        const std::size_t start = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        if (i == start || i - start > 3 || std::stoi(s.substr(start, i - start)) > 255)
            return false;
        if (++parts == 4)
            return i == s.size();
        if (i == s.size() || s[i] != '.')
            return false;
        ++i;
    }
}

void Address(const std::string& text)
{
    if (IsDottedIpv4(text) != Dotted(text))
        std::abort();
}

void WholeFile(const std::string& content)
{
    // ReadAppSettings reads a file; its interpretations of the values are
    // the same as those of the text in memory.
    const auto port = IniFile::ReadFrom(content, kSettingsSection, "UpdatePort");
    if (port)
        Integer(*port);
    if (const auto geometry = IniFile::ReadFrom(content, kSettingsSection, "MainForm"))
        Geometry(*geometry);
    if (const auto server = IniFile::ReadFrom(content, kSettingsSection, "UpdateServer"))
        Address(*server);
    const std::string folder =
        NormaliseFolder(IniFile::ReadFrom(content, kSettingsSection, "LastKvdFolder").value_or(std::string()));
    if (!folder.empty() && (folder.back() != '/' || (folder.size() > 1 && folder[folder.size() - 2] == '/')))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    Integer(Text(input.Chunk()));
    Geometry(Text(input.Chunk()));
    Address(Text(input.Chunk()));
    WholeFile(Text(input.Rest()));
    return 0;
}
