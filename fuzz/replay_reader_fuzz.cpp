// libFuzzer target for the replay reader: arbitrary bytes as a replay file. Nothing may crash it
// or make it reserve memory by a count the bytes cannot hold; a file it takes must be one whose
// frames index the flat arrays in order, as the replay backend relies on. Seed it with
// fuzz/corpus/replay, whose files name FuzzButtonHash as their button.bmp.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/replay/replay_file.h"

namespace {

constexpr uint64_t FuzzButtonHash = 0x5441535052455031ull;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    portable::Replay replay;
    std::string problem = portable::DecodeReplay(data, size, FuzzButtonHash, &replay);
    if (!problem.empty()) {
        Require(problem.find('\n') == std::string::npos && replay.frames.empty());
        return 0;
    }
    portable::ReplayFrame previous{0, 0, 0, 0, 0};
    for (const portable::ReplayFrame& frame : replay.frames) {
        Require(frame.counterEnd >= previous.counterEnd && frame.keyEnd >= previous.keyEnd &&
                frame.focusEnd >= previous.focusEnd && frame.messageEnd >= previous.messageEnd &&
                frame.quitEnd >= previous.quitEnd);
        previous = frame;
    }
    Require(previous.counterEnd == replay.counters.size() &&
            previous.keyEnd == replay.keys.size() && previous.focusEnd == replay.focus.size() &&
            previous.messageEnd == replay.messages.size() &&
            previous.quitEnd == replay.quits.size());
    for (size_t i = 1; i < replay.counters.size(); ++i) {
        Require(replay.counters[i] >= replay.counters[i - 1]);
    }
    return 0;
}
