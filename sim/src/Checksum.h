#pragma once
#include <cstddef>
#include <cstdint>

namespace plsim {

// Internet checksum as the firmware computes it: little-endian words added
// with the carry folded back after every addition.
std::uint16_t Sum16(const std::uint8_t* bytes, std::size_t count);

inline std::uint16_t ReadLe16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline void WriteLe16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void WriteLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

} // namespace plsim
