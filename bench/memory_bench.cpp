// The arena against glibc's malloc/free, with a few hundred live blocks of the engine's sizes
// freed and replaced at random; the process-wide generator against std::mt19937.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "bench_support.h"
#include "memory/arena.h"
#include "projects/taspo/app.h"
#include "random/mersenne_twister.h"

namespace {

constexpr int LiveBlocks = 300;
constexpr size_t Steps = 8192;  // a power of two: the step index wraps with a mask

// One step of the pattern: the block in `slot` is freed and a block of `size` bytes takes it.
struct Step {
    uint32_t slot;
    uint32_t size;
};

// Half the requests are the sizes of the game's own records, half anything from 8 to 700 bytes.
std::vector<uint32_t> EngineSizes() {
    return {sizeof(Surface),
            sizeof(Sprite),
            sizeof(FrameTimer),
            sizeof(Keyboard),
            sizeof(AppWindow),
            sizeof(DisplaySettings),
            16,
            24,
            32,
            48};
}

uint32_t DrawSize(std::mt19937& random) {
    static const std::vector<uint32_t> records = EngineSizes();
    if (random() % 2 == 0) {
        return records[random() % records.size()];
    }
    return 8 + random() % 693;
}

struct Pattern {
    std::vector<uint32_t> initial;
    std::vector<Step> steps;
};

const Pattern& AllocationPattern() {
    static const Pattern pattern = [] {
        std::mt19937 random(2024);
        Pattern made;
        for (int i = 0; i < LiveBlocks; ++i) {
            made.initial.push_back(DrawSize(random));
        }
        for (size_t i = 0; i < Steps; ++i) {
            made.steps.push_back({static_cast<uint32_t>(random() % LiveBlocks), DrawSize(random)});
        }
        return made;
    }();
    return pattern;
}

// Runs the pattern once untimed so the heap reaches the fragmentation it keeps, then times
// free+allocate pairs.
template <typename Heap>
void ReplaceBlocks(benchmark::State& state, Heap& heap) {
    const Pattern& pattern = AllocationPattern();
    std::vector<void*> live;
    for (uint32_t size : pattern.initial) {
        live.push_back(heap.Allocate(size));
    }
    for (const Step& step : pattern.steps) {
        heap.Free(live[step.slot]);
        live[step.slot] = heap.Allocate(step.size);
        if (live[step.slot] == nullptr) {
            state.SkipWithError("the heap ran out");
            return;
        }
    }
    size_t index = 0;
    for (auto _ : state) {
        const Step& step = pattern.steps[index++ & (Steps - 1)];
        heap.Free(live[step.slot]);
        live[step.slot] = heap.Allocate(step.size);
        benchmark::DoNotOptimize(live[step.slot]);
    }
    for (void* block : live) {
        heap.Free(block);
    }
    state.SetLabel("300 live blocks, 8..700 bytes");
}

struct ArenaHeap {
    ScopedEngineArena engine;
    void* Allocate(uint32_t size) { return ArenaAllocate(&engine.arena, size); }
    void Free(void* pointer) { ArenaFree(pointer); }
};

struct StandardHeap {
    void* Allocate(uint32_t size) { return std::malloc(size); }
    void Free(void* pointer) { std::free(pointer); }
};

void AllocateArena(benchmark::State& state) {
    ArenaHeap heap;
    ReplaceBlocks(state, heap);
}

void AllocateMalloc(benchmark::State& state) {
    StandardHeap heap;
    ReplaceBlocks(state, heap);
}

// Draws per timed iteration, so the loop's own cost hardly counts.
constexpr int Draws = 1024;
constexpr uint32_t Bound = 10000001;  // what RandomRange asks for

void DrawRandomInt(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < Draws; ++i) {
            benchmark::DoNotOptimize(RandomInt(Bound));
        }
    }
    state.SetItemsProcessed(state.iterations() * Draws);
}

void DrawStandard(benchmark::State& state) {
    std::mt19937 engine(4357);
    for (auto _ : state) {
        for (int i = 0; i < Draws; ++i) {
            benchmark::DoNotOptimize(engine() % Bound);
        }
    }
    state.SetItemsProcessed(state.iterations() * Draws);
}

}  // namespace

void RegisterMemoryBenchmarks() {
    benchmark::RegisterBenchmark("arena/ArenaAllocate+ArenaFree", AllocateArena);
    benchmark::RegisterBenchmark("arena/malloc+free", AllocateMalloc);
    benchmark::RegisterBenchmark("random/RandomInt x1024", DrawRandomInt)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("random/std::mt19937 x1024", DrawStandard)
        ->Unit(benchmark::kMicrosecond);
}
