#pragma once
// Little-endian integers inside byte buffers, as the tracker's packets and
// settings blocks store them.
#include <cstdint>

namespace plendoro {

std::uint16_t ReadLe16(const std::uint8_t* p);
std::uint32_t ReadLe32(const std::uint8_t* p);
void WriteLe16(std::uint8_t* p, std::uint16_t v);
void WriteLe32(std::uint8_t* p, std::uint32_t v);

} // namespace plendoro
