#pragma once
// The settings blocks the tracker stores, by the id they are read under
// (written under kWriteIdBase + id), and which of them a firmware version
// has, at what size.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plendoro {

// There is no block 4: the tracker never had one.
enum class BlockId : std::uint16_t { Main = 0, Net = 1, Inputs = 2, Rs485 = 3, Can = 5, OneWire = 6 };

// The blocks of a firmware version, in transfer order.
std::vector<BlockId> BlocksOf(int firmwareVersion);
std::size_t BlockSize(BlockId block, int firmwareVersion);

} // namespace plendoro
