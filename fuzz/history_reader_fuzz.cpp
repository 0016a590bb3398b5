// libFuzzer target for the history's game records: arbitrary bytes as a record. Nothing may crash
// the reader; a record it refuses leaves nothing behind and says why in one line, and one it
// takes holds only what a record may hold, and is written back to a text it reads the same.
// Seed it with fuzz/corpus/history.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "projects/taspo/history/game_record.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool Bounded(double value) {
    return std::isfinite(value) && value >= 0 && value < GameRecordMaxSeconds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GameRecord record;
    std::string problem =
        DecodeGameRecord(std::string(reinterpret_cast<const char*>(data), size), &record);
    if (!problem.empty()) {
        Require(problem.find('\n') == std::string::npos && record.targets.empty() &&
                record.falseStarts.empty() && record.version.empty());
        return 0;
    }
    Require(record.targets.size() <= GameRecordMaxEvents &&
            record.falseStarts.size() <= GameRecordMaxEvents && !record.version.empty());
    for (const KeptTarget& target : record.targets) {
        Require(Bounded(target.shownSeconds) && (!target.hit || Bounded(target.reactionMs)));
    }
    GameRecord again;
    Require(DecodeGameRecord(EncodeGameRecord(record), &again).empty() &&
            again.targets.size() == record.targets.size() &&
            again.falseStarts.size() == record.falseStarts.size() &&
            again.version == record.version && again.playedAt == record.playedAt);
    return 0;
}
