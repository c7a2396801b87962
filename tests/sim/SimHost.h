#pragma once
// The host's side of the wire for the simulated tracker's tests: the D2XX
// entry points with the vendor's Linux C ABI, declared here as a host
// declares them, and a packet builder with its own checksum.
#include "plendoro_sim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using DWORD = std::uint32_t;
using FT_STATUS = std::uint32_t;
using FT_HANDLE = void*;

extern "C" {
FT_STATUS FT_ListDevices(void*, void*, DWORD);
FT_STATUS FT_Open(int, FT_HANDLE*);
FT_STATUS FT_Close(FT_HANDLE);
FT_STATUS FT_ResetDevice(FT_HANDLE);
FT_STATUS FT_Purge(FT_HANDLE, DWORD);
FT_STATUS FT_Read(FT_HANDLE, void*, DWORD, DWORD*);
FT_STATUS FT_Write(FT_HANDLE, void*, DWORD, DWORD*);
FT_STATUS FT_SetTimeouts(FT_HANDLE, DWORD, DWORD);
FT_STATUS FT_SetBaudRate(FT_HANDLE, DWORD);
FT_STATUS FT_GetDeviceInfo(FT_HANDLE, DWORD*, DWORD*, char*, char*, void*);
FT_STATUS FT_GetStatus(FT_HANDLE, DWORD*, DWORD*, DWORD*);
FT_STATUS FT_GetQueueStatus(FT_HANDLE, DWORD*);
FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, std::uint8_t, std::uint8_t, std::uint8_t);
FT_STATUS FT_SetFlowControl(FT_HANDLE, std::uint16_t, std::uint8_t, std::uint8_t);
FT_STATUS FT_SetLatencyTimer(FT_HANDLE, std::uint8_t);
}

namespace simtest {

using Bytes = std::vector<std::uint8_t>;

inline void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// RFC 1071 in its textbook form: a wide accumulator folded once at the end.
inline std::uint16_t InternetSum(const Bytes& b)
{
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < b.size(); ++i)
        sum += (i % 2 == 0) ? b[i] : std::uint64_t(b[i]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return std::uint16_t(sum);
}

inline std::uint16_t Le16(const Bytes& b, std::size_t at)
{
    return std::uint16_t(b.at(at) | b.at(at + 1) << 8);
}
inline std::uint32_t Le32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(Le16(b, at) | Le16(b, at + 2) << 16);
}

// A request as the configurator builds it; `total` and `headerLength` may
// be forced to build broken ones.
inline Bytes Packet(std::uint16_t id, const Bytes& payload = {}, int total = -1, int headerLength = 16)
{
    Bytes p(16 + payload.size(), 0);
    std::memcpy(p.data(), "HDRV1.0", 7);
    const std::uint16_t fields[3] = {std::uint16_t(total < 0 ? 16 + int(payload.size()) : total),
                                     std::uint16_t(headerLength), id};
    for (int i = 0; i < 3; ++i) {
        p[std::size_t(8 + 2 * i)] = std::uint8_t(fields[i]);
        p[std::size_t(9 + 2 * i)] = std::uint8_t(fields[i] >> 8);
    }
    std::copy(payload.begin(), payload.end(), p.begin() + 16);
    const std::uint16_t check = std::uint16_t(~InternetSum(p));
    p[14] = std::uint8_t(check);
    p[15] = std::uint8_t(check >> 8);
    return p;
}

// One open handle, configured as the configurator configures it.
class Link {
public:
    explicit Link(int index = 0, DWORD baud = 460800) : status(FT_Open(index, &h))
    {
        if (ok())
            FT_SetBaudRate(h, baud);
        if (ok())
            FT_SetTimeouts(h, 1000, 200);
    }
    ~Link()
    {
        if (ok())
            FT_Close(h);
    }
    bool ok() const { return status == 0; }
    void Timeout(DWORD ms) { FT_SetTimeouts(h, ms, 200); }

    FT_STATUS Write(Bytes b)
    {
        DWORD sent = 0;
        return FT_Write(h, b.data(), DWORD(b.size()), &sent);
    }
    FT_STATUS Write(const std::string& s) { return Write(Bytes(s.begin(), s.end())); }

    Bytes Read(std::size_t n, FT_STATUS* st = nullptr)
    {
        Bytes b(n);
        DWORD got = 0;
        const FT_STATUS s = FT_Read(h, b.data(), DWORD(n), &got);
        if (st)
            *st = s;
        b.resize(got);
        return b;
    }
    std::string ReadText(std::size_t n)
    {
        const Bytes b = Read(n);
        return std::string(b.begin(), b.end());
    }
    // True when nothing at all comes within `ms`.
    bool Quiet(int ms = 60)
    {
        Timeout(DWORD(ms));
        const bool none = Read(1).empty();
        Timeout(1000);
        return none;
    }

    DWORD Rx()
    {
        DWORD rx = 0, tx = 0, ev = 0;
        FT_GetStatus(h, &rx, &tx, &ev);
        return rx;
    }
    void WaitRx(DWORD atLeast, int waitMs = 2000)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (Rx() < atLeast && std::chrono::steady_clock::now() < until)
            SleepMs(1);
    }

    // A reply of unknown length; without wire time it lands whole.
    std::string ReadAll(int waitMs = 2000)
    {
        WaitRx(1, waitMs);
        return ReadText(Rx());
    }

    // One request and its reply of 16 + `payload` bytes, or of the 20 bytes
    // of an error reply, read as the configurator reads them.
    Bytes Exchange(const Bytes& request, std::size_t payload)
    {
        Write(request);
        Bytes reply = Read(16 + payload);
        if (reply.size() == 16 && Le16(reply, 12) == 192 && Le16(reply, 8) == 20) {
            const Bytes code = Read(4);
            reply.insert(reply.end(), code.begin(), code.end());
        }
        return reply;
    }

    FT_HANDLE h = nullptr;
    FT_STATUS status;
};

inline std::string Log(int device = 0)
{
    std::string s(std::size_t(PlSim_RequestLog(device, nullptr, 0)) + 1, '\0');
    s.resize(std::size_t(PlSim_RequestLog(device, s.data(), int(s.size()))));
    return s;
}

inline Bytes Block(int device, int block)
{
    Bytes b(static_cast<std::size_t>(std::max(PlSim_GetBlock(device, block, nullptr, 0), 0)));
    PlSim_GetBlock(device, block, b.data(), int(b.size()));
    return b;
}

// One tracker, no wire time, no turnaround, short service durations.
inline constexpr const char* kFastTracker = R"(
wire_timing off
turnaround_us 0
packet_timeout_ms 50

[device]
description Kovaltrak WiFi
serial 0005000
firmware 403
hardware 4
erase_ms 120
erase_report_ms 40
calibration_ms 300
onewire_search_ms 0
can 18FEF100 FFFF2A00 C3FFFFFF at 0
can 0CF00400 00000000 0000007D at 300
can 18FEF100 11111111 22222222 at 320
onewire 28:9F:3C:1A:05:00:00:38
onewire 01:5E:A2:13:0C:00:00:BB
onewire 28:41:77:2B:05:00:00:B1
)";

class SimTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(PlSim_LoadScenarioText(kFastTracker), 0) << PlSim_LastError(); }
    void TearDown() override { PlSim_Reset(); }
};

} // namespace simtest
