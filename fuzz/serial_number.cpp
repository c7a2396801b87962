// The tracker's serial number as the USB library reports it: a text that
// should start with a decimal number, which becomes the serial number and
// the MAC address the window shows. Input: the serial text.
#include "link/Identification.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace plendoro;

namespace {

// The number by long division of the digits, modulo 2^32 as the device
// counts, without the parser's own arithmetic.
std::int32_t Expected(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    std::uint64_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        value = (value * 10 + static_cast<std::uint64_t>(s[i] - '0')) % (std::uint64_t{1} << 32);
    const auto low = static_cast<std::uint32_t>(negative ? (std::uint64_t{1} << 32) - value : value);
    return static_cast<std::int32_t>(low);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int32_t serial = SerialNumberFromText(text);
    if (serial != Expected(text))
        std::abort();
    // The number printed back reads as itself.
    if (SerialNumberFromText(std::to_string(serial)) != serial)
        std::abort();
    DeviceIdentity identity;
    ApplySerial(identity, text);
    if (identity.serialNumber != serial || identity.mac != MacFromSerial(serial) ||
        FormatMac(identity.mac).size() != 17)
        std::abort();
    return 0;
}
