// Reaction times from the game's events.
#include "projects/taspo/shell/session_report.h"

#include <cmath>
#include <cstdio>

namespace {

// Rounded half away from zero, alike on every build.
std::string Milliseconds(double ms) {
    return std::to_string(std::llround(ms)) + " ms";
}

}  // namespace

void SessionReport::Started(int64_t counter, int64_t ticksPerSecond) {
    firstCounter_ = counter;
    perSecond_ = ticksPerSecond > 0 ? static_cast<double>(ticksPerSecond) : 1.0;
}

void SessionReport::TargetShown(int64_t counter) {
    targetOpen_ = true;
    targets_.push_back(TargetResult{Seconds(counter - firstCounter_), false, 0.0});
}

void SessionReport::Hit(int64_t, int64_t reactionTicks) {
    if (!targetOpen_) {
        return;
    }
    targetOpen_ = false;
    targets_.back().hit = true;
    targets_.back().reactionMs = static_cast<double>(reactionTicks) * 1000.0 / perSecond_;
}

void SessionReport::Missed(int64_t) {
    targetOpen_ = false;
}

void SessionReport::FalseStart(int64_t counter) {
    falseStarts_.push_back(Seconds(counter - firstCounter_));
}

GameRecord SessionReport::Record() const {
    GameRecord record;
    record.targets = targets_;
    // A target still showing when the game ended has no result.
    if (targetOpen_) {
        record.targets.pop_back();
    }
    record.falseStarts = falseStarts_;
    return record;
}

Measures SessionReport::Measured() const {
    return MeasureRecord(Record());
}

std::string SessionReport::Text() const {
    std::string text;
    char line[96];
    GameRecord record = Record();
    size_t number = 0;
    for (const TargetResult& target : record.targets) {
        std::snprintf(line, sizeof(line), "target %zu: shown at %.2f s, ", ++number,
                      target.shownSeconds);
        text += line;
        text += target.hit ? "hit, " + Milliseconds(target.reactionMs) + "\n" : "miss\n";
    }
    Measures measures = MeasureRecord(record);
    std::snprintf(line, sizeof(line), "%u target%s: %u hit%s, %u miss%s", measures.targets,
                  measures.targets == 1 ? "" : "s", measures.hits, measures.hits == 1 ? "" : "s",
                  measures.misses, measures.misses == 1 ? "" : "es");
    text += line;
    if (measures.hits == 0) {
        return text + ", no reaction times\n";
    }
    return text + ", median " + Milliseconds(measures.medianMs) + ", best " +
           Milliseconds(measures.bestMs) + "\n";
}
