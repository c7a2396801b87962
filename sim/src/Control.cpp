// The control interface for tests and tools.
#include "Blocks.h"
#include "World.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#pragma GCC visibility push(default)
#include "plendoro_sim.h"
#pragma GCC visibility pop

using namespace plsim;

namespace {

int CopyOut(const std::string& text, char* out, int capacity)
{
    if (out && capacity > 0) {
        const std::size_t n = std::min(text.size(), std::size_t(capacity - 1));
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return int(text.size());
}

int Load(World& w, const std::string& text, const std::string& origin)
{
    WorldSetup setup;
    std::string error;
    if (!ParseScenario(text, setup, error)) {
        w.lastError = origin.empty() ? error : origin + ": " + error;
        return -1;
    }
    // Only the startup world uses the state file, so a test's world never
    // overwrites a user's.
    w.statePath.clear();
    w.Install(std::move(setup));
    return 0;
}

} // namespace

extern "C" {

int PlSim_LoadScenarioFile(const char* path)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    if (!path) {
        w.lastError = "no file named";
        return -1;
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        w.lastError = std::string("cannot read ") + path;
        return -1;
    }
    return Load(w, text.str(), path);
}

int PlSim_LoadScenarioText(const char* text)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    return Load(w, text ? text : "", "");
}

const char* PlSim_LastError(void)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    return w.lastError.c_str();
}

void PlSim_Reset(void)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    w.LoadStartup();
}

int PlSim_DeviceCount(void)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    return int(w.devices.size());
}

int PlSim_Plug(int device)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d) return -1;
    d->Plug();
    w.changed.notify_all();
    return 0;
}

int PlSim_Unplug(int device)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d) return -1;
    d->Unplug(Clock::now());
    w.changed.notify_all();
    return 0;
}

int PlSim_SetVersions(int device, int firmware, int hardware)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d || firmware < 0 || firmware > 9999 || hardware < -128 || hardware > 255) return -1;
    d->setup.firmware = firmware;
    d->setup.hardware = hardware;
    FitBlocks(d->setup);
    return 0;
}

int PlSim_SetFault(int device, const char* fault)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d) return -1;
    std::string error;
    if (!ApplyFault(d->setup.faults, fault ? fault : "", error)) {
        w.lastError = error;
        return -1;
    }
    return 0;
}

int PlSim_GetBlock(int device, int block, unsigned char* out, int capacity)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d || d->setup.foreign || BlockSize(block, d->setup.firmware) == 0) return -1;
    const auto& bytes = d->setup.blocks[block];
    if (out && capacity > 0) std::memcpy(out, bytes.data(), std::min(bytes.size(), std::size_t(capacity)));
    return int(bytes.size());
}

int PlSim_SetBlock(int device, int block, const unsigned char* data, int size)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d || !data || d->setup.foreign || size <= 0 || BlockSize(block, d->setup.firmware) != size) return -1;
    d->setup.blocks[block].assign(data, data + size);
    return 0;
}

int PlSim_RequestLog(int device, char* out, int capacity)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d) return CopyOut("", out, capacity);
    d->Advance(Clock::now(), w.timing);
    std::string text;
    for (const auto& line : d->log) text += line + "\n";
    return CopyOut(text, out, capacity);
}

int PlSim_RequestCount(int device)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d) return 0;
    d->Advance(Clock::now(), w.timing);
    return int(d->log.size());
}

void PlSim_ClearLog(int device)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    if (Device* d = w.At(device)) d->log.clear();
}

void PlSim_SetWireTiming(int enabled)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    w.timing.wire = enabled != 0;
    w.changed.notify_all();
}

void PlSim_SetTurnaroundUs(int microseconds)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    w.timing.turnaround = Micros(std::max(microseconds, 0));
}

int PlSim_Configure(int device, const char* lines)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d) {
        w.lastError = "no device " + std::to_string(device);
        return -1;
    }
    DeviceSetup next = d->setup;
    std::string error;
    if (!ApplyDeviceLines(lines ? lines : "", next, error)) {
        w.lastError = error;
        return -1;
    }
    // Plugging goes through the device, so that an open handle dies.
    const bool plugged = next.plugged;
    next.plugged = d->setup.plugged;
    d->setup = std::move(next);
    if (plugged && !d->setup.plugged) d->Plug();
    if (!plugged && d->setup.plugged) d->Unplug(Clock::now());
    w.changed.notify_all();
    return 0;
}

int PlSim_IsOpen(int device)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    return d ? (d->handle ? 1 : 0) : -1;
}

int PlSim_BridgeSettings(int device, char* out, int capacity)
{
    World& w = World::Get();
    std::lock_guard lock(w.mutex);
    Device* d = w.At(device);
    if (!d) return -1;
    const BridgeSettings& b = d->bridge;
    std::ostringstream s;
    s << "baud=" << b.baud << " bits=" << int(b.bits) << " stop=" << int(b.stopBits) << " parity=" << int(b.parity)
      << " flow=" << b.flow << " read_timeout=" << b.readTimeoutMs << " write_timeout=" << b.writeTimeoutMs
      << " latency=" << int(b.latencyMs);
    return CopyOut(s.str(), out, capacity);
}

} // extern "C"
