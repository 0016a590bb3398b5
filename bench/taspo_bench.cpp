// The benchmark program: runs every benchmark with a few repetitions, shows the usual table,
// then each of our figures as a ratio of median CPU times to its peer's, against the target set
// for it. CPU time rather than wall time, so that other work on the machine counts less. Any
// Google Benchmark flag given on the command line overrides the defaults below.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

// Ours against a peer. The ratio is our time over theirs; the target is met at or below `limit`
// (0: no target, shown for information).
struct Comparison {
    const char* ours;
    const char* peer;
    double limit;
    const char* target;
};

const Comparison Comparisons[] = {
    {"fill/FillSurface", "fill/memset", 1.5, "within 1.5x of memset"},
    {"fill/FillSurface", "fill/SDL_FillRect", 1.0 / 3, "3x faster"},
    {"fill/FillSurfaceReference", "fill/FillSurface", 0, ""},
    {"blit/button/DrawSprite", "blit/button/SDL_BlitSurface", 0.5, "2x faster"},
    {"blit/button/DrawSprite", "blit/button/SDL_BlitSurface_RLE", 1.0, "no slower"},
    {"blit/discs/DrawSprite", "blit/discs/SDL_BlitSurface", 0.5, "2x faster"},
    {"blit/discs/DrawSprite", "blit/discs/SDL_BlitSurface_RLE", 1.0, "no slower"},
    {"blit/noise/DrawSprite", "blit/noise/SDL_BlitSurface", 0.5, "2x faster"},
    {"blit/noise/DrawSprite", "blit/noise/SDL_BlitSurface_RLE", 1.0, "no slower"},
    {"blit/discs/BlitSpriteReference", "blit/discs/DrawSprite", 0, ""},
    {"arena/ArenaAllocate+ArenaFree", "arena/malloc+free", 1.0, "faster"},
    {"random/RandomInt x1024", "random/std::mt19937 x1024", 1.0, "no slower"},
    {"load/memory/LoadBitmapFile", "load/memory/SDL_LoadBMP", 0, ""},
    {"load/file/LoadBitmapFile", "load/file/SDL_LoadBMP", 0, ""},
    {"frame/AppFrame target phase, recording", "frame/AppFrame target phase", 1.05,
     "at most 5 % slower"},
    {"history/keep a game", "history/write the same bytes", 0, ""},
    {"history/text of 1000 games", "history/read the 1000 files", 0, ""},
    {"history/csv of 1000 games", "history/read the 1000 files", 0, ""},
    {"history/svg of 1000 games", "history/read the 1000 files", 0, ""},
};

// Times that must not be exceeded, in seconds of CPU time: keeping a game as it ends, and each
// view of a thousand kept games.
struct Limit {
    const char* benchmark;
    double seconds;
    const char* target;
};

const Limit Limits[] = {
    {"history/keep a game", 0.005, "<= 5 ms"},
    {"history/text of 1000 games", 0.2, "<= 200 ms"},
    {"history/csv of 1000 games", 0.2, "<= 200 ms"},
    {"history/svg of 1000 games", 0.2, "<= 200 ms"},
};

const char* const FrameBenchmark = "frame/AppFrame target phase";
constexpr double FramesPerSecondTarget = 10000;
const char* const CheckBenchmark = "replay/check the committed session";
constexpr double CheckFramesPerSecondTarget = 50000;

double Seconds(double value, benchmark::TimeUnit unit) {
    switch (unit) {
        case benchmark::kNanosecond:
            return value * 1e-9;
        case benchmark::kMicrosecond:
            return value * 1e-6;
        case benchmark::kMillisecond:
            return value * 1e-3;
        default:
            return value;
    }
}

// The console table, with the median and the coefficient of variation of each benchmark's
// repetitions, in the order the benchmarks were registered however the repetitions ran; then the
// ratios, from each benchmark's median CPU time per iteration (or that of its only run).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            bool spread = run.run_type == Run::RT_Aggregate && run.aggregate_name == "cv";
            if (median || single || spread || run.error_occurred) {
                shown_[run.family_index].push_back(run);
            }
            if ((median || single) && !run.error_occurred) {
                seconds_[run.run_name.function_name] =
                    Seconds(run.GetAdjustedCPUTime(), run.time_unit);
                auto rate = run.counters.find("frames_per_second");
                if (rate != run.counters.end()) {
                    rates_[run.run_name.function_name] = rate->second.value;
                }
            }
        }
    }

    void Finalize() override {
        for (const auto& [family, runs] : shown_) {
            ConsoleReporter::ReportRuns(runs);
        }
        ConsoleReporter::Finalize();
        PrintRatios();
    }

private:
    void PrintRatios() const {
        std::printf("\nOur median CPU time over the peer's (below 1: ours is faster)\n");
        std::printf("%-32s %-34s %8s  %-22s %s\n", "ours", "peer", "ratio", "target", "");
        for (const Comparison& comparison : Comparisons) {
            auto ours = seconds_.find(comparison.ours);
            auto peer = seconds_.find(comparison.peer);
            if (ours == seconds_.end() || peer == seconds_.end()) {
                continue;
            }
            double ratio = ours->second / peer->second;
            const char* verdict = comparison.limit == 0       ? ""
                                  : ratio <= comparison.limit ? "met"
                                                              : "MISSED";
            std::printf("%-32s %-34s %8.3f  %-22s %s\n", comparison.ours, comparison.peer, ratio,
                        comparison.target, verdict);
        }
        auto frame = seconds_.find(FrameBenchmark);
        if (frame != seconds_.end()) {
            double perSecond = 1.0 / frame->second;
            std::printf("%-32s %-34s %8.0f  %-22s %s\n", FrameBenchmark, "frames per second",
                        perSecond, ">= 10000",
                        perSecond >= FramesPerSecondTarget ? "met" : "MISSED");
        }
        for (const Limit& limit : Limits) {
            auto time = seconds_.find(limit.benchmark);
            if (time != seconds_.end()) {
                std::printf("%-32s %-34s %8.2f  %-22s %s\n", limit.benchmark, "milliseconds",
                            time->second * 1e3, limit.target,
                            time->second <= limit.seconds ? "met" : "MISSED");
            }
        }
        // Replayed in a child process: its own frame rate, not this process's CPU time.
        auto check = rates_.find(CheckBenchmark);
        if (check != rates_.end()) {
            std::printf("%-32s %-34s %8.0f  %-22s %s\n", "replay/check", "frames per second",
                        check->second, ">= 50000",
                        check->second >= CheckFramesPerSecondTarget ? "met" : "MISSED");
        }
        std::fflush(stdout);
    }

    std::map<int64_t, std::vector<Run>> shown_;
    std::map<std::string, double> seconds_;
    std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--check-child") {
        return RunCheckChild();
    }
    // Five repetitions of at least 0.1 s each keep the whole run well under two minutes while
    // giving medians that hold still from run to run. The repetitions of all benchmarks run in
    // random order, so a busy moment on the machine does not fall on one side of a comparison.
    std::vector<char*> arguments = {argv[0]};
    char repetitions[] = "--benchmark_repetitions=5";
    char minTime[] = "--benchmark_min_time=0.1";
    char aggregates[] = "--benchmark_display_aggregates_only=true";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.end(), {repetitions, minTime, aggregates, interleave});
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) {
        return 1;
    }
    RegisterRenderBenchmarks();
    RegisterMemoryBenchmarks();
    RegisterImageBenchmarks();
    RegisterFrameBenchmarks();
    RegisterReplayBenchmarks();
    RegisterHistoryBenchmarks();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
