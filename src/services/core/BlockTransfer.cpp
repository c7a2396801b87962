#include "services/core/BlockTransfer.h"

#include <array>
#include <cstring>

namespace plendoro {

bool ReadBlocks(ByteLink& link, Clock& clock, int firmwareVersion,
                const std::function<void(BlockId block, std::vector<std::uint8_t> bytes)>& onRead,
                const TransferHooks& hooks, std::string& failure)
{
    std::array<std::uint8_t, kPacketBufferSize> buffer{};
    const std::vector<BlockId> blocks = BlocksOf(firmwareVersion);
    int position = 0;
    for (BlockId block : blocks) {
        if (hooks.onBlock)
            hooks.onBlock(++position, static_cast<int>(blocks.size()));
        const std::size_t size = BlockSize(block, firmwareVersion);
        if (!Transact(link, clock, buffer.data(), static_cast<std::uint16_t>(block), size, 0, failure, hooks.onRetry))
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
        const int id = static_cast<int>(b.block);
        const int failed = b.block < BlockId::Can ? id + 1 : id;
        if (kHeaderSize + b.bytes.size() > buffer.size())
            return failed;
        std::memcpy(buffer.data() + kHeaderSize, b.bytes.data(), b.bytes.size());
        if (!Transact(link, clock, buffer.data(), static_cast<std::uint16_t>(kWriteIdBase + id), 0, b.bytes.size(),
                      failure, hooks.onRetry))
            return failed;
    }
    return 0;
}

DeviceRead ReadDeviceBlocks(UsbLink& link, Clock& clock, int firmwareVersion,
                            const std::function<void(BlockId block, std::vector<std::uint8_t> bytes)>& onRead,
                            const TransferHooks& hooks, std::string& failure)
{
    if (!link.Open())
        return DeviceRead::OpenFailed;
    const bool ok = ReadBlocks(link, clock, firmwareVersion, onRead, hooks, failure);
    link.Close();
    return ok ? DeviceRead::Read : DeviceRead::Failed;
}

int WriteDeviceBlocks(UsbLink& link, Clock& clock, const std::vector<EncodedBlock>& blocks, const TransferHooks& hooks)
{
    const int code = WriteBlocks(link, clock, blocks, hooks);
    link.Close();
    return code;
}

} // namespace plendoro
