#include "World.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace plsim {

World& World::Get()
{
    static World world;
    return world;
}

World::World()
{
    LoadStartup();
}

void World::Install(WorldSetup setup)
{
    const TimePoint now = Clock::now();
    // Whatever the host still holds belongs to devices that are gone.
    for (auto& d : devices) d->Unplug(now);
    timing.wire = setup.wireTiming;
    timing.turnaround = Micros(setup.turnaroundUs);
    timing.packetTimeout = Millis(setup.packetTimeoutMs);
    devices.clear();
    for (auto& d : setup.devices) devices.push_back(std::make_shared<Device>(std::move(d)));
    changed.notify_all();
}

void World::LoadStartup()
{
    WorldSetup setup;
    std::string error;
    const char* path = std::getenv("PLENDORO_SIM_SCENARIO");
    if (path && *path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) error = std::string("cannot read ") + path;
        else if (!ParseScenario(text.str(), setup, error)) error = std::string(path) + ": " + error;
        if (error.empty()) {
            Install(std::move(setup));
            return;
        }
        // A broken scenario must not leave a demo without a device.
        std::fprintf(stderr, "plendoro_sim: %s; using the built-in scenario\n", error.c_str());
        lastError = error;
    }
    if (!ParseScenario(BuiltInScenario(), setup, error)) {
        std::fprintf(stderr, "plendoro_sim: built-in scenario: %s\n", error.c_str());
        setup = WorldSetup{};
        setup.devices.emplace_back();
        FitBlocks(setup.devices.back());
    }
    Install(std::move(setup));
}

Device* World::At(int device)
{
    if (device < 0 || device >= int(devices.size())) return nullptr;
    return devices[std::size_t(device)].get();
}

std::shared_ptr<Device> World::Plugged(std::uint32_t index)
{
    for (auto& d : devices) {
        if (!d->setup.plugged) continue;
        if (index == 0) return d;
        --index;
    }
    return nullptr;
}

std::uint32_t World::PluggedCount() const
{
    std::uint32_t n = 0;
    for (auto& d : devices) n += d->setup.plugged ? 1 : 0;
    return n;
}

void* World::NewHandle(const std::shared_ptr<Device>& device, TimePoint now)
{
    auto state = std::make_shared<HandleState>();
    state->device = device;
    device->Opened(state, now, timing);
    const std::uintptr_t token = nextHandle_++;
    handles_[token] = std::move(state);
    return reinterpret_cast<void*>(token);
}

std::shared_ptr<HandleState> World::Find(void* handle) const
{
    auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == handles_.end() ? nullptr : it->second;
}

void World::ForgetHandle(void* handle)
{
    handles_.erase(reinterpret_cast<std::uintptr_t>(handle));
}

} // namespace plsim
