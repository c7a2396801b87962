#include "services/core/Calibration.h"

#include "link/TextExchange.h"

#include <array>
#include <cstring>
#include <string_view>

namespace plendoro {

namespace {
void Send(ByteLink& link, std::string_view command)
{
    SendText(link, reinterpret_cast<const std::uint8_t*>(command.data()), command.size());
}
} // namespace

bool StartCalibration(ByteLink& link)
{
    constexpr std::string_view kStarted = "STARTED";
    Send(link, "MMA_CALIBRATE");
    std::array<std::uint8_t, kStarted.size()> reply{};
    return link.Read(reply.data(), reply.size()) == kStarted.size() &&
           std::memcmp(reply.data(), kStarted.data(), kStarted.size()) == 0;
}

CalibrationState PollCalibration(ByteLink& link)
{
    constexpr std::string_view kNormal = "MMA_NORMAL";
    Send(link, "MMA_STATE");
    std::array<std::uint8_t, 100> reply{};
    const std::size_t got = ReadTimedReply(link, reply.data(), reply.size(), 500);
    if (got < kNormal.size())
        return CalibrationState::Failed;
    if (std::memcmp(reply.data(), kNormal.data(), kNormal.size()) == 0)
        return CalibrationState::Done;
    return CalibrationState::Busy;
}

} // namespace plendoro
