// How fast --check replays: the committed session played back without a window, as frames per
// second. The generator cannot be reset and this program has drawn from it already, so each run
// is a fresh process: this very program, started as `taspo_bench --check-child`, which times the
// replay alone, in CPU time as the other figures are, and writes its figures to standard output.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "bench_support.h"
#include "platform/replayer/replay_backend.h"
#include "projects/taspo/app.h"
#include "projects/taspo/shell/replays/sessions.h"

namespace {

void CheckSpeed(benchmark::State& state) {
    // Through the shell, for which /proc/self/exe would be the shell itself.
    std::string command =
        std::filesystem::read_symlink("/proc/self/exe").string() + " --check-child";
    double frames = 0;
    double seconds = 0;
    for (auto _ : state) {
        FILE* child = popen(command.c_str(), "r");
        double childSeconds = 0;
        double childFrames = 0;
        int matched = 0;
        bool read = child != nullptr &&
                    std::fscanf(child, "%lf %lf %d", &childSeconds, &childFrames, &matched) == 3;
        if (child != nullptr) {
            pclose(child);
        }
        if (!read || matched != 1) {
            state.SkipWithError(read ? "the session did not replay to its checkpoints"
                                     : "the replaying process gave no figures");
            break;
        }
        state.SetIterationTime(childSeconds);
        frames += childFrames;
        seconds += childSeconds;
    }
    if (seconds > 0) {
        state.counters["frames_per_second"] = frames / seconds;
    }
}

}  // namespace

int RunCheckChild() {
    // The game reads button.bmp from its working directory.
    char pattern[] = "/tmp/taspo-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return 1;
    }
    std::filesystem::path folder = pattern;
    const std::vector<uint8_t>& bytes = ButtonBmpBytes();
    std::ofstream(folder / TargetImageFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::filesystem::current_path(folder);
    uint64_t button = 0;
    portable::Replay replay;
    bool ready = portable::HashFile(TargetImageFile, &button) &&
                 portable::ReadReplayFile(TASPO_REPLAY_FIXTURE, button, &replay).empty();
    portable::ReplayBackend player(&replay, nullptr, TaspoWatch);
    std::clock_t start = std::clock();
    if (ready) {
        portable::ScopedBackend installed(&player);
        RunTaspo(portable::ModuleInstance(), SW_SHOWDEFAULT);
    }
    double elapsed = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    player.Finish();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(folder);
    std::printf("%.9f %zu %d\n", elapsed, replay.frames.size(), ready && player.Matched() ? 1 : 0);
    return 0;
}

void RegisterReplayBenchmarks() {
    benchmark::RegisterBenchmark("replay/check the committed session", CheckSpeed)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}
