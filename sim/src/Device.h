#pragma once
// One USB device of the simulated world: the FTDI bridge's side (settings,
// the two directions of the wire with their timing) and the tracker's
// firmware behind it (packets, text commands, services, faults).
#include "Scenario.h"
#include "SimTime.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plsim {

class Device;

// One FT_Open. A handle outlives its device's presence: once the device is
// unplugged (or the world replaced) it is dead and only hands out what had
// already arrived.
struct HandleState {
    std::shared_ptr<Device> device;
    bool dead = false;
    std::deque<std::uint8_t> leftover;
};

struct Timing {
    bool wire = true;
    Nanos turnaround = Micros(200);
    Nanos packetTimeout = Millis(100);
};

// What a real bridge keeps between opens; lost when the device loses power.
struct BridgeSettings {
    std::uint32_t baud = 9600;
    std::uint32_t readTimeoutMs = 1000;
    std::uint32_t writeTimeoutMs = 0;
    std::uint8_t bits = 8;
    std::uint8_t stopBits = 0;
    std::uint8_t parity = 0;
    std::uint16_t flow = 0;
    std::uint8_t latencyMs = 16;
};

class Device {
public:
    explicit Device(DeviceSetup setup);

    DeviceSetup setup;
    BridgeSettings bridge;
    std::shared_ptr<HandleState> handle;
    std::vector<std::string> log;
    // Told after a block the host sent is stored, so the world can keep it.
    std::function<void()> blockStored;

    // Brings the device up to `now`: sends what is due, gives up on a
    // packet that stopped arriving.
    void Advance(TimePoint now, const Timing& timing);

    // Bytes that have reached the host by `now`.
    std::size_t Arrived(TimePoint now) const;
    // When the host will hold `count` bytes, if what is scheduled gets there.
    std::optional<TimePoint> WhenAvailable(std::size_t count, const Timing& timing) const;
    std::size_t Take(std::uint8_t* out, std::size_t count, TimePoint now);
    // Bytes written by the host still on their way to the device.
    std::size_t InFlightToDevice(TimePoint now, const Timing& timing) const;

    void HostWrite(const std::uint8_t* bytes, std::size_t count, TimePoint now, const Timing& timing);

    void Opened(std::shared_ptr<HandleState> h, TimePoint now, const Timing& timing);
    // Reset or close: undelivered replies and a half-received request go.
    void DropUndelivered();
    void PurgeArrived(TimePoint now);

    void Unplug(TimePoint now);
    void Plug();

private:
    struct RxByte {
        std::uint8_t value;
        TimePoint at;
    };
    struct Outgoing {
        TimePoint earliest;
        std::vector<std::uint8_t> bytes;
        std::size_t splitAt = 0; // first part's length when split, else 0
        Nanos splitGap{0};
        bool reply = true; // false: sent by the device on its own
    };
    struct Layout {
        TimePoint first;
        TimePoint second;
        std::size_t firstLength;
        TimePoint ByteAt(std::size_t i, Nanos byteTime) const;
    };

    Nanos ByteTime(const Timing& timing) const;
    static Layout Lay(const Outgoing& m, TimePoint wireFree, Nanos byteTime);
    void Commit(const Outgoing& m, Nanos byteTime);
    void Send(std::vector<std::uint8_t> bytes, TimePoint earliest, bool reply = true);
    void SendText(const std::string& text, TimePoint earliest, bool reply = true);
    void SendPacket(std::uint16_t id, const std::vector<std::uint8_t>& payload, TimePoint earliest);

    void ResetParser();
    void Parse(const std::uint8_t* bytes, std::size_t count, TimePoint start, Nanos byteTime);
    void OnHeader(TimePoint at);
    void OnPacket(TimePoint at);
    void Reject(const std::string& reason, std::uint32_t code, TimePoint at);
    void OnCommand(std::string command, TimePoint at);
    bool Admit(const std::string& logLine);

    void StartErase(TimePoint at);
    std::string CanState(TimePoint at) const;
    std::string OneWireAddresses(int family) const;

    // device -> host
    std::deque<RxByte> rx_;
    std::deque<Outgoing> pending_; // by earliest start
    TimePoint rxFree_{};

    // host -> device
    TimePoint inFree_{};
    TimePoint lastInput_{};
    bool haveInput_ = false;
    bool inPacket_ = false;
    std::vector<std::uint8_t> partial_;
    std::size_t drain_ = 0;

    // per call
    TimePoint now_{};
    Timing timing_{};

    // services
    TimePoint calibrationEnd_{};
    int statePolls_ = 0; // MMA_STATE answers since the calibration started
    bool canStarted_ = false;
    bool canRunning_ = false;
    TimePoint canStart_{};
    TimePoint canStop_{};
};

} // namespace plsim
