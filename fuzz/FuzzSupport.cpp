#include "FuzzSupport.h"

#include "model/Conversions.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace plendoro::fuzz {

std::uint8_t Input::Byte()
{
    return pos_ < bytes_.size() ? bytes_[pos_++] : 0;
}

std::uint16_t Input::Le16()
{
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | Byte() << 8);
}

std::uint32_t Input::Le32()
{
    const std::uint32_t low = Le16();
    return low | static_cast<std::uint32_t>(Le16()) << 16;
}

std::span<const std::uint8_t> Input::Chunk()
{
    const std::size_t length = Le16();
    const std::size_t n = std::min(length, bytes_.size() - std::min(pos_, bytes_.size()));
    const auto chunk = bytes_.subspan(std::min(pos_, bytes_.size()), n);
    pos_ += n;
    return chunk;
}

std::span<const std::uint8_t> Input::Rest()
{
    const auto rest = bytes_.subspan(std::min(pos_, bytes_.size()));
    pos_ = bytes_.size();
    return rest;
}

std::size_t InputLink::Read(std::uint8_t* buffer, std::size_t count)
{
    if (pending_.empty()) {
        const auto chunk = input_.Chunk();
        pending_.assign(chunk.begin(), chunk.end());
    }
    const std::size_t n = std::min(count, pending_.size());
    std::copy_n(pending_.begin(), n, buffer);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

std::size_t InputLink::ReadTimed(std::uint8_t* buffer, std::size_t capacity, unsigned)
{
    std::memset(buffer, 0, capacity);
    return Read(buffer, capacity);
}

int FirmwareVersionOf(std::uint8_t choice)
{
    return kFirmwareVersions[choice % std::size(kFirmwareVersions)];
}

FirmwareGeneration GenerationOfChoice(std::uint8_t choice)
{
    return static_cast<FirmwareGeneration>(choice % 3);
}

namespace {

template <typename Bytes>
std::vector<std::uint8_t> AsVector(const Bytes& bytes)
{
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// One decode into fresh editor values and the encode of what it left.
std::vector<std::uint8_t> Round(BlockId block, std::span<const std::uint8_t> bytes, FirmwareGeneration layout,
                                int firmwareVersion, int localHourOffset, bool& decoded)
{
    switch (block) {
    case BlockId::Main: {
        MainConfValues v;
        decoded = DecodeMainConf(bytes, v);
        return AsVector(EncodeMainConf(v));
    }
    case BlockId::Net: {
        NetConfValues v;
        decoded = DecodeNetConf(layout, bytes, firmwareVersion, localHourOffset, v);
        return EncodeNetConf(layout, v, firmwareVersion, localHourOffset);
    }
    case BlockId::Inputs: {
        InputsConfValues v;
        decoded = DecodeInputsConf(bytes, firmwareVersion, v);
        return AsVector(EncodeInputsConf(v, firmwareVersion));
    }
    case BlockId::Rs485: {
        Rs485ConfValues v;
        decoded = DecodeRs485Conf(bytes, firmwareVersion, v);
        return AsVector(EncodeRs485Conf(v, firmwareVersion));
    }
    case BlockId::Can: {
        std::vector<TCANId_V3> found;
        CanConfValues v;
        decoded = DecodeCanConf(bytes, found, v);
        return AsVector(EncodeCanConf(found, v));
    }
    case BlockId::OneWire: {
        OneWireConfValues v;
        decoded = DecodeOneWireConf(bytes, v);
        return AsVector(EncodeOneWireConf(v));
    }
    }
    decoded = false;
    return {};
}

} // namespace

bool DecodeBlock(BlockId block, std::span<const std::uint8_t> bytes, FirmwareGeneration layout, int firmwareVersion,
                 int localHourOffset)
{
    bool decoded = false;
    const auto first = Round(block, bytes, layout, firmwareVersion, localHourOffset, decoded);
    if (!decoded)
        return false;
    const auto second = Round(block, first, layout, firmwareVersion, localHourOffset, decoded);
    if (!decoded || second != first)
        std::abort();
    return true;
}

} // namespace plendoro::fuzz
