#pragma once
// IPv4 addresses as the network block keeps them: four bytes in the order
// the numbers are written, handled as the little-endian value of those
// bytes (first number | second << 8 | third << 16 | fourth << 24).
#include <cstdint>
#include <string>
#include <string_view>

namespace plendoro {

// Stands in the block for an address that did not parse.
constexpr std::uint32_t kUnparsedIpAddress = 0xFFFFFFFFu;

// The text (8-bit) read to the pattern "%d.%d.%d.%d": blanks before each
// number and a sign are allowed, anything after the fourth number is
// ignored. The first three numbers must lie in 0..255, the fourth in
// 0..254. Texts longer than 19 characters, and every other failure, give
// kUnparsedIpAddress.
std::uint32_t ParseIpAddress(std::string_view text);

// "%d.%d.%d.%d" of the four bytes in storage order.
std::string FormatIpAddress(std::uint32_t address);

// The check before writing: the whole text is four groups of one to three
// digits joined by single dots, the first group 1..255 and the others
// 0..255. Leading zeros pass; blanks fail.
bool IsIpAddressText(std::string_view text);

} // namespace plendoro
