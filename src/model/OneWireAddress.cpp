#include "model/OneWireAddress.h"

#include "common/Hex.h"

#include <cstdio>

namespace plendoro {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%02X" conversion: blanks are skipped outside the width, a sign
// counts towards it, at least one digit is needed.
bool ScanPair(std::string_view text, std::size_t& pos, std::uint8_t& value)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    int width = 2;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
        --width;
    }
    unsigned v = 0;
    int digits = 0;
    while (digits < width && pos < text.size() && HexDigitValue(text[pos]) >= 0) {
        v = v * 16 + static_cast<unsigned>(HexDigitValue(text[pos]));
        ++pos;
        ++digits;
    }
    if (digits == 0)
        return false;
    value = static_cast<std::uint8_t>(negative ? 0u - v : v);
    return true;
}

} // namespace

std::string AddressToText(const OneWireAddress& address)
{
    std::string text;
    text.reserve(16);
    for (int i = 7; i >= 0; --i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", address[static_cast<std::size_t>(i)]);
        text += pair;
    }
    return text;
}

bool TextToAddress(std::string_view text, OneWireAddress& address)
{
    OneWireAddress read{};
    std::size_t pos = 0;
    for (int i = 7; i >= 0; --i) {
        if (!ScanPair(text, pos, read[static_cast<std::size_t>(i)]))
            return false;
    }
    address = read;
    return true;
}

bool ScanListedAddress(std::string_view text, OneWireAddress& address)
{
    OneWireAddress read{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ':')
                return false;
            ++pos;
        }
        if (!ScanPair(text, pos, read[i]))
            return false;
    }
    address = read;
    return true;
}

} // namespace plendoro
