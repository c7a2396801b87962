#pragma once
// The device's side of the CAN search: its three text commands, what their
// replies must look like, and the reading of the identifier report.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace plendoro {

inline constexpr std::string_view kStartCanSearchCommand = "START_CAN_SEARCH";
inline constexpr std::string_view kCanTestCommand = "CAN_TEST";
inline constexpr std::string_view kStopCanSearchCommand = "STOP_CAN_SEARCH";

inline constexpr std::string_view kSearchStartedReply = "SEARCH_STARTED";
inline constexpr std::string_view kSearchStoppedReply = "SEARCH_STOPPED";
inline constexpr std::string_view kCanStatePrefix = "CAN_STATE:";

// Reply capacities and timeouts of the three exchanges.
constexpr std::size_t kCanCommandReplyCapacity = 30;
constexpr unsigned kCanCommandTimeoutMs = 100;
constexpr std::size_t kCanStateReplyCapacity = 5000;
constexpr unsigned kCanStateTimeoutMs = 200;

// One identifier of the report with the data words the device last saw.
struct CanStateRecord {
    std::uint32_t Id = 0;
    std::uint32_t dA = 0;
    std::uint32_t dB = 0;
    friend bool operator==(const CanStateRecord&, const CanStateRecord&) = default;
};

// True when the received bytes begin with the expected reply; a short
// reply never matches.
bool ReplyBeginsWith(std::string_view received, std::string_view expected);

// Reads the report "CAN_STATE:" id,dA,dB[,id,dA,dB ...] ";" from exactly the
// bytes received: nothing past them is looked at, whether or not a ';' or a
// terminating zero follows. Records are read up to the closing ';', the end
// of the bytes or the first record that is not three hexadecimal numbers of
// up to eight digits, whichever comes first; the records before it count.
// A last record whose final number is cut short by the end of the bytes
// (fewer than eight digits, no separator after it) is not taken.
// No value when the reply is not a report at all.
std::optional<std::vector<CanStateRecord>> ParseCanState(std::string_view s);

} // namespace plendoro
