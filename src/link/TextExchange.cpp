#include "link/TextExchange.h"

namespace plendoro {

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
    return got;
}

} // namespace plendoro
