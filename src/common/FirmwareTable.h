#pragma once
// What each firmware version of the tracker stores and allows: the block
// layout generation, the network block's size and the features that came
// with later versions. Versions are major * 100 + minor (4.03 is 403).
#include <cstddef>

namespace plendoro {

// The versions the editor works with while no tracker is attached.
constexpr int kNoDeviceFirmwareVersion = 403;
constexpr int kNoDeviceHardwareVersion = 4;

enum class FirmwareGeneration { First, Second, Third };

FirmwareGeneration GenerationOf(int firmwareVersion);
std::size_t NetConfSize(int firmwareVersion);
bool HasCanBlock(int firmwareVersion);     // block 5
bool HasOneWireBlock(int firmwareVersion); // block 6, 1-Wire rules, sensor search
bool HasAnalogRules(int firmwareVersion);  // analog input rules
bool HasCanSearch(int firmwareVersion);    // CAN search, continuous transfer
bool HasWifiChannel(int firmwareVersion);
bool HasExternalReceiver(int firmwareVersion);
bool ReadsHardwareVersion(int firmwareVersion);
// Which satellite receiver control the hardware has.
bool HasGlonassReceiver(int hardwareVersion);

} // namespace plendoro
