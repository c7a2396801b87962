#pragma once
// The six settings blocks as the tracker stores them: plain little-endian
// records. Packing starts from an all-zero block, so reserved bytes and bits
// always leave as zero; unpacking never looks at them. Every field is masked
// to its width when packed, so a value too wide for its bits cannot spill
// into a neighbour.
#include "common/FirmwareTable.h"
#include "model/OneWireAddress.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plendoro {

constexpr std::size_t kMainConfSize = 9;
constexpr std::size_t kNetConfSize1 = 108;
constexpr std::size_t kNetConfSize2 = 111;
constexpr std::size_t kNetConfSize3 = 117;
constexpr std::size_t kInputsConfSize = 72;
constexpr std::size_t kRs485ConfSize = 20;
constexpr std::size_t kCanConfSize = 214;
constexpr std::size_t kOneWireConfSize = 476;

constexpr std::size_t kCanSlotCount = 30;
constexpr std::size_t kCanSlotSize = 7;
constexpr std::size_t kOneWireSensorCount = 8;
constexpr std::size_t kOneWireKeyCount = 50;
constexpr std::size_t kFuelSensorCount = 8;
constexpr std::size_t kDigitalInputCount = 8;
constexpr std::size_t kAnalogInputCount = 2;
constexpr std::size_t kTransferTimeCount = 3;

// Block 0.
struct MainConf {
    bool WideRecord = false;
    std::uint8_t WriteMethod = 0; // 2 bits
    bool StaticNavigation = false;
    std::uint8_t ReceiverMode = 0; // 2 bits
    std::uint16_t WritePeriod = 0;
    std::int8_t dX = 0;
    std::int8_t dY = 0;
    std::int8_t dZ = 0;
};

// Block 1. IPv4 addresses are kept as the little-endian value of their four
// stored bytes, so the first number of the dotted text is the low byte.
struct NetConf {
    bool Dhcp = false;
    std::uint8_t AuthMode = 0;    // 1 bit
    std::uint8_t NetworkType = 0; // 1 bit
    std::uint8_t SendMethod = 0;  // 2 bits
    std::uint8_t Encryption = 0;  // 3 bits
    std::uint8_t Channel = 0;     // 4 bits; not stored by the first generation
    bool NmeaUdp = false;         // third generation only
    std::array<std::uint8_t, 9> Password{};
    std::uint32_t IpAddress = 0;
    std::uint32_t IpMask = 0;
    std::uint32_t Gateway = 0;
    std::uint32_t ServerIp = 0;
    std::uint16_t ServerPort = 0;
    // 13 bytes in the first generation's layout, 16 in the later ones; the
    // bytes beyond 13 are neither packed nor unpacked there.
    std::array<std::uint8_t, 16> NetworkKey{};
    std::array<std::uint8_t, 36> Ssid{};
    std::uint32_t SendPeriod = 0;
    std::array<std::uint16_t, kTransferTimeCount> SendTime{}; // minute | hour << 8, UTC
    std::array<std::uint32_t, kTransferTimeCount> OnTime{};   // minutes
    std::uint32_t UdpServerIp = 0;                            // third generation only
    std::uint16_t UdpServerPort = 0;                          // third generation only
};

std::size_t NetConfSizeOf(FirmwareGeneration layout);
std::size_t NetKeyAreaSize(FirmwareGeneration layout);

// Block 2.
struct AnalogInputConf {
    bool AsDigital = false;
    bool Adaptive = false;
    std::uint8_t AdaptiveMethod = 0; // 2 bits
    std::uint16_t SwitchLevel = 0;
    std::uint16_t AdaptiveLevel = 0;
    std::uint16_t AveragePeriod = 0;
};

struct DigitalInputConf {
    std::uint8_t InputMode = 0; // 3 bits
    bool SendData = false;
    std::uint8_t EventLevel = 0; // 1 bit
    bool SendContinuous = false;
    std::uint8_t SendDuration = 0; // 6 bits, minutes
};

