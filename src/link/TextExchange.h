#pragma once
#include "link/ByteLink.h"

#include <cstddef>
#include <cstdint>

namespace plendoro {

// Sends a text command as it is. The byte log shows it as words and hex.
void SendText(ByteLink& link, const std::uint8_t* command, std::size_t count);

// One timed read of a text reply (ByteLink::ReadTimed), shown in the byte log.
std::size_t ReadTimedReply(ByteLink& link, std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs);

// How long a reply may pause between two pieces before it counts as ended.
constexpr unsigned kReplyPauseMs = 50;

// A timed read of a long text reply. At the bridge's 460800 baud a single
// timed read takes only what arrived within a tenth of its timeout after
// the first byte (about 900 bytes of a 200 ms read); a reply of thousands
// of bytes keeps arriving after that. The rest is collected until the
// reply's terminator, a pause, or a full buffer. Returns the bytes read;
// the buffer is cleared up to its capacity, as a timed read clears it.
std::size_t ReadTimedUntil(ByteLink& link, std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs,
                           std::uint8_t terminator);

} // namespace plendoro
