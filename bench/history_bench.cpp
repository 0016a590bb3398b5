// The history's costs: keeping a game when it ends, beside writing the same bytes to one file
// with nothing else; and --history, --csv and --svg over a thousand kept games, beside reading
// the same thousand files whole.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "bench_support.h"
#include "projects/taspo/history/history_store.h"
#include "projects/taspo/history/history_views.h"

namespace {

namespace fs = std::filesystem;

// A game of a minute: 30 targets, every fifth missed, two false starts; and its replay's size.
GameRecord MinuteGame(int64_t playedAt) {
    GameRecord record;
    record.playedAt = playedAt;
    record.version = "1.0.0";
    for (int i = 0; i < 30; ++i) {
        record.targets.push_back({1.0 + 2.0 * i, i % 5 != 4, 200.0 + (i * 37) % 150});
    }
    record.falseStarts = {12.5, 40.25};
    return record;
}
const std::vector<uint8_t> MinuteReplay(4 * 3600, 0x5A);

fs::path Scratch(const char* name) {
    fs::path folder = fs::temp_directory_path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void KeepAGame(benchmark::State& state) {
    fs::path folder = Scratch("taspo-bench-keep");
    HistoryStore store(folder.string() + "/");
    int64_t playedAt = 1700000000;
    for (auto _ : state) {
        if (!store.Keep(MinuteGame(playedAt++), &MinuteReplay).empty()) {
            state.SkipWithError("the game was not kept");
            break;
        }
    }
    fs::remove_all(folder);
}

void WriteTheSameBytes(benchmark::State& state) {
    fs::path folder = Scratch("taspo-bench-write");
    std::string text = EncodeGameRecord(MinuteGame(0));
    int64_t n = 0;
    for (auto _ : state) {
        for (const auto& [bytes, size] : {std::pair<const void*, size_t>{text.data(), text.size()},
                                          {MinuteReplay.data(), MinuteReplay.size()}}) {
            FILE* file = std::fopen((folder / std::to_string(n++)).string().c_str(), "wb");
            std::fwrite(bytes, 1, size, file);
            std::fclose(file);
        }
    }
    fs::remove_all(folder);
}

// A thousand kept games, made once.
const std::string& ThousandGames() {
    static const std::string folder = [] {
        fs::path path = Scratch("taspo-bench-history");
        HistoryStore store(path.string() + "/");
        for (int64_t i = 0; i < 1000; ++i) {
            store.Keep(MinuteGame(1700000000 + i * 3600), nullptr);
        }
        return path.string() + "/";
    }();
    return folder;
}

template <std::string (*View)(const std::vector<KeptGame>&)>
void ShowThousandGames(benchmark::State& state) {
    HistoryStore store(ThousandGames());
    for (auto _ : state) {
        std::vector<std::string> problems;
        std::string shown = View(store.Load(&problems));
        benchmark::DoNotOptimize(shown.data());
    }
}

void ReadThousandFiles(benchmark::State& state) {
    const std::string& folder = ThousandGames();
    for (auto _ : state) {
        size_t bytes = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            bytes += std::string(std::istreambuf_iterator<char>(in), {}).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

}  // namespace

void RegisterHistoryBenchmarks() {
    benchmark::RegisterBenchmark("history/keep a game", KeepAGame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("history/write the same bytes", WriteTheSameBytes)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("history/text of 1000 games", ShowThousandGames<HistoryText>)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("history/csv of 1000 games", ShowThousandGames<HistoryCsv>)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("history/svg of 1000 games", ShowThousandGames<HistorySvg>)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("history/read the 1000 files", ReadThousandFiles)
        ->Unit(benchmark::kMillisecond);
}
