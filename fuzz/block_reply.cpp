// Block transactions against whatever the device answers: replies cut
// short, split, glued together, too long, with a wrong id, length, header
// length or check, device error replies; and what a read hands on to the
// block decoders.
//
// Input: one byte choosing read or write and the firmware version, one byte
// for the local hour offset, then the device's side of the wire as chunks
// (FuzzSupport.h).
#include "FuzzSupport.h"
#include "services/core/BlockTransfer.h"

#include <cstdlib>

using namespace plendoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const std::uint8_t choice = input.Byte();
    const int firmwareVersion = fuzz::FirmwareVersionOf(choice >> 1);
    const int localHourOffset = static_cast<std::int8_t>(input.Byte());
    fuzz::InputLink link(input);
    fuzz::NoWaitClock clock;

    if (choice & 1) {
        std::vector<EncodedBlock> blocks;
        for (BlockId block : BlocksOf(firmwareVersion))
            blocks.push_back({block, std::vector<std::uint8_t>(BlockSize(block, firmwareVersion), 0x5A)});
        const int failed = WriteBlocks(link, clock, blocks, {});
        if (failed < 0 || failed > 6)
            std::abort();
        return 0;
    }

    std::string failure;
    const bool read = ReadBlocks(
        link, clock, firmwareVersion,
        [&](BlockId block, std::vector<std::uint8_t> bytes) {
            if (bytes.size() != BlockSize(block, firmwareVersion) ||
                !fuzz::DecodeBlock(block, bytes, GenerationOf(firmwareVersion), firmwareVersion, localHourOffset))
                std::abort();
        },
        {}, failure);
    // A failed read always says why; a good one says nothing.
    if (read == !failure.empty())
        std::abort();
    return 0;
}
