#include "services/core/BlockTransfer.h"

#include "common/FirmwareTable.h"
#include "model/Structs.h"

#include <array>
#include <cstring>

namespace plendoro {

std::vector<int> TransferBlocksOf(int firmwareVersion)
{
    std::vector<int> blocks = {0, 1, 2, 3};
    if (GenerationOf(firmwareVersion) != FirmwareGeneration::First)
        blocks.push_back(5);
    if (HasOneWireBlock(firmwareVersion))
        blocks.push_back(6);
    return blocks;
}

std::size_t TransferBlockSize(int block, int firmwareVersion)
{
    switch (block) {
    case 0: return kMainConfSize;
    case 1: return NetConfSize(firmwareVersion);
    case 2: return kInputsConfSize;
    case 3: return kRs485ConfSize;
    case 5: return kCanConfSize;
    case 6: return kOneWireConfSize;
    default: return 0;
    }
}

bool ReadBlocks(ByteLink& link, Clock& clock, int firmwareVersion,
                const std::function<void(int block, std::vector<std::uint8_t> bytes)>& onRead,
                const TransferHooks& hooks, std::string& failure)
{
    std::array<std::uint8_t, kPacketBufferSize> buffer{};
    const std::vector<int> blocks = TransferBlocksOf(firmwareVersion);
    int position = 0;
    for (int block : blocks) {
        if (hooks.onBlock)
            hooks.onBlock(++position, static_cast<int>(blocks.size()));
        const std::size_t size = TransferBlockSize(block, firmwareVersion);
        if (!Transact(link, clock, buffer.data(), static_cast<std::uint16_t>(block), size, 0, failure,
                      hooks.onRetry))
            return false;
        onRead(block, std::vector<std::uint8_t>(buffer.begin() + kHeaderSize, buffer.begin() + kHeaderSize + size));
    }
    return true;
}

int WriteBlocks(ByteLink& link, Clock& clock, const std::vector<EncodedBlock>& blocks, const TransferHooks& hooks)
{
    std::array<std::uint8_t, kPacketBufferSize> buffer{};
    std::string failure;
    int position = 0;
    for (const EncodedBlock& b : blocks) {
        if (hooks.onBlock)
            hooks.onBlock(++position, static_cast<int>(blocks.size()));
        if (kHeaderSize + b.bytes.size() > buffer.size())
            return b.block < 4 ? b.block + 1 : b.block;
        std::memcpy(buffer.data() + kHeaderSize, b.bytes.data(), b.bytes.size());
        if (!Transact(link, clock, buffer.data(), static_cast<std::uint16_t>(kWriteIdBase + b.block), 0,
                      b.bytes.size(), failure, hooks.onRetry))
            return b.block < 4 ? b.block + 1 : b.block;
    }
    return 0;
}

} // namespace plendoro
