// plendoro-cli as a technician runs it: the whole program from start to
// exit against the simulated tracker with wire timing on. The start-up is
// `list` on a world with no tracker; `read` and `write` of one 4.03 tracker
// are held against their exchange's floor plus that start-up.
#include "model/Blocks.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using plendoro::BlockId;

constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 460800.0;
constexpr int kFirmware = 403;

double WireMs(double bytes)
{
    return bytes * kBitsPerByte * 1000.0 / kBaud;
}

// Identification: "FL_READ_VERSION$" with its reply, polled at a tenth of
// 200 ms twice, and "GET_HVERSION" with its one byte.
double VersionsFloorMs()
{
    return 2 * 20.0 + WireMs(16 + 8 + 12 + 1);
}

double ReadFloorMs()
{
    double ms = VersionsFloorMs();
    for (BlockId block : plendoro::BlocksOf(kFirmware))
        ms += 5.0 + WireMs(16 + 16 + plendoro::BlockSize(block, kFirmware));
    return ms;
}

// Each block goes out in 64-byte pieces 2 ms apart after the 5 ms pause.
double WriteFloorMs()
{
    double ms = VersionsFloorMs();
    for (BlockId block : plendoro::BlocksOf(kFirmware)) {
        const double request = 16 + plendoro::BlockSize(block, kFirmware);
        const int pieces = static_cast<int>((request + 63) / 64);
        ms += 5.0 + 2.0 * (pieces - 1) + WireMs(request + 16);
    }
    return ms;
}

std::string Folder()
{
    static const std::string folder = [] {
        char tmpl[] = "/tmp/plendoro-cli-bench-XXXXXX";
        return std::string(mkdtemp(tmpl));
    }();
    return folder;
}

std::string Scenario(const char* name, bool tracker)
{
    const std::string path = Folder() + "/" + name;
    std::ofstream f(path);
    f << "wire_timing on\nturnaround_us 200\n";
    if (tracker)
        f << "[device]\ndescription Kovaltrak WiFi\nserial 0005000\nfirmware 4.03\nhardware 4\n";
    return path;
}

// The program's wall time, start to exit; negative when it failed.
double RunMs(const std::vector<std::string>& args, const std::string& scenario)
{
    setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
    setenv("PLENDORO_SIM_SCENARIO", scenario.c_str(), 1);
    setenv("PLENDORO_SIM_STATE", (Folder() + "/state").c_str(), 1);
    std::vector<std::string> all{PLENDORO_CLI_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double StartUpMs()
{
    static const double ms = [] {
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            const double t = RunMs({"list"}, Scenario("empty.scn", false));
            if (t >= 0 && t < best)
                best = t;
        }
        return best;
    }();
    return ms;
}

void BM_CliStartUp(benchmark::State& state)
{
    const std::string empty = Scenario("empty.scn", false);
    double total = 0;
    for (auto _ : state) {
        const double ms = RunMs({"list"}, empty);
        if (ms < 0) {
            state.SkipWithError("plendoro-cli list failed");
            return;
        }
        total += ms;
    }
    state.counters["startup_ms"] = total / static_cast<double>(state.iterations());
}

void Exchange(benchmark::State& state, const std::vector<std::string>& args, double floor)
{
    const std::string world = Scenario("one.scn", true);
    const double startUp = StartUpMs();
    double total = 0;
    for (auto _ : state) {
        const double ms = RunMs(args, world);
        if (ms < 0) {
            state.SkipWithError("plendoro-cli failed");
            return;
        }
        total += ms;
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["ms"] = mean;
    state.counters["floor_ms"] = floor;
    state.counters["startup_ms"] = startUp;
    // The figure that matters: at most 1.3.
    state.counters["ratio_to_floor"] = (mean - startUp) / floor;
}

void BM_CliRead(benchmark::State& state)
{
    Exchange(state, {"read", "-o", Folder() + "/read.kvp"}, ReadFloorMs());
}

void BM_CliWrite(benchmark::State& state)
{
    if (RunMs({"read", "-o", Folder() + "/write.kvp"}, Scenario("one.scn", true)) < 0) {
        state.SkipWithError("no profile to write");
        return;
    }
    Exchange(state, {"write", Folder() + "/write.kvp", "--no-files"}, WriteFloorMs());
}

} // namespace

BENCHMARK(BM_CliStartUp)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_CliRead)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_CliWrite)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_MAIN();
