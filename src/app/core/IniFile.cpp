#include "app/core/IniFile.h"

#include "common/Cp1251.h"
#include "common/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <strings.h>
#include <sys/stat.h>

namespace plendoro {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

struct Line {
    std::size_t begin; // offset of the first byte of the line
    std::size_t end;   // offset just past the line's text (before its break)
    std::size_t next;  // offset of the following line
};

// The line that starts at pos. CR LF, LF and a lone CR each end a line.
Line LineAt(const std::string& s, std::size_t pos)
{
    const std::size_t end = std::min(s.find_first_of("\r\n", pos), s.size());
    std::size_t next = end;
    if (next < s.size())
        next += s.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    return {pos, end, next};
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

bool Ascii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool HasBom(const std::string& content)
{
    return content.compare(0, kBom.size(), kBom) == 0;
}

// A name or value of the file as UTF-8: a file with the mark is UTF-8
// already, any other is Windows-1251.
std::string Decode(const std::string& raw, bool utf8)
{
    return utf8 || Ascii(raw) ? raw : Cp1251ToUtf8(raw);
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// The section name (raw bytes) when the line is a section line.
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

// The break the file's first line ends with; CR LF for a file without one.
std::string LineBreakOf(const std::string& content)
{
    const std::size_t at = content.find_first_of("\r\n");
    if (at == std::string::npos || content.compare(at, 2, "\r\n") == 0)
        return "\r\n";
    return content.substr(at, 1);
}

bool Fits1251(const std::string& utf8)
{
    return Ascii(utf8) || Cp1251ToUtf8(Utf8ToCp1251(utf8)) == utf8;
}

bool HasBlankEdge(const std::string& s)
{
    return !s.empty() && Trim(s).size() != s.size();
}

// What one "key=value" line under "[section]" can hold and read back.
bool Writable(const std::string& section, const std::string& key, const std::string& value)
{
    const auto breaks = [](const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) != s.npos; };
    return !breaks(section) && !breaks(key) && !breaks(value) && !key.empty() && key.front() != ';' &&
           key.front() != '[' && key.find('=') == std::string::npos && section.find(']') == std::string::npos &&
           !HasBlankEdge(key) && !HasBlankEdge(section);
}

// Where a key is in the file's text (without the mark): the line a read
// takes its value from, else where a new line joins its section.
struct Place {
    std::optional<Line> keyLine;
    std::string value; // raw, of keyLine
    bool sectionFound = false;
    std::size_t insertAt = 0; // after the first such section's last non-blank line
};

Place Locate(const std::string& body, bool utf8, const std::string& section, const std::string& key)
{
    Place p;
    bool inSection = false;
    bool firstSection = false; // within the first section of that name
    for (std::size_t pos = 0; pos < body.size();) {
        const Line l = LineAt(body, pos);
        pos = l.next;
        const std::string text = body.substr(l.begin, l.end - l.begin);
        if (auto name = SectionOf(text)) {
            inSection = SameName(Decode(*name, utf8), section);
            firstSection = inSection && !p.sectionFound;
            if (firstSection) {
                p.sectionFound = true;
                p.insertAt = l.next;
            }
            continue;
        }
        if (!inSection)
            continue;
        std::string k, v;
        if (KeyValueOf(text, k, v) && SameName(Decode(k, utf8), key)) {
            p.keyLine = l;
            p.value = v;
            return p;
        }
        if (firstSection && !Trim(text).empty())
            p.insertAt = l.next;
    }
    return p;
}

} // namespace

std::optional<std::string> IniFile::ReadFrom(const std::string& content, const std::string& section,
                                             const std::string& key)
{
    const bool utf8 = HasBom(content);
    const Place p = Locate(utf8 ? content.substr(kBom.size()) : content, utf8, section, key);
    if (!p.keyLine)
        return std::nullopt;
    return Decode(p.value, utf8);
}

std::optional<std::string> IniFile::WriteInto(const std::string& content, const std::string& section,
                                              const std::string& key, const std::string& value)
{
    if (!Writable(section, key, value))
        return std::nullopt;
    bool utf8 = HasBom(content);
    std::string body = utf8 ? content.substr(kBom.size()) : content;
    // One text the code page lacks turns the whole file into UTF-8, so that
    // the file keeps one encoding.
    if (!utf8 && !(Fits1251(section) && Fits1251(key) && Fits1251(value))) {
        body = Cp1251ToUtf8(body);
        utf8 = true;
    }
    const auto encode = [utf8](const std::string& s) { return utf8 || Ascii(s) ? s : Utf8ToCp1251(s); };
    const std::string br = LineBreakOf(body);
    const std::string newLine = encode(key) + "=" + encode(value);
    const Place p = Locate(body, utf8, section, key);

    std::string out;
    if (p.keyLine) {
        out = body.substr(0, p.keyLine->begin) + newLine + body.substr(p.keyLine->end);
    } else {
        out = body.substr(0, p.sectionFound ? p.insertAt : body.size());
        if (!out.empty() && out.back() != '\n' && out.back() != '\r')
            out += br;
        if (!p.sectionFound)
            out += "[" + encode(section) + "]" + br;
        out += newLine + br;
        if (p.sectionFound)
            out += body.substr(p.insertAt);
    }
    return utf8 ? std::string(kBom) + out : out;
}

IniFile::Outcome IniFile::Report(Outcome outcome)
{
    if (outcome != Outcome::Ok && report_)
        report_(outcome);
    return outcome;
}

IniFile::Outcome IniFile::Load(std::string& bytes)
{
    bytes.clear();
    if (unreadable_)
        return Outcome::Unreadable;
    // Asked before reading: a huge file would stall the start for nothing.
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Outcome::Ok; // no file yet: no keys
    } else if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) <= kMaxSize &&
               ReadWholeFile(path_, bytes) && bytes.size() <= kMaxSize) {
        return Outcome::Ok;
    }
    bytes.clear();
    unreadable_ = true;
    return Outcome::Unreadable;
}

std::optional<std::string> IniFile::Read(const std::string& section, const std::string& key)
{
    std::string bytes;
    if (Report(Load(bytes)) != Outcome::Ok)
        return std::nullopt;
    return ReadFrom(bytes, section, key);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def)
{
    return Read(section, key).value_or(def);
}

long long IniFile::ReadInteger(const std::string& section, const std::string& key, long long def)
{
    const auto text = Read(section, key);
    return text ? IntegerValue(*text, def) : def;
}

long long IniFile::IntegerValue(const std::string& value, long long def)
{
    if (value.empty())
        return def;
    // The whole value must be one 32-bit integer, decimal or "0x" hex;
    // anything else gives the default.
    const char* s = value.c_str();
    char* end = nullptr;
    errno = 0;
    const bool hex = value.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    long long v = hex ? std::strtoll(s + 2, &end, 16) : std::strtoll(s, &end, 10);
    if (end == s || *end != '\0' || errno == ERANGE || v < -2147483648LL || v > (hex ? 0xFFFFFFFFLL : 2147483647LL))
        return def;
    if (hex)
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return v;
}

IniFile::Outcome IniFile::Write(const std::string& section, const std::string& key, const std::string& value)
{
    std::string bytes;
    if (Report(Load(bytes)) != Outcome::Ok)
        return Outcome::Unreadable;
    const std::optional<std::string> edited = WriteInto(bytes, section, key, value);
    if (!edited)
        return Report(Outcome::InvalidValue);
    if (!WriteFileAtomically(path_, *edited))
        return Report(Outcome::WriteFailed);
    return Outcome::Ok;
}

} // namespace plendoro
