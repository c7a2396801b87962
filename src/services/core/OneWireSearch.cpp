#include "services/core/OneWireSearch.h"

#include "link/TextExchange.h"

#include <array>
#include <string>
#include <string_view>

namespace plendoro {

namespace {
constexpr std::string_view kReplyHead = "1WARE_ADDR:";
constexpr std::size_t kReplyCapacity = 1000;
constexpr unsigned kReplyTimeoutMs = 2000;
} // namespace

bool ParseOneWireReply(const std::uint8_t* reply, std::size_t length, std::vector<OneWireAddress>& found)
{
    found.clear();
    const std::string_view text(reinterpret_cast<const char*>(reply), length);
    if (!text.starts_with(kReplyHead))
        return false;
    std::size_t cursor = kReplyHead.size();
    OneWireAddress address{};
    while (cursor < text.size() && ScanListedAddress(text.substr(cursor), address)) {
        found.push_back(address);
        const std::size_t end = text.find(';', cursor);
        cursor = end == std::string_view::npos ? text.size() : end + 1;
    }
    return true;
}

OneWireSearchResult SearchOneWire(ByteLink& link, int family, std::vector<OneWireAddress>& found)
{
    found.clear();
    const std::string command =
        family == kAllFamilies ? std::string("1WIRE_SEARCH_ALL") : "1WIRE_SEARCH_" + std::to_string(family);
    SendText(link, reinterpret_cast<const std::uint8_t*>(command.data()), command.size());
    std::array<std::uint8_t, kReplyCapacity> reply{};
    const std::size_t got = ReadTimedReply(link, reply.data(), reply.size(), kReplyTimeoutMs);
    if (got < kReplyHead.size() || !ParseOneWireReply(reply.data(), got, found))
        return OneWireSearchResult::NoReply;
    return OneWireSearchResult::Replied;
}

} // namespace plendoro
