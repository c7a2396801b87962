#include "model/Conversions.h"
#include "model/FieldText.h"
#include "model/TextNumbers.h"

namespace plendoro {
namespace {

// Event transfer settings of the digital inputs exist from this version on;
// older firmware keeps those bits zero.
constexpr int kInputTransferMinVersion = 300;

constexpr int kAdMethodItems = 2;
constexpr int kLevelItems = 2;
constexpr std::uint16_t kUnusedSwitchLevel = 732;
constexpr std::uint16_t kUnusedAdaptiveLevel = 1023;
constexpr std::int32_t kDefaultAdaptiveLevel = 1023;
constexpr std::int32_t kDefaultAveragePeriod = 16;
constexpr std::int32_t kDefaultDuration = 1;
constexpr std::int32_t kDefaultCounterPeriod12 = 3600;
constexpr std::int32_t kDefaultCounterPeriod = 0;
constexpr std::int32_t kDefaultAnalogWritePeriod = 3600;

std::string Signed32Text(std::uint32_t v)
{
    return DecimalText(static_cast<std::int32_t>(v));
}

std::uint32_t Period(const std::string& text, std::int32_t fallback)
{
    return static_cast<std::uint32_t>(ReadDecimal(text, fallback));
}

} // namespace

bool DecodeInputsConf(std::span<const std::uint8_t> block, int firmwareVersion, InputsConfValues& v)
{
    InputsConf c;
    if (!UnpackInputsConf(block, c))
        return false;
    for (std::size_t k = 0; k < kAnalogInputCount; ++k) {
        const AnalogInputConf& a = c.Analog[k];
        AnalogInputValues& f = v.analog[k];
        // A threshold or adaptive setting that is switched off in the block
        // is not shown, so the user's last choice survives for next time.
        f.cbAInAsDigital = a.AsDigital;
        if (a.AsDigital)
            f.edAInDigLevel = a.SwitchLevel;
        f.cbAInAdaptive = a.Adaptive;
        if (a.Adaptive) {
            f.cbAInAdMethod = ListPosition(a.AdaptiveMethod, kAdMethodItems);
            f.edAInAdLevel = DecimalText(a.AdaptiveLevel);
        }
        f.edAInAverPeriod = DecimalText(a.AveragePeriod);
    }
    const bool transfer = firmwareVersion >= kInputTransferMinVersion;
    for (std::size_t k = 0; k < kDigitalInputCount; ++k) {
        const DigitalInputConf& d = c.Input[k];
        DigitalInputValues& f = v.input[k];
        f.cbInLevel = ListPosition(d.EventLevel, kLevelItems);
        if (transfer) {
            f.cbInSend = d.SendData;
            f.cbInCont = d.SendContinuous;
            f.edInDuration = DecimalText(d.SendDuration);
        }
        f.rbInMode = d.InputMode >= kModeCount && d.InputMode <= kModeMotion ? d.InputMode : kModeBase;
    }
    v.edCnt12SendPeriod = Signed32Text(c.CounterPeriod12);
    v.edCnt34SendPeriod = Signed32Text(c.CounterPeriod34);
    v.edCnt56SendPeriod = Signed32Text(c.CounterPeriod56);
    v.edCnt78SendPeriod = Signed32Text(c.CounterPeriod78);
    v.edAInWritePeriod = Signed32Text(c.AnalogWritePeriod);
    return true;
}

std::array<std::uint8_t, kInputsConfSize> EncodeInputsConf(const InputsConfValues& v, int firmwareVersion)
{
    InputsConf c;
    for (std::size_t k = 0; k < kAnalogInputCount; ++k) {
        const AnalogInputValues& f = v.analog[k];
        AnalogInputConf& a = c.Analog[k];
        a.AsDigital = f.cbAInAsDigital;
        a.SwitchLevel = f.cbAInAsDigital ? static_cast<std::uint16_t>(f.edAInDigLevel) : kUnusedSwitchLevel;
        a.Adaptive = f.cbAInAdaptive;
        if (f.cbAInAdaptive) {
            a.AdaptiveMethod = static_cast<std::uint8_t>(f.cbAInAdMethod & 3);
            a.AdaptiveLevel = static_cast<std::uint16_t>(ReadDecimal(f.edAInAdLevel, kDefaultAdaptiveLevel));
        } else {
            a.AdaptiveMethod = 0;
            a.AdaptiveLevel = kUnusedAdaptiveLevel;
        }
        a.AveragePeriod = static_cast<std::uint16_t>(ReadDecimal(f.edAInAverPeriod, kDefaultAveragePeriod));
    }
    const bool transfer = firmwareVersion >= kInputTransferMinVersion;
    for (std::size_t k = 0; k < kDigitalInputCount; ++k) {
        const DigitalInputValues& f = v.input[k];
        DigitalInputConf& d = c.Input[k];
        d.EventLevel = static_cast<std::uint8_t>(f.cbInLevel & 1);
        if (transfer) {
            d.SendData = f.cbInSend;
            d.SendContinuous = f.cbInCont;
            d.SendDuration = static_cast<std::uint8_t>(ReadDecimal(f.edInDuration, kDefaultDuration) & 63);
        }
        // With no mode button checked the input counts as a motion input,
        // the last of the five.
        d.InputMode =
            static_cast<std::uint8_t>(f.rbInMode >= kModeBase && f.rbInMode < kModeMotion ? f.rbInMode : kModeMotion);
    }
    c.CounterPeriod12 = Period(v.edCnt12SendPeriod, kDefaultCounterPeriod12);
    c.CounterPeriod34 = Period(v.edCnt34SendPeriod, kDefaultCounterPeriod);
    c.CounterPeriod56 = Period(v.edCnt56SendPeriod, kDefaultCounterPeriod);
    c.CounterPeriod78 = Period(v.edCnt78SendPeriod, kDefaultCounterPeriod);
    c.AnalogWritePeriod = Period(v.edAInWritePeriod, kDefaultAnalogWritePeriod);
    return PackInputsConf(c);
}

} // namespace plendoro
