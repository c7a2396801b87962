#pragma once
// What a CAN identifier heard on the vehicle's bus means to the technician:
// its kind (known parameter, fuel level, anything else), its name in the
// lists and the decoded description of its last data. Identifiers follow the
// SAE J1939 layout; every decision is taken on the parameter group number.
#include "model/Structs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plendoro {

// The parameter group number of a 29-bit identifier.
constexpr std::uint16_t CanPgn(std::uint32_t id)
{
    return static_cast<std::uint16_t>((id >> 8) & 0xFFFF);
}
constexpr std::uint8_t CanSourceAddress(std::uint32_t id)
{
    return static_cast<std::uint8_t>(id & 0xFF);
}

constexpr std::uint16_t kFuelLevelPgn = 0xFEFC;

// The three kinds are exclusive and cover every identifier.
bool IsKnownCanPgn(std::uint32_t id);
bool IsFuelCanPgn(std::uint32_t id);
bool IsUserCanPgn(std::uint32_t id);

// True when the list holds an entry with this identifier.
bool FindCanParameter(const std::vector<TCANId_V3>& found, std::uint32_t id);

// The entry's line in the lists (UTF-8). Known parameters carry no source
// address, so one parameter sent by two units gives two equal lines.
std::string CanParameterName(const TCANId_V3& entry);

// The description shown for an entry, one string per line (UTF-8): the
// decoded items of its parameter group, then the "RAW Data" line.
std::vector<std::string> CanDetailLines(const TCANId_V3& entry);
// The same lines joined with CR LF, as the device's own tools show them.
std::string CanDetailText(const TCANId_V3& entry);

} // namespace plendoro
