// Reading every settings block of a third-generation tracker from the
// simulated device with wire timing on, against the floor the protocol
// allows: its mandated 5 ms pause before each request plus the wire time of
// every byte at 460800 baud (10 bits a byte).
#include "link/Identification.h"
#include "link/Protocol.h"
#include "link/UsbLink.h"
#include "plendoro_sim.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdlib>

using namespace plendoro;

namespace {

struct BlockRead {
    std::uint16_t id;
    std::size_t size;
};
constexpr BlockRead kThirdGeneration[] = {{0, 9}, {1, 117}, {2, 72}, {3, 20}, {5, 214}, {6, 476}};

double FloorMs()
{
    double bytes = 0;
    for (const auto& b : kThirdGeneration)
        bytes += 16 + 16 + b.size;
    const double wireMs = bytes * 10.0 * 1000.0 / 460800.0;
    return 5.0 * std::size(kThirdGeneration) + wireMs;
}

void BM_ReadAllBlocksGeneration3(benchmark::State& state)
{
    setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
    PlSim_Reset();
    PlSim_SetWireTiming(1);
    PlSim_SetTurnaroundUs(0);
    PlSim_SetVersions(0, 403, 4);

    UsbLink link;
    std::string serial;
    if (!link.Bind() || !link.Identify(&serial)) {
        state.SkipWithError("simulated tracker not found");
        return;
    }
    link.SetConnected(true);
    std::array<std::uint8_t, kPacketBufferSize> buffer{};
    std::string failure;
    double totalMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!link.Open()) {
            state.SkipWithError("open failed");
            return;
        }
        for (const auto& b : kThirdGeneration) {
            if (!Transact(link, SystemClock::Instance(), buffer.data(), b.id, b.size, 0, failure)) {
                link.Close();
                state.SkipWithError(failure.c_str());
                return;
            }
        }
        link.Close();
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    // The ratio to the floor is the figure that matters: at most 1.3.
    const double floor = FloorMs();
    state.counters["floor_ms"] = floor;
    state.counters["ratio_to_floor"] = totalMs / (static_cast<double>(state.iterations()) * floor);
}

} // namespace

BENCHMARK(BM_ReadAllBlocksGeneration3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

BENCHMARK_MAIN();
