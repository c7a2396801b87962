#pragma once
// A 1-Wire device address and its text form: 16 upper-case hexadecimal
// digits, byte 7 first, so the family code (byte 0) ends the text.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace plendoro {

// Byte 0 to byte 7 in the order the device lists them.
using OneWireAddress = std::array<std::uint8_t, 8>;

std::string AddressToText(const OneWireAddress& address);

// Reads the text the way the pattern "%02X" eight times reads it: each pair
// may follow blanks, carry a sign and be one or two digits long, either
// case; anything after the eighth pair is ignored. The first pair becomes
// byte 7. False, with `address` untouched, unless all eight pairs read.
bool TextToAddress(std::string_view text, OneWireAddress& address);

// An address as the device lists it in a search reply: eight pairs read the
// same way, separated by ":", byte 0 first. False, with `address`
// untouched, unless all eight pairs and the seven colons read.
bool ScanListedAddress(std::string_view text, OneWireAddress& address);

} // namespace plendoro
