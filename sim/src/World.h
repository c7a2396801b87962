#pragma once
// The whole simulated world behind one lock: its devices in scenario order
// and the handles the host holds.
#include "Device.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plsim {

class World {
public:
    // Built on first use, from PLENDORO_SIM_SCENARIO or the built-in default.
    static World& Get();

    std::mutex mutex;
    std::condition_variable changed;
    Timing timing;
    std::vector<std::shared_ptr<Device>> devices;
    std::string lastError;
    // PLENDORO_SIM_STATE as the startup world found it; empty: no state file.
    std::string statePath;

    void Install(WorldSetup setup);
    // Loads PLENDORO_SIM_SCENARIO, falling back to the built-in default,
    // then the blocks PLENDORO_SIM_STATE keeps.
    void LoadStartup();
    // Rewrites the state file with every tracker's blocks.
    void SaveState();

    Device* At(int device);                               // scenario order
    std::shared_ptr<Device> Plugged(std::uint32_t index); // among plugged ones
    std::uint32_t PluggedCount() const;

    void* NewHandle(const std::shared_ptr<Device>& device, TimePoint now);
    std::shared_ptr<HandleState> Find(void* handle) const;
    void ForgetHandle(void* handle);

private:
    World();
    std::map<std::uintptr_t, std::shared_ptr<HandleState>> handles_;
    std::uintptr_t nextHandle_ = 0x4B560001;
};

} // namespace plsim
