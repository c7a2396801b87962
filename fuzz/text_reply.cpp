// The tracker's text replies: the firmware and hardware versions, the
// erase progress, the calibration state, the CAN report and the 1-Wire
// search. Input: one byte choosing the exchange, then the device's side of
// the wire as chunks (FuzzSupport.h); the CAN report takes the rest of the
// input as the reply itself.
#include "FuzzSupport.h"
#include "link/Identification.h"
#include "services/core/Calibration.h"
#include "services/core/CanState.h"
#include "services/core/MemoryClearing.h"
#include "services/core/OneWireSearch.h"

#include <cstdlib>
#include <string_view>

using namespace plendoro;

namespace {

void Versions(fuzz::Input& input)
{
    fuzz::InputLink link(input);
    DeviceIdentity identity;
    if (!QueryVersions(link, identity))
        return;
    if (identity.firmwareMajor < 0 || identity.firmwareMajor > kMaxFirmwareMajor || identity.firmwareMinor < 0 ||
        identity.firmwareMinor > kMaxFirmwareMinor)
        std::abort();
}

void Erase(fuzz::Input& input)
{
    fuzz::InputLink link(input);
    int reports = 0;
    const ClearResult result = ClearMemory(link, [&](int) { ++reports; });
    if (result == ClearResult::OpenFailed || (result == ClearResult::NotStarted && reports != 0))
        std::abort();
}

void Calibrate(fuzz::Input& input)
{
    fuzz::InputLink link(input);
    if (!StartCalibration(link))
        return;
    for (int poll = 0; poll < 20 && PollCalibration(link) == CalibrationState::Busy; ++poll) {}
}

void CanReport(fuzz::Input& input)
{
    const auto rest = input.Rest();
    const std::string_view reply(reinterpret_cast<const char*>(rest.data()), rest.size());
    const auto records = ParseCanState(reply);
    if (records.has_value() != ReplyBeginsWith(reply, kCanStatePrefix))
        std::abort();
    // Every record takes at least "x,x,x" of the reply.
    if (records && records->size() * 6 > reply.size())
        std::abort();
}

void OneWire(fuzz::Input& input)
{
    const auto family = input.Byte();
    fuzz::InputLink link(input);
    std::vector<OneWireAddress> found;
    const auto result = SearchOneWire(link, family == 0xFF ? kAllFamilies : family, found);
    if (result == OneWireSearchResult::NoReply && !found.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    switch (input.Byte() % 5) {
    case 0: Versions(input); break;
    case 1: Erase(input); break;
    case 2: Calibrate(input); break;
    case 3: CanReport(input); break;
    case 4: OneWire(input); break;
    }
    return 0;
}
