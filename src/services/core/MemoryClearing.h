#pragma once
// Erasing the tracker's data memory over an open device: the erase command,
// its confirmation and the progress reports until 100 percent.
#include "link/ByteLink.h"

#include <functional>

namespace plendoro {

enum class ClearResult {
    Done = 0,          // the device reported 100 percent
    OpenFailed = 1,    // the device did not open (the caller's to report)
    NotStarted = 2,    // no "ERASE_START" to the erase command
    ReportMissing = 3, // a progress report did not come, or was shorter than 13 bytes
    ReportGarbled = 4, // a progress report did not parse as "ERASE_POS=%d"
};

// Each report below 100 percent goes to onProgress before the next wait.
// A report glued to the next one in a single read is judged as the first
// of them; what follows it in that read is not looked at.
ClearResult ClearMemory(ByteLink& link, const std::function<void(int percent)>& onProgress);

} // namespace plendoro
