#pragma once
// The state file named by PLENDORO_SIM_STATE: each tracker's stored blocks
// by serial number, kept between runs (format in sim/README.md).
#include "Scenario.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace plsim {

using StoredBlocks = std::map<std::string, std::map<int, std::vector<std::uint8_t>>>;

// A serial the file can hold: 1 to 15 printable characters, no blank, not
// starting with '#'.
bool Storable(const std::string& serial);

// False, with `state` unchanged, for any line that does not parse.
bool ParseState(std::string_view text, StoredBlocks& state);
std::string FormatState(const StoredBlocks& state);

// False when the file is missing, unreadable or malformed.
bool ReadState(const std::string& path, StoredBlocks& state);

// Each tracker whose serial is known gets the known blocks its firmware has
// at their size; the others keep the scenario's.
void ApplyState(const StoredBlocks& state, std::vector<DeviceSetup>& devices);

// Rewrites the file with `world`'s entries, keeping those of serials not in
// it, under a lock and through a temporary file renamed over the old one.
bool WriteState(const std::string& path, const StoredBlocks& world, std::string& error);

} // namespace plsim
