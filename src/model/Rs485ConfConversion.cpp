#include "model/Conversions.h"
#include "model/FieldText.h"
#include "model/TextNumbers.h"

#include <algorithm>

namespace plendoro {
namespace {

constexpr std::array<std::uint32_t, 6> kBaudRates{4800, 9600, 19200, 38400, 57600, 115200};

// Receiver codes the device understands, by GlonassMode position.
constexpr std::array<std::uint8_t, 3> kReceiverCodes{1, 3, 4};
constexpr std::uint8_t kReceiverUnnamedMode = 7;

} // namespace

bool DecodeRs485Conf(std::span<const std::uint8_t> block, int firmwareVersion, Rs485ConfValues& v)
{
    Rs485Conf c;
    if (!UnpackRs485Conf(block, c))
        return false;
    for (std::size_t n = 0; n < kFuelSensorCount; ++n) {
        const std::uint8_t address = c.FuelSensorAddress[n];
        // 255 is what an erased device holds; it means no sensor, as 0 does.
        const bool on = address != 0 && address != 255;
        v.cbLLSAddr[n] = on;
        v.edLLSAddr[n] = DecimalText(on ? address : 0);
    }
    v.edLLSWritePeriod14 = DecimalText(c.FuelWritePeriod14);
    v.edLLSWritePeriod58 = DecimalText(c.FuelWritePeriod58);
    const auto baud = std::find(kBaudRates.begin(), kBaudRates.end(), c.Rs485Baud);
    if (baud != kBaudRates.end())
        v.cbRS485Speed = static_cast<int>(baud - kBaudRates.begin());
    if (HasExternalReceiver(firmwareVersion)) {
        const std::uint8_t code = c.ExternalReceiver;
        v.cbRS485EnableGlonass = code != 0;
        v.GlonassModeEnabled = v.cbRS485EnableGlonass;
        if (code == 1 || code == 2)
            v.GlonassMode = 0;
        else if (code == 3)
            v.GlonassMode = 1;
        else if (code >= 4 && code < kReceiverUnnamedMode)
            v.GlonassMode = 2;
    }
    return true;
}

std::array<std::uint8_t, kRs485ConfSize> EncodeRs485Conf(const Rs485ConfValues& v, int firmwareVersion)
{
    Rs485Conf c;
    for (std::size_t n = 0; n < kFuelSensorCount; ++n)
        c.FuelSensorAddress[n] = v.cbLLSAddr[n] ? static_cast<std::uint8_t>(ReadDecimal(v.edLLSAddr[n], 0)) : 0;
    // The list always holds a selection; a position outside the table
    // (only reachable from code) stores no speed rather than reading past
    // the table.
    if (v.cbRS485Speed >= 0 && static_cast<std::size_t>(v.cbRS485Speed) < kBaudRates.size())
        c.Rs485Baud = kBaudRates[static_cast<std::size_t>(v.cbRS485Speed)];
    if (HasExternalReceiver(firmwareVersion)) {
        if (v.cbRS485EnableGlonass && v.GlonassMode >= 0 &&
            static_cast<std::size_t>(v.GlonassMode) < kReceiverCodes.size())
            c.ExternalReceiver = kReceiverCodes[static_cast<std::size_t>(v.GlonassMode)];
        c.ReceiverMarker = true;
    }
    c.FuelWritePeriod14 = static_cast<std::uint16_t>(ReadDecimal(v.edLLSWritePeriod14, 0));
    c.FuelWritePeriod58 = static_cast<std::uint16_t>(ReadDecimal(v.edLLSWritePeriod58, 0));
    return PackRs485Conf(c);
}

} // namespace plendoro
