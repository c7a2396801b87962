#include "model/Structs.h"

#include "common/Bytes.h"

#include <algorithm>

namespace plendoro {
namespace {

// Byte offsets that move with the NetConf layout: the key area grows by
// three bytes after the first generation and pushes everything behind it.
struct NetOffsets {
    std::size_t size;
    std::size_t keySize;
    std::size_t ssid;
    std::size_t sendPeriod;
    std::size_t sendTime;
    std::size_t onTime;
};

NetOffsets NetOffsetsOf(FirmwareGeneration layout)
{
    if (layout == FirmwareGeneration::First)
        return {kNetConfSize1, 13, 50, 86, 90, 96};
    return {layout == FirmwareGeneration::Second ? kNetConfSize2 : kNetConfSize3, 16, 53, 89, 93, 99};
}

constexpr std::size_t kNetPassword = 4;
constexpr std::size_t kNetIpAddress = 19;
constexpr std::size_t kNetIpMask = 23;
constexpr std::size_t kNetGateway = 27;
constexpr std::size_t kNetServerIp = 31;
constexpr std::size_t kNetServerPort = 35;
constexpr std::size_t kNetKey = 37;
constexpr std::size_t kNetUdpServerIp = 111;
constexpr std::size_t kNetUdpServerPort = 115;

constexpr std::size_t kInputWords = 20;
constexpr std::size_t kAnalogWritePeriod = 52;
constexpr std::size_t kCounterPeriods = 56;

constexpr std::size_t kOneWireSensors = 12;
constexpr std::size_t kOneWireKeys = 76;

std::uint8_t Bit(bool on, int bit)
{
    return static_cast<std::uint8_t>(on ? 1u << bit : 0u);
}

std::uint8_t Bits(unsigned value, unsigned mask, int shift)
{
    return static_cast<std::uint8_t>((value & mask) << shift);
}

std::size_t AnalogBase(std::size_t k)
{
    return k * 10;
}

} // namespace

std::size_t NetConfSizeOf(FirmwareGeneration layout)
{
    return NetOffsetsOf(layout).size;
}
std::size_t NetKeyAreaSize(FirmwareGeneration layout)
{
    return NetOffsetsOf(layout).keySize;
}

bool IsKeySlotFilled(const OneWireAddress& slot)
{
    return std::any_of(slot.begin(), slot.begin() + 6, [](std::uint8_t b) { return b != 0; });
}

std::array<std::uint8_t, kMainConfSize> PackMainConf(const MainConf& c)
{
    std::array<std::uint8_t, kMainConfSize> b{};
    b[0] = Bit(c.WideRecord, 0) | Bits(c.WriteMethod, 3, 1) | Bit(c.StaticNavigation, 3) | Bits(c.ReceiverMode, 3, 4);
    WriteLe16(&b[4], c.WritePeriod);
    b[6] = static_cast<std::uint8_t>(c.dX);
    b[7] = static_cast<std::uint8_t>(c.dY);
    b[8] = static_cast<std::uint8_t>(c.dZ);
    return b;
}

bool UnpackMainConf(std::span<const std::uint8_t> b, MainConf& c)
{
    if (b.size() < kMainConfSize)
        return false;
    c.WideRecord = b[0] & 1;
    c.WriteMethod = (b[0] >> 1) & 3;
    c.StaticNavigation = (b[0] >> 3) & 1;
    c.ReceiverMode = (b[0] >> 4) & 3;
    c.WritePeriod = ReadLe16(&b[4]);
    c.dX = static_cast<std::int8_t>(b[6]);
    c.dY = static_cast<std::int8_t>(b[7]);
    c.dZ = static_cast<std::int8_t>(b[8]);
    return true;
}

std::vector<std::uint8_t> PackNetConf(const NetConf& c, FirmwareGeneration layout)
{
    const NetOffsets o = NetOffsetsOf(layout);
    std::vector<std::uint8_t> b(o.size, 0);
    b[0] = Bit(c.Dhcp, 0) | Bits(c.AuthMode, 1, 1) | Bits(c.NetworkType, 1, 2) | Bits(c.SendMethod, 3, 3) |
           Bits(c.Encryption, 7, 5);
    if (layout != FirmwareGeneration::First)
        b[1] = Bits(c.Channel, 15, 0);
    if (layout == FirmwareGeneration::Third)
        b[1] |= Bit(c.NmeaUdp, 4);
    std::copy(c.Password.begin(), c.Password.end(), b.begin() + kNetPassword);
    WriteLe32(&b[kNetIpAddress], c.IpAddress);
    WriteLe32(&b[kNetIpMask], c.IpMask);
    WriteLe32(&b[kNetGateway], c.Gateway);
    WriteLe32(&b[kNetServerIp], c.ServerIp);
    WriteLe16(&b[kNetServerPort], c.ServerPort);
    std::copy_n(c.NetworkKey.begin(), o.keySize, b.begin() + kNetKey);
    std::copy(c.Ssid.begin(), c.Ssid.end(), b.begin() + static_cast<std::ptrdiff_t>(o.ssid));
    WriteLe32(&b[o.sendPeriod], c.SendPeriod);
    for (std::size_t i = 0; i < kTransferTimeCount; ++i) {
        WriteLe16(&b[o.sendTime + 2 * i], c.SendTime[i]);
        WriteLe32(&b[o.onTime + 4 * i], c.OnTime[i]);
    }
    if (layout == FirmwareGeneration::Third) {
        WriteLe32(&b[kNetUdpServerIp], c.UdpServerIp);
        WriteLe16(&b[kNetUdpServerPort], c.UdpServerPort);
    }
    return b;
}

bool UnpackNetConf(std::span<const std::uint8_t> b, FirmwareGeneration layout, NetConf& c)
{
    const NetOffsets o = NetOffsetsOf(layout);
    if (b.size() < o.size)
        return false;
    NetConf r;
    r.Dhcp = b[0] & 1;
    r.AuthMode = (b[0] >> 1) & 1;
    r.NetworkType = (b[0] >> 2) & 1;
    r.SendMethod = (b[0] >> 3) & 3;
    r.Encryption = (b[0] >> 5) & 7;
    if (layout != FirmwareGeneration::First)
        r.Channel = b[1] & 15;
    if (layout == FirmwareGeneration::Third)
        r.NmeaUdp = (b[1] >> 4) & 1;
    std::copy_n(b.begin() + kNetPassword, r.Password.size(), r.Password.begin());
    r.IpAddress = ReadLe32(&b[kNetIpAddress]);
    r.IpMask = ReadLe32(&b[kNetIpMask]);
    r.Gateway = ReadLe32(&b[kNetGateway]);
    r.ServerIp = ReadLe32(&b[kNetServerIp]);
    r.ServerPort = ReadLe16(&b[kNetServerPort]);
    std::copy_n(b.begin() + kNetKey, o.keySize, r.NetworkKey.begin());
    std::copy_n(b.begin() + static_cast<std::ptrdiff_t>(o.ssid), r.Ssid.size(), r.Ssid.begin());
    r.SendPeriod = ReadLe32(&b[o.sendPeriod]);
    for (std::size_t i = 0; i < kTransferTimeCount; ++i) {
        r.SendTime[i] = ReadLe16(&b[o.sendTime + 2 * i]);
        r.OnTime[i] = ReadLe32(&b[o.onTime + 4 * i]);
    }
    if (layout == FirmwareGeneration::Third) {
        r.UdpServerIp = ReadLe32(&b[kNetUdpServerIp]);
        r.UdpServerPort = ReadLe16(&b[kNetUdpServerPort]);
    }
    c = r;
    return true;
}

std::array<std::uint8_t, kInputsConfSize> PackInputsConf(const InputsConf& c)
{
    std::array<std::uint8_t, kInputsConfSize> b{};
    for (std::size_t k = 0; k < kAnalogInputCount; ++k) {
        const AnalogInputConf& a = c.Analog[k];
        const std::size_t at = AnalogBase(k);
        b[at] = Bit(a.AsDigital, 0) | Bit(a.Adaptive, 1) | Bits(a.AdaptiveMethod, 3, 2);
        WriteLe16(&b[at + 4], a.SwitchLevel);
        WriteLe16(&b[at + 6], a.AdaptiveLevel);
        WriteLe16(&b[at + 8], a.AveragePeriod);
    }
    for (std::size_t k = 0; k < kDigitalInputCount; ++k) {
        const DigitalInputConf& d = c.Input[k];
        const unsigned word = (d.InputMode & 7u) | (d.SendData ? 1u << 3 : 0u) | ((d.EventLevel & 1u) << 4) |
                              (d.SendContinuous ? 1u << 5 : 0u) | ((d.SendDuration & 63u) << 6);
        WriteLe16(&b[kInputWords + 4 * k], static_cast<std::uint16_t>(word));
    }
    WriteLe32(&b[kAnalogWritePeriod], c.AnalogWritePeriod);
    WriteLe32(&b[kCounterPeriods], c.CounterPeriod12);
    WriteLe32(&b[kCounterPeriods + 4], c.CounterPeriod34);
    WriteLe32(&b[kCounterPeriods + 8], c.CounterPeriod56);
    WriteLe32(&b[kCounterPeriods + 12], c.CounterPeriod78);
    return b;
}

bool UnpackInputsConf(std::span<const std::uint8_t> b, InputsConf& c)
{
    if (b.size() < kInputsConfSize)
        return false;
    for (std::size_t k = 0; k < kAnalogInputCount; ++k) {
        AnalogInputConf& a = c.Analog[k];
        const std::size_t at = AnalogBase(k);
        a.AsDigital = b[at] & 1;
        a.Adaptive = (b[at] >> 1) & 1;
        a.AdaptiveMethod = (b[at] >> 2) & 3;
        a.SwitchLevel = ReadLe16(&b[at + 4]);
        a.AdaptiveLevel = ReadLe16(&b[at + 6]);
        a.AveragePeriod = ReadLe16(&b[at + 8]);
    }
    for (std::size_t k = 0; k < kDigitalInputCount; ++k) {
        DigitalInputConf& d = c.Input[k];
        const unsigned word = ReadLe16(&b[kInputWords + 4 * k]);
        d.InputMode = word & 7;
        d.SendData = (word >> 3) & 1;
        d.EventLevel = (word >> 4) & 1;
        d.SendContinuous = (word >> 5) & 1;
        d.SendDuration = (word >> 6) & 63;
    }
    c.AnalogWritePeriod = ReadLe32(&b[kAnalogWritePeriod]);
    c.CounterPeriod12 = ReadLe32(&b[kCounterPeriods]);
    c.CounterPeriod34 = ReadLe32(&b[kCounterPeriods + 4]);
    c.CounterPeriod56 = ReadLe32(&b[kCounterPeriods + 8]);
    c.CounterPeriod78 = ReadLe32(&b[kCounterPeriods + 12]);
    return true;
}

std::array<std::uint8_t, kRs485ConfSize> PackRs485Conf(const Rs485Conf& c)
{
    std::array<std::uint8_t, kRs485ConfSize> b{};
    b[0] = Bits(c.ExternalReceiver, 7, 0) | Bit(c.ReceiverMarker, 3);
    WriteLe32(&b[4], c.Rs485Baud);
    WriteLe16(&b[8], c.FuelWritePeriod14);
    WriteLe16(&b[10], c.FuelWritePeriod58);
    std::copy(c.FuelSensorAddress.begin(), c.FuelSensorAddress.end(), b.begin() + 12);
    return b;
}

bool UnpackRs485Conf(std::span<const std::uint8_t> b, Rs485Conf& c)
{
    if (b.size() < kRs485ConfSize)
        return false;
    c.ExternalReceiver = b[0] & 7;
    c.ReceiverMarker = (b[0] >> 3) & 1;
    c.Rs485Baud = ReadLe32(&b[4]);
    c.FuelWritePeriod14 = ReadLe16(&b[8]);
    c.FuelWritePeriod58 = ReadLe16(&b[10]);
    std::copy_n(b.begin() + 12, kFuelSensorCount, c.FuelSensorAddress.begin());
    return true;
}

std::array<std::uint8_t, kCanConfSize> PackCanConf(const CanConf& c)
{
    std::array<std::uint8_t, kCanConfSize> b{};
    WriteLe32(&b[0], c.CanWritePeriod);
    for (std::size_t s = 0; s < kCanSlotCount; ++s) {
        std::uint8_t* slot = &b[4 + kCanSlotSize * s];
        WriteLe32(slot, c.Slots[s].Id);
        slot[4] = c.Slots[s].Used;
        slot[5] = c.Slots[s].Order;
        slot[6] = c.Slots[s].Window;
    }
    return b;
}

bool UnpackCanConf(std::span<const std::uint8_t> b, CanConf& c)
{
    if (b.size() < kCanConfSize)
        return false;
    c.CanWritePeriod = ReadLe32(&b[0]);
    for (std::size_t s = 0; s < kCanSlotCount; ++s) {
        const std::uint8_t* slot = &b[4 + kCanSlotSize * s];
        c.Slots[s] = {ReadLe32(slot), slot[4], slot[5], slot[6]};
    }
    return true;
}

std::array<std::uint8_t, kOneWireConfSize> PackOneWireConf(const OneWireConf& c)
{
    std::array<std::uint8_t, kOneWireConfSize> b{};
    std::uint32_t flags = (c.ReadAnyKey ? 1u : 0u) | (c.SingleSensor ? 2u : 0u);
    for (std::size_t n = 0; n < kOneWireSensorCount; ++n)
        flags |= c.SensorUsed[n] ? 1u << (n + 2) : 0u;
    flags |= (c.NoKeys ? 1u << 10 : 0u) | (c.PulseOut1 ? 1u << 11 : 0u) | (c.PulseOut2 ? 1u << 12 : 0u);
    WriteLe32(&b[0], flags);
    WriteLe32(&b[4], c.SensorWritePeriod14);
    WriteLe32(&b[8], c.SensorWritePeriod58);
    for (std::size_t n = 0; n < kOneWireSensorCount; ++n)
        std::copy(c.SensorAddress[n].begin(), c.SensorAddress[n].end(), b.begin() + kOneWireSensors + 8 * n);
    for (std::size_t k = 0; k < kOneWireKeyCount; ++k)
        std::copy(c.KeyAddress[k].begin(), c.KeyAddress[k].end(), b.begin() + kOneWireKeys + 8 * k);
    return b;
}

bool UnpackOneWireConf(std::span<const std::uint8_t> b, OneWireConf& c)
{
    if (b.size() < kOneWireConfSize)
        return false;
    const std::uint32_t flags = ReadLe32(&b[0]);
    c.ReadAnyKey = flags & 1;
    c.SingleSensor = (flags >> 1) & 1;
    for (std::size_t n = 0; n < kOneWireSensorCount; ++n)
        c.SensorUsed[n] = (flags >> (n + 2)) & 1;
    c.NoKeys = (flags >> 10) & 1;
    c.PulseOut1 = (flags >> 11) & 1;
    c.PulseOut2 = (flags >> 12) & 1;
    c.SensorWritePeriod14 = ReadLe32(&b[4]);
    c.SensorWritePeriod58 = ReadLe32(&b[8]);
    for (std::size_t n = 0; n < kOneWireSensorCount; ++n)
        std::copy_n(b.begin() + kOneWireSensors + 8 * n, 8, c.SensorAddress[n].begin());
    for (std::size_t k = 0; k < kOneWireKeyCount; ++k)
        std::copy_n(b.begin() + kOneWireKeys + 8 * k, 8, c.KeyAddress[k].begin());
    return true;
}

} // namespace plendoro
