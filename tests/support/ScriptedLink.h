#pragma once
// An in-memory device for protocol tests: records what was written and
// answers reads from a script of byte chunks.
#include "link/ByteLink.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

class ScriptedLink final : public plendoro::ByteLink {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Each Read takes from the front chunk; a chunk's leftover stays for the
    // next Read, as bytes stay queued in a real bridge.
    void Queue(Bytes chunk) { chunks.push_back(std::move(chunk)); }
    // A Read that returns nothing (the device stayed silent).
    void QueueSilence() { chunks.push_back({}); }

    void Write(const std::uint8_t* bytes, std::size_t count) override { writes.emplace_back(bytes, bytes + count); }
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override
    {
        ++reads;
        readSizes.push_back(count);
        if (chunks.empty())
            return 0;
        Bytes& front = chunks.front();
        std::size_t n = std::min(count, front.size());
        if (n > 0)
            std::memcpy(buffer, front.data(), n);
        front.erase(front.begin(), front.begin() + static_cast<long>(n));
        if (front.empty())
            chunks.pop_front();
        return n;
    }
    std::size_t ReadTimed(std::uint8_t* buffer, std::size_t capacity, unsigned) override
    {
        std::memset(buffer, 0, capacity);
        ++reads;
        if (chunks.empty())
            return 0;
        Bytes front = chunks.front();
        chunks.pop_front();
        if (front.size() > capacity)
            return 0;
        if (!front.empty())
            std::memcpy(buffer, front.data(), front.size());
        return front.size();
    }

    Bytes AllWritten() const
    {
        Bytes all;
        for (const auto& w : writes)
            all.insert(all.end(), w.begin(), w.end());
        return all;
    }

    std::deque<Bytes> chunks;
    std::vector<Bytes> writes;
    std::vector<std::size_t> readSizes;
    int reads = 0;
};
