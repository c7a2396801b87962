#include "model/TextNumbers.h"

namespace plendoro {

std::int32_t ReadDecimal(std::string_view text, std::int32_t fallback)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size())
        return fallback;
    // Accumulated as a magnitude with one step of headroom, so that
    // -2147483648 reads while 2147483648 does not.
    constexpr std::int64_t kLimit = 2147483648LL;
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            return fallback;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kLimit)
            return fallback;
    }
    if (!negative && magnitude == kLimit)
        return fallback;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool IsIntInRange(std::string_view text, std::int32_t minimum, bool zeroAllowed, std::int32_t maximum)
{
    const std::int32_t value = ReadDecimal(text, -1);
    if (value < 0)
        return false;
    return (zeroAllowed && value == 0) || (value >= minimum && value <= maximum);
}

} // namespace plendoro
