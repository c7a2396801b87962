// The program's settings file. Whatever the file holds, writing one key
// reads back what was written and leaves the value of every other key as
// it was. Input: the section, key and value as chunks (FuzzSupport.h), then
// the file's text.
#include "FuzzSupport.h"
#include "app/core/IniFile.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace plendoro;

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

// Texts the file can hold: no line break or NUL, no blank at either end,
// and no pair of quotes around it (a reader takes those off).
bool Holdable(const std::string& s)
{
    if (s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return false;
    if (!s.empty() && (IsBlank(s.front()) || IsBlank(s.back())))
        return false;
    return !(s.size() >= 2 && IsQuote(s.front()) && s.front() == s.back());
}

// Beyond that the format itself takes a few bytes: "]" closes a section
// name; "=" ends a key, ";" in front makes the line a comment and "[" a
// section line.
bool HoldableSection(const std::string& s)
{
    return Holdable(s) && s.find(']') == std::string::npos;
}

bool HoldableKey(const std::string& s)
{
    return Holdable(s) && !s.empty() && s.find('=') == std::string::npos && s.front() != ';' && s.front() != '[';
}

std::string Text(std::span<const std::uint8_t> bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string Trim(const std::string& s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && IsBlank(s[a]))
        ++a;
    while (b > a && IsBlank(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

// Every section and key name the text may hold, found without the reader's
// help: lines end at CR LF, LF or a lone CR. It may name pairs that are no
// keys at all; those read as missing before and after.
std::vector<std::pair<std::string, std::string>> NamesIn(const std::string& text)
{
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
            section = Trim(line.substr(1, line.find(']') - 1));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            names.emplace_back(section, Trim(line.substr(0, eq)));
    }
    return names;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(x) != lower(y))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const std::string section = Text(input.Chunk());
    const std::string key = Text(input.Chunk());
    const std::string value = Text(input.Chunk());
    const std::string before = Text(input.Rest());

    // Reading any text is safe, whatever the names.
    IniFile::ReadFrom(before, section, key);
    if (!HoldableSection(section) || !HoldableKey(key) || !Holdable(value))
        return 0;

    // Names and values the file can hold are never refused.
    const std::optional<std::string> written = IniFile::WriteInto(before, section, key, value);
    if (!written)
        std::abort();
    const std::string& after = *written;
    if (IniFile::ReadFrom(after, section, key) != value)
        std::abort();
    for (const auto& [otherSection, otherKey] : NamesIn(before)) {
        if (SameName(otherSection, section) && SameName(otherKey, key))
            continue;
        if (IniFile::ReadFrom(after, otherSection, otherKey) != IniFile::ReadFrom(before, otherSection, otherKey))
            std::abort();
    }
    return 0;
}
