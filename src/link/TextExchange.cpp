#include "link/TextExchange.h"

#include "common/Log.h"

#include <string>

namespace plendoro {

namespace {

void LogText(const char* what, const std::uint8_t* bytes, std::size_t count)
{
    if (!LogEnabled(LogChannel::Link))
        return;
    LogLine(LogChannel::Link,
            std::string(what) + " \"" + PrintableBytes(bytes, count) + "\" " + HexBytes(bytes, count));
}

void LogReply(const std::uint8_t* buffer, std::size_t got, unsigned timeoutMs)
{
    if (got > 0)
        LogText("text reply", buffer, got);
    else if (LogEnabled(LogChannel::Link))
        LogLine(LogChannel::Link, "text reply: none within " + std::to_string(timeoutMs) + " ms");
}

} // namespace

void SendText(ByteLink& link, const std::uint8_t* command, std::size_t count)
{
    LogText("text request", command, count);
    link.Write(command, count);
}

std::size_t ReadTimedReply(ByteLink& link, std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs)
{
    const std::size_t got = link.ReadTimed(buffer, capacity, timeoutMs);
    LogReply(buffer, got > capacity ? capacity : got, timeoutMs);
    return got;
}

std::size_t ReadTimedUntil(ByteLink& link, std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs,
                           std::uint8_t terminator)
{
    std::size_t got = link.ReadTimed(buffer, capacity, timeoutMs);
    if (got > capacity)
        got = capacity;
    while (got > 0 && got < capacity && buffer[got - 1] != terminator) {
        std::size_t more = link.ReadTimed(buffer + got, capacity - got, kReplyPauseMs);
        if (more == 0)
            break;
        if (more > capacity - got)
            more = capacity - got;
        got += more;
    }
    LogReply(buffer, got, timeoutMs);
    return got;
}

} // namespace plendoro
