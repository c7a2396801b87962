#pragma once
// What the fuzz targets share: reading an input from its front, a link and
// a clock that play the device from the input, and decoding a block the way
// the editor does after a read or a profile load.
#include "common/Clock.h"
#include "common/FirmwareTable.h"
#include "link/ByteLink.h"
#include "model/Blocks.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plendoro::fuzz {

// Takes an input apart from its front. Past the end every byte reads 0 and
// every chunk is empty, so a target never has to check the length itself.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::uint8_t Byte();
    std::uint16_t Le16();
    std::uint32_t Le32();
    // A two-byte little-endian length, then up to that many bytes.
    std::span<const std::uint8_t> Chunk();
    std::span<const std::uint8_t> Rest();
    bool Empty() const { return pos_ >= bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// The device side of the wire: every read that finds nothing left over
// takes the next chunk of the input (an empty chunk is a silent device);
// what a read did not ask for stays for the next one, as bytes stay queued
// in the bridge. Writes are dropped.
class InputLink final : public ByteLink {
public:
    explicit InputLink(Input& input) : input_(input) {}

    void Write(const std::uint8_t*, std::size_t) override { ++writes; }
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override;
    std::size_t ReadTimed(std::uint8_t* buffer, std::size_t capacity, unsigned timeoutMs) override;

    int writes = 0;

private:
    Input& input_;
    std::vector<std::uint8_t> pending_;
};

class NoWaitClock final : public Clock {
public:
    std::uint64_t TickMs() override { return now_; }
    void SleepMs(unsigned ms) override { now_ += ms; }

private:
    std::uint64_t now_ = 0;
};

// Firmware versions from each side of every boundary FirmwareTable knows.
inline constexpr int kFirmwareVersions[] = {100, 250, 299, 300, 304, 305, 306, 307, 308, 309, 402, 403, 404};
int FirmwareVersionOf(std::uint8_t choice);
FirmwareGeneration GenerationOfChoice(std::uint8_t choice);

// Decodes the block into the values the editor starts with, as the editor
// does after a device read or a profile load, then encodes the result and
// decodes that again: a second round must give the same bytes as the first,
// or the editor would change a setting nobody touched. Aborts when it does
// not. False when the bytes are too few for the block.
bool DecodeBlock(BlockId block, std::span<const std::uint8_t> bytes, FirmwareGeneration layout, int firmwareVersion,
                 int localHourOffset);

} // namespace plendoro::fuzz
