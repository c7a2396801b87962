#include "Blocks.h"

#include "Checksum.h"

#include <cstring>

namespace plsim {

const std::array<std::uint8_t, 8> kDefaultSensors[2] = {
    {0x28, 0x9F, 0x3C, 0x1A, 0x05, 0x00, 0x00, 0x38},
    {0x28, 0x41, 0x77, 0x2B, 0x05, 0x00, 0x00, 0xB1},
};

int BlockSize(int block, int firmware)
{
    switch (block) {
    case 0: return 9;
    case 1: return firmware < 300 ? 108 : firmware < 403 ? 111 : 117;
    case 2: return 72;
    case 3: return 20;
    case 5: return firmware >= 300 ? 214 : 0;
    case 6: return firmware >= 305 ? 476 : 0;
    default: return 0;
    }
}

std::vector<int> BlocksOf(int firmware)
{
    std::vector<int> ids;
    for (int b : {0, 1, 2, 3, 5, 6})
        if (BlockSize(b, firmware) > 0) ids.push_back(b);
    return ids;
}

namespace {

void PutIp(std::uint8_t* p, int a, int b, int c, int d)
{
    p[0] = std::uint8_t(a);
    p[1] = std::uint8_t(b);
    p[2] = std::uint8_t(c);
    p[3] = std::uint8_t(d);
}

// Adaptive recording every 60 s, joint GLONASS/GPS, accelerometer offsets 0.
std::vector<std::uint8_t> MainDefaults()
{
    return {0x00, 0x00, 0x00, 0x00, 60, 0x00, 0x00, 0x00, 0x00};
}

// DHCP, open network, no encryption, data server on this computer, periodic
// transfer every 60 s. The first generation's key area is 3 bytes shorter,
// so everything after it sits 3 bytes lower.
std::vector<std::uint8_t> NetDefaults(int firmware)
{
    std::vector<std::uint8_t> b(std::size_t(BlockSize(1, firmware)), 0);
    const int shift = firmware < 300 ? 0 : 3;
    b[0] = 0x01;                       // DHCP
    std::memcpy(&b[4], "12345678", 8); // device password, zero at 12
    PutIp(&b[31], 127, 0, 0, 1);       // data server
    WriteLe16(&b[35], 2224);
    std::memcpy(&b[50 + shift], "KV", 2);
    WriteLe32(&b[86 + shift], 60);
    const int hours[3] = {8, 13, 18}; // UTC, minute in the low byte
    for (int i = 0; i < 3; ++i) {
        WriteLe16(&b[std::size_t(90 + shift + 2 * i)], std::uint16_t(hours[i] << 8));
        WriteLe32(&b[std::size_t(96 + shift + 4 * i)], 5);
    }
    if (firmware >= 403) {
        PutIp(&b[111], 127, 0, 0, 1); // NMEA over UDP, switched off
        WriteLe16(&b[115], 2225);
    }
    return b;
}

std::vector<std::uint8_t> InputsDefaults(int firmware)
{
    std::vector<std::uint8_t> b(72, 0);
    for (int a = 0; a < 2; ++a) {
        std::uint8_t* p = &b[std::size_t(10 * a)];
        WriteLe16(p + 4, 732);  // switch level
        WriteLe16(p + 6, 1023); // adaptive level
        WriteLe16(p + 8, 16);   // averaging period
    }
    // Simple inputs, event level 0; the transfer duration exists from 3.00.
    for (int k = 0; k < 8; ++k) WriteLe32(&b[std::size_t(20 + 4 * k)], firmware >= 300 ? (1u << 6) : 0u);
    WriteLe32(&b[52], 60);   // analog inputs
    WriteLe32(&b[56], 3600); // counters of inputs 1 and 2
    return b;
}

// One fuel level sensor at address 1 on a 9600 bit/s bus.
std::vector<std::uint8_t> Rs485Defaults(int firmware)
{
    std::vector<std::uint8_t> b(20, 0);
    b[0] = firmware >= 307 ? 0x08 : 0x00;
    WriteLe32(&b[4], 9600);
    WriteLe16(&b[8], 60);
    b[12] = 1;
    return b;
}

// Vehicle speed and the fuel level of tank 0x17 recorded every 60 s.
std::vector<std::uint8_t> CanDefaults()
{
    std::vector<std::uint8_t> b(214, 0);
    WriteLe32(&b[0], 60);
    WriteLe32(&b[4], 0x18FEF100u);
    b[8] = 1;
    WriteLe32(&b[11], 0x18FEFC17u);
    b[15] = 1;
    return b;
}

// Any iButton accepted; the two sensors of the line in slots 1 and 2.
std::vector<std::uint8_t> OneWireDefaults()
{
    std::vector<std::uint8_t> b(476, 0);
    WriteLe32(&b[0], 0x01u | (1u << 2) | (1u << 3));
    WriteLe32(&b[4], 60);
    for (int s = 0; s < 2; ++s) std::memcpy(&b[std::size_t(12 + 8 * s)], kDefaultSensors[s].data(), 8);
    return b;
}

} // namespace

std::vector<std::uint8_t> DefaultBlock(int block, int firmware)
{
    if (BlockSize(block, firmware) == 0) return {};
    switch (block) {
    case 0: return MainDefaults();
    case 1: return NetDefaults(firmware);
    case 2: return InputsDefaults(firmware);
    case 3: return Rs485Defaults(firmware);
    case 5: return CanDefaults();
    case 6: return OneWireDefaults();
    default: return {};
    }
}

} // namespace plsim
