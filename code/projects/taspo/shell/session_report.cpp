// Reaction times from the game's events.
#include "projects/taspo/shell/session_report.h"

#include <algorithm>
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

void SessionReport::FalseStart(int64_t) {
    ++falseStarts_;
}

std::string SessionReport::Text() const {
    std::string text;
    std::vector<double> reactions;
    size_t number = 0;
    char line[96];
    for (const TargetResult& target : targets_) {
        // A target still showing when the session ended has no result yet.
        if (targetOpen_ && &target == &targets_.back()) {
            break;
        }
        std::snprintf(line, sizeof(line), "target %zu: shown at %.2f s, ", ++number,
                      target.shownSeconds);
        text += line;
        text += target.hit ? "hit, " + Milliseconds(target.reactionMs) + "\n" : "miss\n";
        if (target.hit) {
            reactions.push_back(target.reactionMs);
        }
    }
    std::sort(reactions.begin(), reactions.end());
    size_t hits = reactions.size();
    std::snprintf(line, sizeof(line), "%zu target%s: %zu hit%s, %zu miss%s", number,
                  number == 1 ? "" : "s", hits, hits == 1 ? "" : "s", number - hits,
                  number - hits == 1 ? "" : "es");
    text += line;
    if (hits == 0) {
        return text + ", no reaction times\n";
    }
    double median =
        hits % 2 == 1 ? reactions[hits / 2] : (reactions[hits / 2 - 1] + reactions[hits / 2]) / 2.0;
    return text + ", median " + Milliseconds(median) + ", best " + Milliseconds(reactions[0]) +
           "\n";
}
