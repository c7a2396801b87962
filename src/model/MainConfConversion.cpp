#include "model/Conversions.h"
#include "model/FieldText.h"
#include "model/TextNumbers.h"

namespace plendoro {
namespace {

constexpr int kWriteMethodItems = 2;
constexpr std::int32_t kDefaultWritePeriod = 5;

} // namespace

bool DecodeMainConf(std::span<const std::uint8_t> block, MainConfValues& v)
{
    MainConf c;
    if (!UnpackMainConf(block, c))
        return false;
    v.cbWriteMethod = ListPosition(c.WriteMethod, kWriteMethodItems);
    v.edWritePeriod = DecimalText(c.WritePeriod);
    v.cbWideRecord = c.WideRecord;
    v.cbStaticNav = c.StaticNavigation;
    // Mode 3 has no button of its own; the receiver treats it as joint work.
    v.intGlonass = (c.ReceiverMode == 1 || c.ReceiverMode == 2) ? c.ReceiverMode : 0;
    v.dX = c.dX;
    v.dY = c.dY;
    v.dZ = c.dZ;
    return true;
}

std::array<std::uint8_t, kMainConfSize> EncodeMainConf(const MainConfValues& v)
{
    MainConf c;
    c.WideRecord = v.cbWideRecord;
    // No selection (-1) masks to 3, as the device has always received it.
    c.WriteMethod = static_cast<std::uint8_t>(v.cbWriteMethod & 3);
    c.WritePeriod = static_cast<std::uint16_t>(ReadDecimal(v.edWritePeriod, kDefaultWritePeriod));
    c.StaticNavigation = v.cbStaticNav;
    c.ReceiverMode = static_cast<std::uint8_t>(v.intGlonass & 3);
    c.dX = static_cast<std::int8_t>(v.dX);
    c.dY = static_cast<std::int8_t>(v.dY);
    c.dZ = static_cast<std::int8_t>(v.dZ);
    return PackMainConf(c);
}

} // namespace plendoro
