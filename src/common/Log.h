#pragma once
// A byte log for fault reports, free of any toolkit. The program installs a
// sink; without one every check below is a single load and nothing is ever
// formatted, so the exchanges run exactly as they would with no log at all.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plendoro {

enum class LogChannel {
    Link,     // exchanges with the tracker: requests, replies, retries
    Presence, // finding and identifying the tracker
};

using LogSink = void (*)(LogChannel channel, std::string_view line);
// Whether a channel is wanted at all; asked before anything is formatted.
using LogFilter = bool (*)(LogChannel channel);

// Installs the sink (null to stop logging). Without a filter every channel
// counts as wanted while a sink is installed.
void SetLogSink(LogSink sink, LogFilter filter = nullptr);

bool LogEnabled(LogChannel channel);
void LogLine(LogChannel channel, std::string_view line);

// "48 44 52 56": two upper-case digits per byte, one blank between bytes.
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);
// The bytes as text, with anything outside printable ASCII as "\xNN", for
// the text commands whose words say more than their hex.
std::string PrintableBytes(const std::uint8_t* bytes, std::size_t count);

} // namespace plendoro
