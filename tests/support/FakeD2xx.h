#pragma once
// An in-memory vendor library: a list of devices, a log of calls, and reply
// bytes that "arrive" at given ticks of a FakeClock.
#include "link/D2xx.h"

#include "FakeClock.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

class FakeD2xx final : public plendoro::D2xx {
public:
    struct Device {
        std::string description;
        std::string serial;
        bool openable = true;
    };
    struct Arrival {
        std::uint64_t tick;
        std::uint8_t byte;
    };

    explicit FakeD2xx(FakeClock& clock) : clock_(clock) {}

    // Bytes that reach the host at `tick` and later.
    void Arrive(std::uint64_t tick, const std::string& bytes)
    {
        for (char c : bytes)
            rx.push_back({tick, static_cast<std::uint8_t>(c)});
    }

    Status ListCount(plendoro::d2xx::DWORD* count) override
    {
        calls.push_back("ListCount");
        if (failList)
            return 4;
        *count = static_cast<plendoro::d2xx::DWORD>(devices.size());
        return 0;
    }
    Status ListDescription(plendoro::d2xx::DWORD index, char description[64]) override
    {
        calls.push_back("ListDescription " + std::to_string(index));
        if (index >= devices.size() || static_cast<int>(index) == failDescriptionAt)
            return 2;
        std::strncpy(description, devices[index].description.c_str(), 63);
        description[63] = '\0';
        return 0;
    }
    Status Open(int index, Handle* handle) override
    {
        calls.push_back("Open " + std::to_string(index));
        if (index < 0 || index >= static_cast<int>(devices.size()) || !devices[index].openable)
            return 2;
        *handle = &devices[index];
        openIndex = index;
        ++openCount;
        return 0;
    }
    Status Close(Handle) override
    {
        calls.push_back("Close");
        --openCount;
        return 0;
    }
    Status ResetDevice(Handle) override
    {
        calls.push_back("ResetDevice");
        return 0;
    }
    Status Read(Handle, void* buffer, plendoro::d2xx::DWORD count, plendoro::d2xx::DWORD* got) override
    {
        calls.push_back("Read " + std::to_string(count));
        auto* out = static_cast<std::uint8_t*>(buffer);
        plendoro::d2xx::DWORD n = 0;
        while (n < count && !rx.empty() && rx.front().tick <= clock_.now) {
            out[n++] = rx.front().byte;
            rx.pop_front();
        }
        *got = n;
        return 0;
    }
    Status Write(Handle, const void* bytes, plendoro::d2xx::DWORD count, plendoro::d2xx::DWORD* sent) override
    {
        written.emplace_back(static_cast<const char*>(bytes), count);
        *sent = count;
        return 0;
    }
    Status SetTimeouts(Handle, plendoro::d2xx::ULONG r, plendoro::d2xx::ULONG w) override
    {
        return Config("SetTimeouts " + std::to_string(r) + " " + std::to_string(w));
    }
    Status SetBaudRate(Handle, plendoro::d2xx::ULONG baud) override
    {
        return Config("SetBaudRate " + std::to_string(baud));
    }
    Status GetDeviceInfo(Handle h, char serial[16], char description[64]) override
    {
        Status s = Config("GetDeviceInfo");
        auto* d = static_cast<Device*>(h);
        std::strncpy(serial, d->serial.c_str(), 15);
        std::strncpy(description, d->description.c_str(), 63);
        return s;
    }
    Status GetStatus(Handle, plendoro::d2xx::DWORD* rxCount, plendoro::d2xx::DWORD* tx,
                     plendoro::d2xx::DWORD* events) override
    {
        ++statusQueries;
        plendoro::d2xx::DWORD n = 0;
        for (const auto& a : rx)
            if (a.tick <= clock_.now)
                ++n;
        *rxCount = n;
        *tx = 0;
        *events = 0;
        return 0;
    }
    Status SetDataCharacteristics(Handle, plendoro::d2xx::UCHAR b, plendoro::d2xx::UCHAR s,
                                  plendoro::d2xx::UCHAR p) override
    {
        return Config("SetDataCharacteristics " + std::to_string(b) + " " + std::to_string(s) + " " +
                      std::to_string(p));
    }
    Status SetFlowControl(Handle, plendoro::d2xx::USHORT f, plendoro::d2xx::UCHAR on,
                          plendoro::d2xx::UCHAR off) override
    {
        return Config("SetFlowControl " + std::to_string(f) + " " + std::to_string(on) + " " + std::to_string(off));
    }
    Status SetLatencyTimer(Handle, plendoro::d2xx::UCHAR ms) override
    {
        return Config("SetLatencyTimer " + std::to_string(ms));
    }

    plendoro::OpenFailure DiagnoseOpen(int) override { return openFailure; }

    std::vector<Device> devices;
    plendoro::OpenFailure openFailure;
    std::vector<std::string> calls;
    std::vector<std::string> written;
    std::deque<Arrival> rx;
    bool failList = false;
    int failDescriptionAt = -1;
    std::string failConfig; // the configuration call that returns an error
    int openIndex = -1;
    int openCount = 0;
    int statusQueries = 0;

private:
    Status Config(const std::string& call)
    {
        calls.push_back(call);
        return !failConfig.empty() && call.rfind(failConfig, 0) == 0 ? 4 : 0;
    }
    FakeClock& clock_;
};
