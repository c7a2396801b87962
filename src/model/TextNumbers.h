#pragma once
// How the editor's number texts become numbers. One reading rule serves the
// block encoders and the checks before writing, so a text that a check
// accepts is stored as exactly the value the check saw.
#include <cstdint>
#include <string_view>

namespace plendoro {

// The whole text as a signed 32-bit decimal integer: an optional '+' or '-'
// and at least one digit, nothing else. Empty text, blanks anywhere,
// letters, a hexadecimal prefix or a value outside the 32-bit range are not
// a number and give `fallback`.
std::int32_t ReadDecimal(std::string_view text, std::int32_t fallback);

// Range reading of the checks before writing: a text that is not a number
// reads as -1. True when the value is not negative and either it is 0 with
// zero allowed, or it lies between minimum and maximum inclusive.
bool IsIntInRange(std::string_view text, std::int32_t minimum, bool zeroAllowed, std::int32_t maximum);

} // namespace plendoro
