#include "common/FirmwareTable.h"

namespace plendoro {

FirmwareGeneration GenerationOf(int firmwareVersion)
{
    if (firmwareVersion < 300)
        return FirmwareGeneration::First;
    if (firmwareVersion < 403)
        return FirmwareGeneration::Second;
    return FirmwareGeneration::Third;
}

std::size_t NetConfSize(int firmwareVersion)
{
    switch (GenerationOf(firmwareVersion)) {
    case FirmwareGeneration::First: return 108;
    case FirmwareGeneration::Second: return 111;
    case FirmwareGeneration::Third: return 117;
    }
    return 117;
}

bool HasCanBlock(int firmwareVersion)
{
    return firmwareVersion >= 300;
}
bool HasOneWireBlock(int firmwareVersion)
{
    return firmwareVersion >= 305;
}
bool HasAnalogRules(int firmwareVersion)
{
    return firmwareVersion >= 200;
}
bool HasCanSearch(int firmwareVersion)
{
    return firmwareVersion >= 300;
}
bool HasWifiChannel(int firmwareVersion)
{
    return firmwareVersion >= 305;
}
bool HasExternalReceiver(int firmwareVersion)
{
    return firmwareVersion >= 307;
}
bool ReadsHardwareVersion(int firmwareVersion)
{
    return firmwareVersion >= 309;
}
bool HasGlonassReceiver(int hardwareVersion)
{
    return hardwareVersion >= 4;
}

} // namespace plendoro
