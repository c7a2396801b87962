#pragma once
// What a scenario says about the simulated world, and its text form
// (documented in sim/README.md).
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace plsim {

// Named failure modes. Counters count down as requests arrive.
struct Faults {
    bool silent = false;
    int silentNext = 0;
    bool badChecksum = false;
    std::map<int, std::uint32_t> errorBlocks;
    int unplugAfter = -1; // < 0: never
    int splitGapMs = -1;  // < 0: replies go out whole
    int gluedBytes = 0;
    bool alternate = false;        // requests go unanswered and answered by turns
    bool alternateAnswers = false; // whether the next request is the answered one
    bool noHardwareVersion = false;
    bool versionSilent = false;
    int eraseStallAt = -1;     // >= 0: erase reports stop after this percentage
    bool eraseGarbage = false; // erase reports of 13 bytes that hold no number
    int eraseGluedAt = -1;     // >= 0: only one report, this percentage glued to the last
    bool calibrationRefused = false;
    bool calibrationStuck = false;   // the calibration never ends
    int calibrationSilentAfter = -1; // >= 0: MMA_STATE answered this often, then never
};

// "none" or "" clears every fault; several faults may be given at once,
// separated by ';'. On failure `faults` is unchanged.
bool ApplyFault(Faults& faults, std::string_view text, std::string& error);

struct CanFrame {
    std::uint32_t id = 0;
    std::uint32_t dataA = 0;
    std::uint32_t dataB = 0;
    std::uint32_t atMs = 0; // after the search starts
};

using OneWireAddress = std::array<std::uint8_t, 8>;

struct DeviceSetup {
    std::string description = "Kovaltrak WiFi";
    std::string serial = "0005000";
    bool foreign = false;
    int firmware = 403;
    int hardware = 4;
    bool plugged = true;
    std::map<int, std::vector<std::uint8_t>> blocks;
    std::vector<CanFrame> can;
    std::vector<OneWireAddress> oneWire;
    int eraseMs = 3000;
    int eraseReportMs = 200;
    int calibrationMs = 1000;
    int oneWireSearchMs = 150;
    Faults faults;
};

struct WorldSetup {
    bool wireTiming = true;
    int turnaroundUs = 200;
    int packetTimeoutMs = 100;
    std::vector<DeviceSetup> devices;
};

bool ParseScenario(std::string_view text, WorldSetup& world, std::string& error);

// Device lines applied to one existing device (the lines of a [device]
// section, plus "can clear" and "onewire clear"). On failure `device` is
// unchanged.
bool ApplyDeviceLines(std::string_view text, DeviceSetup& device, std::string& error);

// Brings the stored blocks in line with the firmware: a block of the wrong
// size (after a change of generation) or a missing one gets the defaults.
void FitBlocks(DeviceSetup& device);

// sim/scenarios/default.scn, compiled in.
const char* BuiltInScenario();

} // namespace plsim
