// Every block decoder of every generation on any bytes, and the unpackers
// under them. Input: one byte choosing the block and the firmware version,
// one for the block 1 layout, one for the local hour offset, then the block.
// Each decode is followed by an encode and a second round that must give
// the same bytes (FuzzSupport.h); each unpack by a pack and a second
// unpack and pack that must too.
#include "FuzzSupport.h"
#include "model/Structs.h"

#include <cstdlib>

using namespace plendoro;

namespace {

constexpr BlockId kBlocks[] = {BlockId::Main,  BlockId::Net, BlockId::Inputs,
                               BlockId::Rs485, BlockId::Can, BlockId::OneWire};

template <typename Conf, typename Unpack, typename Pack>
void PackRoundTrip(std::span<const std::uint8_t> bytes, Unpack unpack, Pack pack)
{
    Conf first;
    if (!unpack(bytes, first))
        return;
    const auto packed = pack(first);
    Conf second;
    if (!unpack(std::span<const std::uint8_t>(packed.data(), packed.size()), second) || pack(second) != packed)
        std::abort();
}

void Unpackers(BlockId block, std::span<const std::uint8_t> bytes, FirmwareGeneration layout)
{
    switch (block) {
    case BlockId::Main: PackRoundTrip<MainConf>(bytes, UnpackMainConf, PackMainConf); break;
    case BlockId::Net:
        PackRoundTrip<NetConf>(
            bytes, [&](auto b, NetConf& c) { return UnpackNetConf(b, layout, c); },
            [&](const NetConf& c) { return PackNetConf(c, layout); });
        break;
    case BlockId::Inputs: PackRoundTrip<InputsConf>(bytes, UnpackInputsConf, PackInputsConf); break;
    case BlockId::Rs485: PackRoundTrip<Rs485Conf>(bytes, UnpackRs485Conf, PackRs485Conf); break;
    case BlockId::Can: PackRoundTrip<CanConf>(bytes, UnpackCanConf, PackCanConf); break;
    case BlockId::OneWire: PackRoundTrip<OneWireConf>(bytes, UnpackOneWireConf, PackOneWireConf); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const std::uint8_t choice = input.Byte();
    const BlockId block = kBlocks[choice % std::size(kBlocks)];
    const int firmwareVersion = fuzz::FirmwareVersionOf(static_cast<std::uint8_t>(choice / std::size(kBlocks)));
    const FirmwareGeneration layout = fuzz::GenerationOfChoice(input.Byte());
    const int localHourOffset = static_cast<std::int8_t>(input.Byte());
    const auto bytes = input.Rest();
    Unpackers(block, bytes, layout);
    fuzz::DecodeBlock(block, bytes, layout, firmwareVersion, localHourOffset);
    return 0;
}
