#pragma once
// The settings blocks the firmware keeps, by firmware version
// (major * 100 + minor), and what a factory-fresh tracker holds in them.
#include <array>
#include <cstdint>
#include <vector>

namespace plsim {

constexpr int kHeaderSize = 16;
constexpr int kLargestPacket = 492; // block 6 and its header
constexpr std::uint16_t kErrorId = 192;

// 0 when the firmware has no such block.
int BlockSize(int block, int firmware);
std::vector<int> BlocksOf(int firmware);
std::vector<std::uint8_t> DefaultBlock(int block, int firmware);

// The two temperature sensors of the default 1-Wire line; the default
// 1-Wire block points its first two slots at them.
extern const std::array<std::uint8_t, 8> kDefaultSensors[2];

} // namespace plsim
