#include "Checksum.h"

namespace plsim {

std::uint16_t Sum16(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < count; i += 2) {
        sum += std::uint32_t(bytes[i]) | (std::uint32_t(bytes[i + 1]) << 8);
        sum = (sum & 0xFFFFu) + (sum >> 16);
    }
    if (i < count) {
        sum += bytes[i];
        sum = (sum & 0xFFFFu) + (sum >> 16);
    }
    return std::uint16_t(sum);
}

} // namespace plsim
