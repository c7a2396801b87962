#include "model/Conversions.h"
#include "model/FieldText.h"
#include "model/TextNumbers.h"

namespace plendoro {

void SetOneWireDefaults(OneWireConfValues& v)
{
    v.cbIbReadAny = true;
    v.lbIbAddrList.clear();
    v.edIbAddr.clear();
    v.cbItempReadAll = false;
    v.cbItempAddr.fill(false);
    for (std::string& text : v.edItempAddr)
        text.clear();
    v.cbIbPulseOut1 = false;
    v.cbIbPulseOut2 = false;
    v.edItempWritePeriod14 = "0";
    v.edItempWritePeriod58 = "0";
    v.edItempWritePeriod14Enabled = false;
    v.edItempWritePeriod58Enabled = false;
}

bool DecodeOneWireConf(std::span<const std::uint8_t> block, OneWireConfValues& v)
{
    OneWireConf c;
    if (!UnpackOneWireConf(block, c))
        return false;
    SetOneWireDefaults(v);
    v.cbIbReadAny = c.ReadAnyKey;
    // Keys are listed even when any key is accepted: the list is what the
    // device holds, and it comes back if the user unticks the box.
    for (const OneWireAddress& key : c.KeyAddress)
        if (IsKeySlotFilled(key))
            v.lbIbAddrList.push_back(AddressToText(key));
    v.cbItempReadAll = c.SingleSensor;
    if (!c.SingleSensor) {
        for (std::size_t n = 0; n < kOneWireSensorCount; ++n) {
            if (!c.SensorUsed[n])
                continue;
            v.edItempAddr[n] = AddressToText(c.SensorAddress[n]);
            v.cbItempAddr[n] = true;
        }
    }
    v.cbIbPulseOut1 = c.PulseOut1;
    v.cbIbPulseOut2 = c.PulseOut2;
    v.edItempWritePeriod14 = DecimalText(static_cast<std::int32_t>(c.SensorWritePeriod14));
    v.edItempWritePeriod58 = DecimalText(static_cast<std::int32_t>(c.SensorWritePeriod58));
    return true;
}

std::array<std::uint8_t, kOneWireConfSize> EncodeOneWireConf(OneWireConfValues& v)
{
    OneWireConf c;
    if (v.cbIbReadAny) {
        c.ReadAnyKey = true;
    } else {
        c.NoKeys = v.lbIbAddrList.empty();
        std::size_t stored = 0;
        for (const std::string& line : v.lbIbAddrList) {
            if (stored == kOneWireKeyCount)
                break;
            if (TextToAddress(line, c.KeyAddress[stored]))
                ++stored;
        }
    }
    if (v.cbItempReadAll) {
        c.SingleSensor = true;
    } else {
        for (std::size_t n = 0; n < kOneWireSensorCount; ++n) {
            if (!v.cbItempAddr[n])
                continue;
            if (TextToAddress(v.edItempAddr[n], c.SensorAddress[n]))
                c.SensorUsed[n] = true;
            else
                v.cbItempAddr[n] = false;
        }
    }
    c.PulseOut1 = v.cbIbPulseOut1;
    c.PulseOut2 = v.cbIbPulseOut2;
    c.SensorWritePeriod14 = static_cast<std::uint32_t>(ReadDecimal(v.edItempWritePeriod14, 0));
    c.SensorWritePeriod58 = static_cast<std::uint32_t>(ReadDecimal(v.edItempWritePeriod58, 0));
    return PackOneWireConf(c);
}

} // namespace plendoro
