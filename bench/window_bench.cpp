// The window against the simulated tracker with wire timing on.
//
// Plug-in to "Настройки успешно считаны", measured from the device-arrival
// notification, against the sequence's own floor: every byte of every
// request and reply at 460800 baud (10 bits a byte) plus the pauses the
// protocol mandates (5 ms before each block transaction, 2 ms between
// 64-byte pieces, and the version query's timed read polling at a tenth of
// its 200 ms: once before the reply can have arrived, once to let it
// settle).
//
// The window's longest event-loop stall: the largest gap between ticks of a
// 10 ms timer on the window's thread while a command runs.
#include "app/MainForm.h"
#include "editor/Editor.h"
#include "editor/FieldTable.h"
#include "editor/HiddenEditor.h"
#include "editor/binding/SettingsTransfer.h"
#include "plendoro_sim.h"
#include "services/core/BlockTransfer.h"

#include "../tests/support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace plendoro;

namespace {

constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 460800.0;

double WireMs(double bytes)
{
    return bytes * kBitsPerByte * 1000.0 / kBaud;
}

double PlugInFloorMs(int firmware)
{
    const std::string version = "KVTW-" + std::to_string(firmware / 100) + "." + (firmware % 100 < 10 ? "0" : "") +
                                std::to_string(firmware % 100);
    double bytes = 16 + version.size(); // "FL_READ_VERSION$" and its reply
    double pauses = 2 * 20.0;           // the timed read's two polls
    if (firmware >= 309)
        bytes += 12 + 1; // "GET_HVERSION" and its one byte
    for (BlockId block : BlocksOf(firmware)) {
        bytes += 16 + 16 + BlockSize(block, firmware);
        pauses += 5.0;
    }
    return pauses + WireMs(bytes);
}

// Runs the window's event loop, sleeping only while it has nothing to do
// (unlike QTest::qWaitFor, which naps 10 ms between rounds and would be
// measured as the window's own delay), until the condition holds or 60 s
// have passed.
template <typename Condition>
bool RunUntil(Condition done)
{
    QElapsedTimer t;
    t.start();
    QTimer wake; // a bound on each wait, so the deadline is seen
    wake.start(100);
    while (!done()) {
        if (t.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// A window on a temporary program folder, the tracker unplugged.
struct Window {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    UsbLink link;
    std::unique_ptr<TMainForm> form;

    explicit Window(int firmware, bool readOnPlug)
    {
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
        PlSim_SetWireTiming(1);
        PlSim_SetTurnaroundUs(0);
        PlSim_SetVersions(0, firmware, 4);
        PlSim_Unplug(0);
        QDir(dir.path()).mkpath(QStringLiteral("KVD"));
        TMainForm::Options o;
        o.programFolder = dir.path();
        o.link = &link;
        o.dialogs = &dialogs;
        o.watchDevices = false;
        form = std::make_unique<TMainForm>(o);
        form->show();
        QTest::qWait(150);
        form->findChild<QCheckBox*>(QStringLiteral("cbDontRead"))->setChecked(!readOnPlug);
        Settle();
    }
    void Settle()
    {
        RunUntil([this] { return !form->DeviceBusy(); });
        QCoreApplication::processEvents();
        RunUntil([this] { return !form->DeviceBusy(); });
    }
    void Plug()
    {
        PlSim_Plug(0);
        form->CheckDevicePresence(); // what the arrival notification runs
    }
};

void BM_PlugInToSettingsRead(benchmark::State& state)
{
    const int firmware = static_cast<int>(state.range(0));
    Window w(firmware, true);
    double totalMs = 0;
    for (auto _ : state) {
        PlSim_Unplug(0);
        w.form->CheckDevicePresence();
        w.Settle();
        bool read = false;
        auto c = QObject::connect(w.form.get(), &TMainForm::StatusShown, [&read](const QString& text, bool) {
            if (text == QStringLiteral("Настройки успешно считаны"))
                read = true;
        });
        QElapsedTimer t;
        t.start();
        w.Plug();
        if (!RunUntil([&read] { return read; })) {
            state.SkipWithError("the settings were not read");
            return;
        }
        totalMs += static_cast<double>(t.nsecsElapsed()) / 1e6;
        QObject::disconnect(c);
        w.Settle();
    }
    const double floor = PlugInFloorMs(firmware);
    state.counters["floor_ms"] = floor;
    state.counters["ratio_to_floor"] = totalMs / (static_cast<double>(state.iterations()) * floor);
}

// Runs the command and reports the largest gap between 10 ms ticks.
template <typename Start>
void MeasureStall(benchmark::State& state, Window& w, Start start)
{
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        qint64 last = 0;
        qint64 gap = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = t.elapsed();
            gap = std::max(gap, now - last);
            last = now;
        });
        t.start();
        ticker.start(10);
        start();
        w.Settle();
        ticker.stop();
        worst = std::max(worst, static_cast<double>(gap));
    }
    state.counters["longest_stall_ms"] = worst;
}

void BM_StallDuringRead(benchmark::State& state)
{
    Window w(403, false);
    w.Plug();
    w.Settle();
    MeasureStall(state, w, [&w] { w.form->btnReadSettingsClick(); });
}

void BM_StallDuringWrite(benchmark::State& state)
{
    Window w(403, true);
    w.Plug();
    w.Settle();
    MeasureStall(state, w, [&w] { w.form->btnWriteSettingsClick(); });
}

void BM_StallDuringSilentRead(benchmark::State& state)
{
    Window w(403, false);
    w.Plug();
    w.Settle();
    PlSim_SetFault(0, "silent");
    MeasureStall(state, w, [&w] { w.form->btnReadSettingsClick(); });
}

void BM_StallDuringCanSearch(benchmark::State& state)
{
    Window w(403, false);
    w.Plug();
    w.Settle();
    w.form->Editor().FieldAs<QLineEdit>(QStringLiteral("edCANSearchLen"))->setText(QStringLiteral("2"));
    MeasureStall(state, w, [&w] {
        w.dialogs.answers = {true};
        w.form->Editor().FieldAs<QAbstractButton>(QStringLiteral("btnCANSearch"))->click();
    });
}

} // namespace

// A full comparison as the window makes one: every block of a 4.03 tracker
// decoded into hidden pages, then the table of differences with the editor.
void BM_Comparison(benchmark::State& state)
{
    ScriptedDialogs dialogs;
    HiddenEditor editor(dialogs);
    DeviceIdentity tracker;
    tracker.firmwareVersion = 403;
    editor.PrepareFor(tracker);
    // The editor as a read leaves it: its own blocks decoded once.
    for (const EncodedBlock& b : EncodeAllBlocks(editor.Editor(), 403, 0))
        DecodeBlockIntoEditor(editor.Editor(), b.block, b.bytes, GenerationOf(403), 403, 0, true);
    const std::vector<EncodedBlock> blocks = EncodeAllBlocks(editor.Editor(), 403, 0);
    std::size_t rows = 0;
    for (auto _ : state) {
        HiddenEditor other(dialogs);
        other.PrepareFor(tracker);
        for (const EncodedBlock& b : blocks)
            DecodeBlockIntoEditor(other.Editor(), b.block, b.bytes, GenerationOf(403), 403, 0, true);
        rows = Compare(other.Editor(), 403, editor.Editor(), 403).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["differences"] = static_cast<double>(rows);
}

BENCHMARK(BM_PlugInToSettingsRead)->Arg(403)->Arg(305)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_StallDuringRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_StallDuringWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_StallDuringSilentRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Comparison)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_StallDuringCanSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
