#include "model/Conversions.h"
#include "model/FieldText.h"
#include "model/TextNumbers.h"

namespace plendoro {

bool DecodeCanConf(std::span<const std::uint8_t> block, std::vector<TCANId_V3>& found, CanConfValues& v)
{
    CanConf c;
    if (!UnpackCanConf(block, c))
        return false;
    found.clear();
    for (const CanSlot& slot : c.Slots) {
        if (slot.Id == 0)
            continue;
        found.push_back({slot.Id, slot.Used, slot.Order, slot.Window, 0, 0});
    }
    v.edCANPeriodSave = DecimalText(static_cast<std::int32_t>(c.CanWritePeriod));
    return true;
}

std::array<std::uint8_t, kCanConfSize> EncodeCanConf(const std::vector<TCANId_V3>& found, const CanConfValues& v)
{
    CanConf c;
    std::size_t filled = 0;
    auto store = [&](const TCANId_V3& e) {
        if (filled < kCanSlotCount)
            c.Slots[filled++] = {e.Id, e.Used, e.Order, e.Window};
    };
    // Recorded parameters go first, so that the 30 slots are never spent on
    // found-but-unrecorded ones while a recorded one is left out.
    for (const TCANId_V3& e : found)
        if (e.Used != 0)
            store(e);
    if (filled < kCanSlotCount && found.size() > filled)
        for (const TCANId_V3& e : found)
            if (e.Used == 0)
                store(e);
    c.CanWritePeriod = static_cast<std::uint32_t>(ReadDecimal(v.edCANPeriodSave, 0));
    return PackCanConf(c);
}

} // namespace plendoro
