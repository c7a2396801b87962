#include "World.h"

#include "State.h"

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
    for (auto& d : setup.devices) {
        devices.push_back(std::make_shared<Device>(std::move(d)));
        devices.back()->blockStored = [this] { SaveState(); };
    }
    changed.notify_all();
}

void World::LoadStartup()
{
    WorldSetup setup;
    std::string error;
    const char* path = std::getenv("PLENDORO_SIM_SCENARIO");
    bool loaded = false;
    if (path && *path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        if (!in) error = std::string("cannot read ") + path;
        else if (!ParseScenario(text.str(), setup, error)) error = std::string(path) + ": " + error;
        loaded = error.empty();
        if (!loaded) {
            // A broken scenario must not leave a demo without a device.
            std::fprintf(stderr, "plendoro_sim: %s; using the built-in scenario\n", error.c_str());
            lastError = error;
            setup = WorldSetup{};
        }
    }
    if (!loaded && !ParseScenario(BuiltInScenario(), setup, error)) {
        std::fprintf(stderr, "plendoro_sim: built-in scenario: %s\n", error.c_str());
        setup = WorldSetup{};
        setup.devices.emplace_back();
        FitBlocks(setup.devices.back());
    }
    const char* state = std::getenv("PLENDORO_SIM_STATE");
    statePath = state ? state : "";
    // A state file that is missing or does not parse leaves the scenario's blocks.
    StoredBlocks stored;
    if (!statePath.empty() && ReadState(statePath, stored)) ApplyState(stored, setup.devices);
    Install(std::move(setup));
}

void World::SaveState()
{
    if (statePath.empty()) return;
    StoredBlocks world;
    for (const auto& d : devices) {
        // With two devices of one serial the first one's blocks are kept.
        if (d->setup.foreign || !Storable(d->setup.serial) || world.count(d->setup.serial)) continue;
        world[d->setup.serial] = d->setup.blocks;
    }
    std::string error;
    if (WriteState(statePath, world, error)) return;
    std::fprintf(stderr, "plendoro_sim: %s\n", error.c_str());
    lastError = error;
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
