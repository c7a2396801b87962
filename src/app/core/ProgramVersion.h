#pragma once
#include <string>

namespace plendoro {

struct ProgramVersion {
    unsigned major = 0, minor = 0, build = 0;
};

// "%u.%u.%u": each number that does not parse stays 0.
ProgramVersion ParseProgramVersion(const std::string& text);
// The version the program was built as.
const ProgramVersion& BuiltProgramVersion();
std::string FormatProgramVersion(const ProgramVersion& v);

} // namespace plendoro
