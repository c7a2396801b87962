#include "model/Blocks.h"

#include "common/FirmwareTable.h"
#include "model/Structs.h"

namespace plendoro {

std::vector<BlockId> BlocksOf(int firmwareVersion)
{
    std::vector<BlockId> blocks = {BlockId::Main, BlockId::Net, BlockId::Inputs, BlockId::Rs485};
    if (HasCanBlock(firmwareVersion))
        blocks.push_back(BlockId::Can);
    if (HasOneWireBlock(firmwareVersion))
        blocks.push_back(BlockId::OneWire);
    return blocks;
}

std::size_t BlockSize(BlockId block, int firmwareVersion)
{
    switch (block) {
    case BlockId::Main: return kMainConfSize;
    case BlockId::Net: return NetConfSize(firmwareVersion);
    case BlockId::Inputs: return kInputsConfSize;
    case BlockId::Rs485: return kRs485ConfSize;
    case BlockId::Can: return kCanConfSize;
    case BlockId::OneWire: return kOneWireConfSize;
    }
    return 0;
}

} // namespace plendoro
