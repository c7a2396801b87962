#pragma once
// The program's own options. Options of one dash are the toolkit's and are
// left to it.
#include <string>

namespace plendoro {

struct CommandLine {
    bool help = false;    // --help, -h: print the options and end with 0
    bool service = false; // --service: calibration and firmware features
    std::string unknown;  // the first option not known; usage and exit 2
};

CommandLine ParseCommandLine(int argc, const char* const* argv);
std::string UsageText(const std::string& program);

} // namespace plendoro
