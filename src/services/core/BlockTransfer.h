#pragma once
// Moving whole settings blocks over an open device, as the device worker
// does it: no editor here, only bytes. The window encodes before a write and
// decodes each block as it arrives from a read.
#include "common/Clock.h"
#include "link/ByteLink.h"
#include "link/Protocol.h"
#include "link/UsbLink.h"
#include "model/Blocks.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plendoro {

struct EncodedBlock {
    BlockId block = BlockId::Main;
    std::vector<std::uint8_t> bytes;
};

struct TransferHooks {
    // Before each block: its position counted from 1, and how many there are.
    std::function<void(int position, int count)> onBlock;
    RetryHook onRetry;
};

// Reads every block of the version; onRead gets each block's bytes in order.
// Stops at the first failing block, whose text is then in failure.
bool ReadBlocks(ByteLink& link, Clock& clock, int firmwareVersion,
                const std::function<void(BlockId block, std::vector<std::uint8_t> bytes)>& onRead,
                const TransferHooks& hooks, std::string& failure);

// Writes the blocks in their order. 0 when every block was written, else
// 1 + the position of the failing block in the full list (block 0 → 1,
// 1 → 2, 2 → 3, 3 → 4, 5 → 5, 6 → 6).
int WriteBlocks(ByteLink& link, Clock& clock, const std::vector<EncodedBlock>& blocks, const TransferHooks& hooks);

// The read and the write as every program runs them on the thread that
// talks to the tracker: the window's device worker and the command line.
enum class DeviceRead { OpenFailed, Failed, Read };
// Opens the device, reads every block of the version and closes it again.
DeviceRead ReadDeviceBlocks(UsbLink& link, Clock& clock, int firmwareVersion,
                            const std::function<void(BlockId block, std::vector<std::uint8_t> bytes)>& onRead,
                            const TransferHooks& hooks, std::string& failure);
// Over a device opened before the checks: writes every block (WriteBlocks'
// code) and closes the device again.
int WriteDeviceBlocks(UsbLink& link, Clock& clock, const std::vector<EncodedBlock>& blocks, const TransferHooks& hooks);

} // namespace plendoro
