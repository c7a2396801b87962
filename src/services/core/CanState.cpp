#include "services/core/CanState.h"

#include "common/Hex.h"

namespace plendoro {

namespace {

constexpr std::size_t kMaxHexDigits = 8;

// One number of a record: one to eight hexadecimal digits. A ninth digit is
// left where it is, so the separator test after it fails.
bool ReadHex(std::string_view s, std::size_t& pos, std::uint32_t& value)
{
    std::uint32_t v = 0;
    std::size_t digits = 0;
    while (pos < s.size() && digits < kMaxHexDigits) {
        const int d = HexDigitValue(s[pos]);
        if (d < 0)
            break;
        v = (v << 4) | static_cast<std::uint32_t>(d);
        ++pos;
        ++digits;
    }
    if (digits == 0)
        return false;
    value = v;
    return true;
}

bool ReadComma(std::string_view s, std::size_t& pos)
{
    if (pos >= s.size() || s[pos] != ',')
        return false;
    ++pos;
    return true;
}

bool ReadRecord(std::string_view s, std::size_t pos, CanStateRecord& r)
{
    if (!(ReadHex(s, pos, r.Id) && ReadComma(s, pos) && ReadHex(s, pos, r.dA) && ReadComma(s, pos)))
        return false;
    const std::size_t third = pos;
    if (!ReadHex(s, pos, r.dB))
        return false;
    // A reply is cut where the timed read stopped collecting; a last number
    // that runs into that end with fewer digits than the device writes may
    // have lost its tail, and an entry keeps its first report for good. The
    // next poll reports the identifier again, whole.
    return pos < s.size() || pos - third == kMaxHexDigits;
}

} // namespace

bool ReplyBeginsWith(std::string_view received, std::string_view expected)
{
    return received.size() >= expected.size() && received.substr(0, expected.size()) == expected;
}

std::optional<std::vector<CanStateRecord>> ParseCanState(std::string_view s)
{
    if (!ReplyBeginsWith(s, kCanStatePrefix))
        return std::nullopt;
    std::vector<CanStateRecord> records;
    std::size_t cursor = kCanStatePrefix.size();
    while (cursor < s.size() && s[cursor] != ';') {
        CanStateRecord r;
        if (!ReadRecord(s, cursor, r))
            break;
        records.push_back(r);
        // The cursor steps over the three fields by their separators, not by
        // what the numbers took, so the next record starts after the third
        // separator (or the loop sees the closing ';').
        for (int field = 0; field < 3; ++field) {
            while (cursor < s.size() && s[cursor] != ',' && s[cursor] != ';')
                ++cursor;
            if (cursor < s.size() && s[cursor] == ',')
                ++cursor;
        }
    }
    return records;
}

} // namespace plendoro
