#pragma once
#include <string>
#include <string_view>

namespace plendoro {

// The program keeps text as UTF-8; every byte that goes to the device or
// into one of its files is Windows-1251. Characters the code page lacks
// become '?'; bytes that are not valid UTF-8 become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);

} // namespace plendoro