struct InputsConf {
    std::array<AnalogInputConf, kAnalogInputCount> Analog{};
    std::array<DigitalInputConf, kDigitalInputCount> Input{};
    std::uint32_t AnalogWritePeriod = 0;
    std::uint32_t CounterPeriod12 = 0;
    std::uint32_t CounterPeriod34 = 0;
    std::uint32_t CounterPeriod56 = 0;
    std::uint32_t CounterPeriod78 = 0;
};

// Block 3.
struct Rs485Conf {
    std::uint8_t ExternalReceiver = 0; // 3 bits
    // Bit 3 of the receiver byte: set by writes made for firmware 307 and
    // above. Unpacked for completeness; nothing acts on it when read.
    bool ReceiverMarker = false;
    std::uint32_t Rs485Baud = 0;
    std::uint16_t FuelWritePeriod14 = 0;
    std::uint16_t FuelWritePeriod58 = 0;
    std::array<std::uint8_t, kFuelSensorCount> FuelSensorAddress{};
};

// One found CAN identifier with its recording choice. The first seven bytes
// (Id, Used, Order, Window) are what a CAN slot stores; the data words live
// in memory only.
struct TCANId_V3 {
    std::uint32_t Id = 0;
    std::uint8_t Used = 0;
    std::uint8_t Order = 0;
    std::uint8_t Window = 0;
    std::uint32_t dA = 0;
    std::uint32_t dB = 0;
};

struct CanSlot {
    std::uint32_t Id = 0; // 0 marks an empty slot
    std::uint8_t Used = 0;
    std::uint8_t Order = 0;
    std::uint8_t Window = 0;
};

// Block 5.
struct CanConf {
    std::uint32_t CanWritePeriod = 0;
    std::array<CanSlot, kCanSlotCount> Slots{};
};

// Block 6.
struct OneWireConf {
    bool ReadAnyKey = false;
    bool SingleSensor = false;
    std::array<bool, kOneWireSensorCount> SensorUsed{};
    bool NoKeys = false;
    bool PulseOut1 = false;
    bool PulseOut2 = false;
    std::uint32_t SensorWritePeriod14 = 0;
    std::uint32_t SensorWritePeriod58 = 0;
    std::array<OneWireAddress, kOneWireSensorCount> SensorAddress{};
    std::array<OneWireAddress, kOneWireKeyCount> KeyAddress{};
};

// A key slot holds a key when any of its first six bytes is not zero.
bool IsKeySlotFilled(const OneWireAddress& slot);

// Packing. NetConf's size follows the layout (108, 111 or 117 bytes).
std::array<std::uint8_t, kMainConfSize> PackMainConf(const MainConf& conf);
std::vector<std::uint8_t> PackNetConf(const NetConf& conf, FirmwareGeneration layout);
std::array<std::uint8_t, kInputsConfSize> PackInputsConf(const InputsConf& conf);
std::array<std::uint8_t, kRs485ConfSize> PackRs485Conf(const Rs485Conf& conf);
std::array<std::uint8_t, kCanConfSize> PackCanConf(const CanConf& conf);
std::array<std::uint8_t, kOneWireConfSize> PackOneWireConf(const OneWireConf& conf);

// Unpacking reads the first bytes of the span. False, with the record left
// as it was, when the span is shorter than the block; bytes beyond the block
// are not looked at.
bool UnpackMainConf(std::span<const std::uint8_t> block, MainConf& conf);
bool UnpackNetConf(std::span<const std::uint8_t> block, FirmwareGeneration layout, NetConf& conf);
bool UnpackInputsConf(std::span<const std::uint8_t> block, InputsConf& conf);
bool UnpackRs485Conf(std::span<const std::uint8_t> block, Rs485Conf& conf);
bool UnpackCanConf(std::span<const std::uint8_t> block, CanConf& conf);
bool UnpackOneWireConf(std::span<const std::uint8_t> block, OneWireConf& conf);

} // namespace plendoro
