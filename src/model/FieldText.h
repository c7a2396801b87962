#pragma once
// Small pieces shared by the block conversions.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace plendoro {

// A list set to a position it does not hold is left with no selection.
inline int ListPosition(unsigned value, int itemCount)
{
    return value < static_cast<unsigned>(itemCount) ? static_cast<int>(value) : -1;
}

inline std::string DecimalText(long long value)
{
    return std::to_string(value);
}

// Block text: the bytes up to the first zero, never more than the field
// holds, from Windows-1251 to the program's UTF-8.
std::string BlockText(std::span<const std::uint8_t> field);

} // namespace plendoro
