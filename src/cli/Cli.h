#pragma once
// plendoro-cli: what the window does, without a display, on any of several
// attached trackers. Every command builds the editor's pages hidden and runs
// the very code the window runs, so the tracker receives the same bytes, the
// files hold the same bytes and every failure carries the window's text.
// Commands are functions (arguments in, exit status out) so that tests run
// them in one process; the program needs a QApplication around them.
#include <QDateTime>

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace plendoro::cli {

enum ExitStatus : int {
    kDone = 0,
    kDiffers = 1,        // diff only
    kUsage = 2,          // a usage error; nothing was touched
    kNoTracker = 3,      // no tracker, or not the one asked for
    kChecksFailed = 4,   // the checks before writing refused the settings
    kExchangeFailed = 5, // the exchange with the tracker failed
    kFileFailed = 6,     // a file could not be read or written
};

struct Io {
    std::ostream& out; // results
    std::ostream& err; // messages and, on a terminal, progress
    bool errIsTerminal = false;
    // Where the USB library and the settings file are looked for, ending in
    // "/"; empty: the executable's folder.
    std::string programFolder;
    // Local time for the automatic profile's name; empty: the clock.
    std::function<QDateTime()> now;
};

// Runs one command line (without the program's name).
int Run(const std::vector<std::string>& args, Io& io);

// The program's help text.
std::string Usage();

} // namespace plendoro::cli
