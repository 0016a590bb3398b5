// What the benchmark files share: the committed button.bmp, test images made as both our surfaces
// and 24-bit SDL surfaces with the same pixels, and the registration of each file's benchmarks.
// Engine memory comes from the tests' scoped arena (tests/support).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "render/surface.h"
#include "support/scoped_engine_arena.h"

// The bytes of assets/button.bmp; the program stops with a message when it cannot be read.
const std::vector<uint8_t>& ButtonBmpBytes();

// A surface of engine memory with pixel storage of that size (contents undefined).
Surface* NewSurface(int32_t width, int32_t height);

// button.bmp loaded by our loader.
Surface* LoadButtonSurface();

// A 24-bit SDL surface (blue, green, red in memory, as ours) showing the same picture.
SDL_Surface* NewSdlCopy(const Surface* surface);
SDL_Surface* NewSdlSurface(int32_t width, int32_t height);

void RegisterRenderBenchmarks();
void RegisterMemoryBenchmarks();
void RegisterImageBenchmarks();
void RegisterFrameBenchmarks();
void RegisterHistoryBenchmarks();
void RegisterReplayBenchmarks();

// `taspo_bench --check-child`: replays the committed session once and prints its time in seconds,
// its frames and 1 when it matched.
int RunCheckChild();
