// Reaction times from the phases' colours.
#include "platform/portable/replay/session_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace portable {
namespace {

// The game's backgrounds (its game_constants.h, which the layer below it cannot include): idle
// grey, the hit's light blue and the miss's dark red.
constexpr uint32_t IdleColour = 0x808080;
constexpr uint32_t HitColour = 0xC0C0FF;
constexpr uint32_t MissColour = 0x800000;

// Rounded half away from zero, alike on every build.
std::string Milliseconds(double ms) {
    return std::to_string(std::llround(ms)) + " ms";
}

}  // namespace

void SessionReport::Presented(const ClientPixels& pixels, int64_t counter, int64_t frequency) {
    if (pixels.bytes == nullptr || pixels.width <= 0 || pixels.height <= 0 || frequency <= 0) {
        return;
    }
    if (!started_) {
        started_ = true;
        firstCounter_ = counter;
    }
    uint32_t background = pixels.Pixel(0, 0);
    bool button = pixels.Pixel(pixels.width / 2, pixels.height / 2) != background;
    double perSecond = static_cast<double>(frequency);
    if (background == IdleColour && button && !targetOpen_) {
        targetOpen_ = true;
        targetCounter_ = counter;
        targets_.push_back(
            TargetResult{static_cast<double>(counter - firstCounter_) / perSecond, false, 0.0});
    } else if (targetOpen_ && (background == HitColour || background == MissColour)) {
        targetOpen_ = false;
        targets_.back().hit = background == HitColour;
        if (targets_.back().hit) {
            targets_.back().reactionMs =
                static_cast<double>(counter - targetCounter_) * 1000.0 / perSecond;
        }
    }
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

}  // namespace portable
