#pragma once
// Searching the tracker's 1-Wire line over an open device.
#include "link/ByteLink.h"
#include "model/OneWireAddress.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plendoro {

// Every family.
constexpr int kAllFamilies = -1;
constexpr int kIButtonFamily = 1;
constexpr int kTemperatureFamily = 40;

enum class OneWireSearchResult {
    Replied = 0,    // a reply was parsed (it may list no address)
    OpenFailed = 1, // the caller's to report
    NoReply = 2,    // fewer than 11 bytes, or not "1WARE_ADDR:"
};

// "1WIRE_SEARCH_ALL" or "1WIRE_SEARCH_<family>", and the addresses of its
// reply in reply order.
OneWireSearchResult SearchOneWire(ByteLink& link, int family, std::vector<OneWireAddress>& found);

// The reply: "1WARE_ADDR:" and records of eight ":"-separated pairs, each
// closed by ";". Parsing stops at the first record that does not read and
// never looks past `length`. False when the reply does not begin so.
bool ParseOneWireReply(const std::uint8_t* reply, std::size_t length, std::vector<OneWireAddress>& found);

} // namespace plendoro
