#include "services/core/MemoryClearing.h"

#include "link/TextExchange.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace plendoro {

namespace {
constexpr std::string_view kEraseCommand = "FL_ERASE_DATA";
constexpr std::string_view kEraseStarted = "ERASE_START";
constexpr std::string_view kEraseFinished = "ERASE_POS=100";
constexpr std::size_t kReportLength = 13;
constexpr std::size_t kReplyCapacity = 100;
constexpr unsigned kStartTimeoutMs = 100;
constexpr unsigned kReportTimeoutMs = 300;
} // namespace

ClearResult ClearMemory(ByteLink& link, const std::function<void(int percent)>& onProgress)
{
    SendText(link, reinterpret_cast<const std::uint8_t*>(kEraseCommand.data()), kEraseCommand.size());
    // One byte beyond the capacity stays zero, so the reply reads as text.
    std::array<std::uint8_t, kReplyCapacity + 1> reply{};
    std::size_t got = ReadTimedReply(link, reply.data(), kReplyCapacity, kStartTimeoutMs);
    if (got < kEraseStarted.size() || std::memcmp(reply.data(), kEraseStarted.data(), kEraseStarted.size()) != 0)
        return ClearResult::NotStarted;
    while (true) {
        got = ReadTimedReply(link, reply.data(), kReplyCapacity, kReportTimeoutMs);
        if (got < kReportLength)
            return ClearResult::ReportMissing;
        if (std::memcmp(reply.data(), kEraseFinished.data(), kReportLength) == 0)
            return ClearResult::Done;
        // The number ends where the digits end: "ERASE_POS=90ERASE_POS=100"
        // reads as 90.
        int percent = 0;
        if (std::sscanf(reinterpret_cast<const char*>(reply.data()), "ERASE_POS=%d", &percent) != 1)
            return ClearResult::ReportGarbled;
        if (onProgress)
            onProgress(percent);
    }
}

} // namespace plendoro
