#include "app/core/IniFile.h"

#include "common/Cp1251.h"
#include "common/FileIo.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plendoro {
namespace {

struct Line {
    std::size_t begin; // offset of the first byte of the line
    std::size_t end;   // offset just past the line's text (before CR/LF)
    std::size_t next;  // offset of the following line
};

std::vector<Line> SplitLines(const std::string& s)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t nl = s.find('\n', pos);
        std::size_t next = nl == std::string::npos ? s.size() : nl + 1;
        std::size_t end = nl == std::string::npos ? s.size() : nl;
        if (end > pos && s[end - 1] == '\r')
            --end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

std::string Trim(const std::string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t'))
        --b;
    return s.substr(a, b - a);
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// The section name when the line is a section line.
std::optional<std::string> SectionOf(const std::string& line)
{
    std::string t = Trim(line);
    if (t.size() >= 2 && t.front() == '[') {
        std::size_t close = t.find(']');
        if (close != std::string::npos)
            return Trim(t.substr(1, close - 1));
    }
    return std::nullopt;
}

// Splits "key = value"; false for lines that are not key lines.
bool KeyValueOf(const std::string& line, std::string& key, std::string& value)
{
    std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(line.substr(0, eq));
    if (key.empty() || key[0] == ';')
        return false;
    value = Trim(line.substr(eq + 1));
    // A value wrapped in one pair of quotes is read without them.
    if (value.size() >= 2 &&
        ((value.front() == '"' && value.back() == '"') || (value.front() == '\'' && value.back() == '\'')))
        value = value.substr(1, value.size() - 2);
    return true;
}

std::string LineBreakOf(const std::string& content)
{
    std::size_t nl = content.find('\n');
    if (nl != std::string::npos && nl > 0 && content[nl - 1] == '\r')
        return "\r\n";
    if (nl != std::string::npos)
        return "\n";
    return "\r\n";
}

} // namespace

std::optional<std::string> IniFile::ReadFrom(const std::string& content, const std::string& section,
                                             const std::string& key)
{
    bool inSection = false;
    for (const Line& l : SplitLines(content)) {
        std::string text = content.substr(l.begin, l.end - l.begin);
        if (auto name = SectionOf(text)) {
            inSection = SameName(*name, section);
            continue;
        }
        std::string k, v;
        if (inSection && KeyValueOf(text, k, v) && SameName(k, key))
            return v;
    }
    return std::nullopt;
}

std::string IniFile::WriteInto(const std::string& content, const std::string& section, const std::string& key,
                               const std::string& value)
{
    const std::string br = LineBreakOf(content);
    const std::string newLine = key + "=" + value;
    const auto lines = SplitLines(content);

    bool inSection = false;
    bool sectionFound = false;
    std::size_t insertAt = 0; // after the section's last non-blank line
    for (const Line& l : lines) {
        std::string text = content.substr(l.begin, l.end - l.begin);
        if (auto name = SectionOf(text)) {
            if (inSection)
                break; // the next section begins
            inSection = SameName(*name, section);
            if (inSection) {
                sectionFound = true;
                insertAt = l.next;
            }
            continue;
        }
        if (!inSection)
            continue;
        std::string k, v;
        if (KeyValueOf(text, k, v) && SameName(k, key))
            return content.substr(0, l.begin) + newLine + content.substr(l.end);
        if (!Trim(text).empty())
            insertAt = l.next;
    }

    if (sectionFound) {
        std::string out = content.substr(0, insertAt);
        if (!out.empty() && out.back() != '\n')
            out += br;
        out += newLine + br;
        out += content.substr(insertAt);
        return out;
    }
    std::string out = content;
    if (!out.empty() && out.back() != '\n')
        out += br;
    out += "[" + section + "]" + br + newLine + br;
    return out;
}

std::optional<std::string> IniFile::Read(const std::string& section, const std::string& key) const
{
    std::string bytes;
    if (!ReadWholeFile(path_, bytes))
        return std::nullopt;
    auto raw = ReadFrom(bytes, Utf8ToCp1251(section), Utf8ToCp1251(key));
    if (!raw)
        return std::nullopt;
    return Cp1251ToUtf8(*raw);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    return Read(section, key).value_or(def);
}

long long IniFile::ReadInteger(const std::string& section, const std::string& key, long long def) const
{
    auto text = Read(section, key);
    if (!text || text->empty())
        return def;
    // The whole value must be one 32-bit integer, decimal or "0x" hex;
    // anything else gives the default.
    const char* s = text->c_str();
    char* end = nullptr;
    errno = 0;
    const bool hex = text->size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    long long v = hex ? std::strtoll(s + 2, &end, 16) : std::strtoll(s, &end, 10);
    if (end == s || *end != '\0' || errno == ERANGE || v < -2147483648LL || v > (hex ? 0xFFFFFFFFLL : 2147483647LL))
        return def;
    if (hex)
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return v;
}

bool IniFile::Write(const std::string& section, const std::string& key, const std::string& value)
{
    std::string bytes;
    ReadWholeFile(path_, bytes); // a missing file is an empty one
    return WriteFileAtomically(path_, WriteInto(bytes, Utf8ToCp1251(section), Utf8ToCp1251(key), Utf8ToCp1251(value)));
}

} // namespace plendoro
