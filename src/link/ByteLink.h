#pragma once
#include <cstddef>
#include <cstdint>

namespace plendoro {

// What the packet protocol and the text commands need of the transport.
class ByteLink {
public:
    virtual ~ByteLink() = default;
    // Sends the bytes; failures surface later as a missing reply.
    virtual void Write(const std::uint8_t* bytes, std::size_t count) = 0;
    // Blocks until count bytes arrived or the device read timeout ran out.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t count) = 0;
    // Waits up to timeoutMs for a reply to begin, then takes what has arrived
    // shortly after. Clears the first capacity bytes of the buffer first.
    virtual std::size_t ReadTimed(std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs) = 0;
    // A short answer of unknown length: waits up to the device read timeout
    // for it to begin and returns soon after its first byte, with what has
    // arrived by then. A link that cannot tell when bytes begin to arrive
    // reads as Read does.
    virtual std::size_t ReadAnswer(std::uint8_t* buffer, std::size_t capacity) { return Read(buffer, capacity); }
};

} // namespace plendoro
