#pragma once
// Block transactions: a 16-byte header, the block, a one's-complement check;
// one request, one reply, up to eight attempts.
#include "common/Bytes.h"
#include "common/Clock.h"
#include "link/ByteLink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace plendoro {

constexpr std::size_t kPacketBufferSize = 1024;
constexpr std::size_t kHeaderSize = 16;
constexpr std::uint16_t kErrorReplyId = 192;
constexpr std::uint16_t kWriteIdBase = 128;
constexpr int kTransactAttempts = 8;
constexpr std::size_t kSendPiece = 64;

// RFC 1071 sum of little-endian 16-bit words; a last odd byte is the low
// byte of a final word.
std::uint16_t Sum16(const std::uint8_t* bytes, std::size_t count);

struct PacketHeader {
    std::uint8_t magic[7];
    std::uint8_t zero;
    std::uint16_t totalLength;
    std::uint16_t headerLength;
    std::uint16_t id;
    std::uint16_t check;

    static PacketHeader Parse(const std::uint8_t* bytes);
    // Writes a request header for a payload already placed at offset 16 and
    // fills in the check over header and payload.
    static void BuildRequest(std::uint8_t* packet, std::uint16_t id, std::size_t payloadLength);
};

// The device's error codes in words; codes outside 1..5 have no text.
std::string DeviceErrorText(std::uint32_t code);

// One block transaction over an open device. The buffer is the caller's
// 1024-byte packet buffer: request payload at offset 16 before the call,
// reply payload there after it. On failure `failure` holds the text for the
// status line.
// onRetry, when set, is told the number of each attempt after the first
// before it is sent.
using RetryHook = std::function<void(int attempt)>;
bool Transact(ByteLink& link, Clock& clock, std::uint8_t* buffer, std::uint16_t id, std::size_t replyLength,
              std::size_t requestLength, std::string& failure, const RetryHook& onRetry = {});

// Failure texts of a transaction.
inline constexpr const char* kTextBadReply = "Неверный ответ прибора.";
inline constexpr const char* kTextNoReply = "Ошибка при считывании параметров.";

} // namespace plendoro
