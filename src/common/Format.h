#pragma once
// printf-style formatting into a string that grows to fit.
#include <string>

namespace plendoro {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace plendoro
