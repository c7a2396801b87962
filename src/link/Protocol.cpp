#include "link/Protocol.h"

#include "common/Log.h"

#include <algorithm>
#include <cstring>

namespace plendoro {

namespace {

// One line of the byte log about transaction `id`; the text is only built
// when the channel is wanted.
template <typename MakeText>
void LogTransact(std::uint16_t id, MakeText&& makeText)
{
    if (LogEnabled(LogChannel::Link))
        LogLine(LogChannel::Link, "transact id=" + std::to_string(id) + ": " + makeText());
}

} // namespace

std::uint16_t Sum16(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < count; i += 2) {
        sum += static_cast<std::uint32_t>(bytes[i]) | (static_cast<std::uint32_t>(bytes[i + 1]) << 8);
        sum = (sum & 0xFFFFu) + (sum >> 16);
    }
    if (i < count) {
        sum += bytes[i];
        sum = (sum & 0xFFFFu) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(sum);
}

PacketHeader PacketHeader::Parse(const std::uint8_t* b)
{
    PacketHeader h{};
    std::memcpy(h.magic, b, 7);
    h.zero = b[7];
    h.totalLength = ReadLe16(b + 8);
    h.headerLength = ReadLe16(b + 10);
    h.id = ReadLe16(b + 12);
    h.check = ReadLe16(b + 14);
    return h;
}

void PacketHeader::BuildRequest(std::uint8_t* packet, std::uint16_t id, std::size_t payloadLength)
{
    std::memcpy(packet, "HDRV1.0", 7);
    packet[7] = 0;
    const auto total = static_cast<std::uint16_t>(kHeaderSize + payloadLength);
    WriteLe16(packet + 8, total);
    WriteLe16(packet + 10, static_cast<std::uint16_t>(kHeaderSize));
    WriteLe16(packet + 12, id);
    WriteLe16(packet + 14, 0);
    WriteLe16(packet + 14, static_cast<std::uint16_t>(~Sum16(packet, total)));
}

std::string DeviceErrorText(std::uint32_t code)
{
    switch (code) {
    case 1: return "Ошибка длинны";
    case 2: return "Ошибка в заголовке";
    case 3: return "Внутренняя ошибка";
    case 4: return "Ошибка CRC";
    case 5: return "Ошибка при сохранении параметров";
    default: return {};
    }
}

bool Transact(ByteLink& link, Clock& clock, std::uint8_t* buffer, std::uint16_t id, std::size_t replyLength,
              std::size_t requestLength, std::string& failure, const RetryHook& onRetry)
{
    failure.clear();
    const std::size_t requestTotal = kHeaderSize + requestLength;
    const std::size_t expected = kHeaderSize + replyLength;
    if (requestTotal > kPacketBufferSize || expected > kPacketBufferSize) {
        LogTransact(id, [] { return std::string("request or reply larger than the packet buffer"); });
        failure = kTextBadReply;
        return false;
    }

    for (int attempt = 1; attempt <= kTransactAttempts; ++attempt) {
        if (attempt > 1 && onRetry)
            onRetry(attempt);
        clock.SleepMs(5);
        PacketHeader::BuildRequest(buffer, id, requestLength);
        LogTransact(
            id, [&] { return "attempt " + std::to_string(attempt) + " request " + HexBytes(buffer, requestTotal); });
        for (std::size_t sent = 0; sent < requestTotal;) {
            const std::size_t piece = std::min(kSendPiece, requestTotal - sent);
            link.Write(buffer + sent, piece);
            sent += piece;
            if (sent < requestTotal)
                clock.SleepMs(2);
        }

        // Only the reply's own bytes are cleared: a retried write sends the
        // payload that still lies behind the header.
        std::memset(buffer, 0, expected);
        const std::size_t got = link.Read(buffer, expected);
        LogTransact(id, [&] {
            return "reply " + std::to_string(got) + " of " + std::to_string(expected) + " bytes " +
                   HexBytes(buffer, got);
        });
        const bool errorSized = got == 20 && ReadLe16(buffer + 12) == kErrorReplyId;
        if (got == expected || errorSized) {
            PacketHeader reply = PacketHeader::Parse(buffer);
            if (reply.totalLength > got) {
                // The rest of a longer reply, as far as the buffer reaches:
                // for a write, the error code behind an error header.
                const std::size_t offset = kHeaderSize + replyLength;
                std::size_t rest = reply.totalLength - got;
                rest = std::min(rest, kPacketBufferSize - offset);
                if (rest > 0) {
                    const std::size_t more = link.Read(buffer + offset, rest);
                    LogTransact(id,
                                [&] { return "reply continues " + HexBytes(buffer + offset, std::min(more, rest)); });
                }
            }
            const bool good = reply.totalLength == expected && reply.headerLength == kHeaderSize && reply.id == id &&
                              Sum16(buffer, expected) == 0xFFFF;
            if (good)
                return true;
            if (reply.id == kErrorReplyId) {
                LogTransact(id, [&] { return "device error " + std::to_string(ReadLe32(buffer + kHeaderSize)); });
                failure =
                    "Запрос Id=" + std::to_string(id) + " ошибка: " + DeviceErrorText(ReadLe32(buffer + kHeaderSize));
            } else {
                LogTransact(id, [&] {
                    return "bad reply: length " + std::to_string(reply.totalLength) + ", header " +
                           std::to_string(reply.headerLength) + ", id " + std::to_string(reply.id) + ", sum " +
                           std::to_string(Sum16(buffer, expected));
                });
                failure = kTextBadReply;
            }
            return false;
        }
        if (attempt < kTransactAttempts)
            LogTransact(id, [&] { return "no reply on attempt " + std::to_string(attempt) + ", retrying"; });
        clock.SleepMs(100);
    }
    LogTransact(id, [] { return "no reply after " + std::to_string(kTransactAttempts) + " attempts"; });
    failure = kTextNoReply;
    return false;
}

} // namespace plendoro
