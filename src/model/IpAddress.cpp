#include "model/IpAddress.h"

#include <cstdio>

namespace plendoro {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One "%d" conversion. A number too large for any octet is simply out of
// range here; it is never allowed to wrap back into 0..255.
bool ScanInt(std::string_view text, std::size_t& pos, long long& value)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !IsDigit(text[pos]))
        return false;
    long long v = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        if (v < 100000)
            v = v * 10 + (text[pos] - '0');
        ++pos;
    }
    value = negative ? -v : v;
    return true;
}

} // namespace

std::uint32_t ParseIpAddress(std::string_view text)
{
    if (text.size() > 19)
        return kUnparsedIpAddress;
    std::size_t pos = 0;
    std::uint32_t address = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return kUnparsedIpAddress;
            ++pos;
        }
        long long n = 0;
        if (!ScanInt(text, pos, n))
            return kUnparsedIpAddress;
        const long long top = i == 3 ? 254 : 255;
        if (n < 0 || n > top)
            return kUnparsedIpAddress;
        address |= static_cast<std::uint32_t>(n) << (8 * i);
    }
    return address;
}

std::string FormatIpAddress(std::uint32_t a)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(a & 0xFF), static_cast<int>((a >> 8) & 0xFF),
                  static_cast<int>((a >> 16) & 0xFF), static_cast<int>(a >> 24));
    return text;
}

bool IsIpAddressText(std::string_view text)
{
    std::size_t pos = 0;
    for (int group = 0; group < 4; ++group) {
        if (group > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
        int digits = 0;
        int value = 0;
        while (pos < text.size() && IsDigit(text[pos]) && digits < 3) {
            value = value * 10 + (text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || value > 255 || (group == 0 && value < 1))
            return false;
    }
    return pos == text.size();
}

} // namespace plendoro
