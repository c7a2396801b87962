// One poll of the CAN search that reports 180 new identifiers, the most a
// 5000-byte reply holds: reading the reply, and one rebuild of the page's
// lists per new entry (names of every entry, recorded lists sorted). The
// poll period is one second; "ms_per_poll" is the wall time one poll takes
// and "pct_of_period" that time as a share of the period. Filling the list widgets
// is not measured here, only the work the core does for them.
#include "services/core/CanListModel.h"
#include "services/core/CanParameters.h"
#include "services/core/CanState.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace plendoro;

namespace {

constexpr int kRecords = 180;
constexpr double kPollPeriodSeconds = 1.0;

// A bus with every kind of identifier: known parameters, fuel levels from
// many sources and unknown groups.
std::uint32_t BusIdentifier(int i)
{
    static constexpr std::uint16_t kPgns[] = {0xF003, 0xF004, 0xFEC1, 0xFEEE, 0xFEF1, 0xFEFC, 0xFF00, 0xFF10};
    const std::uint16_t pgn = kPgns[i % 8];
    return 0x18000000u | (std::uint32_t(pgn) << 8) | std::uint32_t(i & 0xFF);
}

std::string FullReply()
{
    std::string reply(kCanStatePrefix);
    char record[32];
    for (int i = 0; i < kRecords; ++i) {
        std::snprintf(record, sizeof record, "%s%08X,%08X,%08X", i ? "," : "", unsigned(BusIdentifier(i)),
                      unsigned(0x00A00000u + i), unsigned(0xFFFF0000u + i));
        reply += record;
    }
    return reply + ";";
}

// What one poll tick does with a reply, the widgets left out.
std::size_t Poll(std::string_view reply, std::vector<TCANId_V3>& found)
{
    std::size_t lines = 0;
    if (const auto records = ParseCanState(reply)) {
        for (const CanStateRecord& r : *records) {
            if (FindCanParameter(found, r.Id))
                continue;
            found.push_back({r.Id, 0, 0, 0, r.dA, r.dB});
            lines += BuildCanListLines(found).found.size();
        }
    }
    return lines;
}

// Wall time, as the window waits it: the machine may be shared.
void ReportAgainstPeriod(benchmark::State& state, std::chrono::steady_clock::duration spent)
{
    if (state.iterations() == 0)
        return;
    const double perPoll = std::chrono::duration<double>(spent).count() / double(state.iterations());
    state.counters["ms_per_poll"] = perPoll * 1000.0;
    state.counters["pct_of_period"] = perPoll / kPollPeriodSeconds * 100.0;
}

void BM_PollWith180NewIdentifiers(benchmark::State& state)
{
    const std::string reply = FullReply();
    if (reply.size() > kCanStateReplyCapacity) {
        state.SkipWithError("reply larger than the poll buffer");
        return;
    }
    std::vector<TCANId_V3> found;
    found.reserve(kRecords);
    std::chrono::steady_clock::duration spent{};
    for (auto _ : state) {
        state.PauseTiming();
        found.clear();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Poll(reply, found));
        spent += std::chrono::steady_clock::now() - start;
    }
    if (found.size() != kRecords)
        state.SkipWithError("not every identifier was taken");
    ReportAgainstPeriod(state, spent);
}
BENCHMARK(BM_PollWith180NewIdentifiers)->Unit(benchmark::kMillisecond)->UseRealTime();

// A later poll of the same bus: every identifier is known already, so the
// lists are not rebuilt and only the reading and the look-ups remain.
void BM_PollWith180KnownIdentifiers(benchmark::State& state)
{
    const std::string reply = FullReply();
    std::vector<TCANId_V3> found;
    Poll(reply, found);
    std::chrono::steady_clock::duration spent{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Poll(reply, found));
        spent += std::chrono::steady_clock::now() - start;
    }
    ReportAgainstPeriod(state, spent);
}
BENCHMARK(BM_PollWith180KnownIdentifiers)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The rebuild with the recorded lists at their limits, ten known
// parameters recorded and the fuel and user lines in reverse Order, so the
// exchange sort does all its exchanges.
void BM_RebuildWithFullRecordLists(benchmark::State& state)
{
    std::vector<TCANId_V3> found;
    Poll(FullReply(), found);
    std::uint8_t fuelOrder = kMaxCanFuelLines, userOrder = kMaxCanUserLines;
    std::size_t common = 0;
    for (TCANId_V3& e : found) {
        if (IsFuelCanPgn(e.Id) && fuelOrder > 0) {
            e.Used = 1;
            e.Order = --fuelOrder;
        } else if (IsUserCanPgn(e.Id) && userOrder > 0) {
            e.Used = 1;
            e.Order = --userOrder;
        } else if (IsKnownCanPgn(e.Id) && common < 10) {
            e.Used = 1;
            ++common;
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildCanListLines(found));
    const CanListLines l = BuildCanListLines(found);
    if (l.fuel.size() != kMaxCanFuelLines || l.user.size() != kMaxCanUserLines || found[l.fuel[0].entry].Order != 0)
        state.SkipWithError("record lists not as intended");
}
BENCHMARK(BM_RebuildWithFullRecordLists)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
