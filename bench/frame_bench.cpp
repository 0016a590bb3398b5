// Whole frames of the game on the headless machine, in the target phase (fill, sprite, BitBlt,
// keyboard): what one turn of the unpaced loop costs, as frames per second; and the same while
// the session is recorded, which may cost at most 5 % more.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "bench_support.h"
#include "config/variable_registry.h"
#include "platform/headless/headless_backend.h"
#include "platform/recorder/recording_backend.h"
#include "projects/taspo/app.h"
#include "projects/taspo/reaction_cycle.h"
#include "projects/taspo/shell/replays/sessions.h"

namespace {

// The game reads button.bmp from its working directory: a fresh folder holds a copy for the
// length of the start-up.
bool StartGame(StartupFailure* failure) {
    char pattern[] = "/tmp/taspo-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::snprintf(failure->reason, sizeof(failure->reason), "no scratch folder");
        return false;
    }
    std::filesystem::path folder = pattern;
    const std::vector<uint8_t>& bytes = ButtonBmpBytes();
    std::ofstream(folder / TargetImageFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    bool started = AppStartup(portable::ModuleInstance(), SW_SHOW, failure);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    return started;
}

void TargetPhaseFrames(benchmark::State& state, bool record) {
    portable::HeadlessBackend backend;
    portable::RecordingBackend recorder(&backend, 0, TaspoWatch);
    portable::ScopedBackend installed(record ? static_cast<portable::Backend*>(&recorder)
                                             : &backend);
    backend.SetRecordFrames(false);
    constexpr int64_t TicksPerSecond = 1 << 20;
    backend.SetCounterFrequency(TicksPerSecond);
    ScopedEngineArena arena;
    if (!arena.Ready()) {
        return state.SkipWithError("no memory for the engine arena");
    }
    StartupFailure failure;
    bool running = StartGame(&failure);
    // Frames of 1/64 second until the target shows; from then on the clock stands still, so the
    // phase never ends however many frames are timed.
    for (int frame = 0; running && !targetShown && frame < 1000; ++frame) {
        backend.AdvanceTicks(TicksPerSecond / 64);
        running = AppFrame();
    }
    if (!running || !targetShown) {
        state.SkipWithError(running ? "the target never showed" : failure.reason);
    } else {
        for (auto _ : state) {
            if (!AppFrame()) {
                state.SkipWithError("the game stopped");
                break;
            }
        }
        if (!targetShown) {
            state.SkipWithError("the target phase ended while timing");
        }
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    AppShutdown();
    ReleaseRegistry();
}

}  // namespace

void RegisterFrameBenchmarks() {
    benchmark::RegisterBenchmark("frame/AppFrame target phase", TargetPhaseFrames, false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("frame/AppFrame target phase, recording", TargetPhaseFrames, true)
        ->Unit(benchmark::kMicrosecond);
}
