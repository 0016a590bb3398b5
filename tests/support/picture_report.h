// Reaction times read back from the presented pictures alone, by the game's colours: a target
// opens on the first idle frame with the button at the centre and closes on the first hit or miss
// frame. The tests hold the game's own event report against it, target by target.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/portable/backend.h"
#include "projects/taspo/game_constants.h"
#include "projects/taspo/shell/session_report.h"

class PictureReport {
public:
    // Every presented picture, with the counter's latest answer and its frequency.
    void Presented(const portable::ClientPixels& pixels, int64_t counter, int64_t frequency) {
        if (!started_) {
            started_ = true;
            firstCounter_ = counter;
        }
        uint32_t background = pixels.Pixel(0, 0);
        bool button = pixels.Pixel(pixels.width / 2, pixels.height / 2) != background;
        double perSecond = static_cast<double>(frequency);
        if (background == ColourIdle && button && !open_) {
            open_ = true;
            shownAt_ = counter;
            targets_.push_back(
                TargetResult{static_cast<double>(counter - firstCounter_) / perSecond, false, 0.0});
        } else if (open_ && (background == ColourHit || background == ColourMiss)) {
            open_ = false;
            targets_.back().hit = background == ColourHit;
            if (targets_.back().hit) {
                targets_.back().reactionMs =
                    static_cast<double>(counter - shownAt_) * 1000.0 / perSecond;
            }
        }
    }

    const std::vector<TargetResult>& Targets() const { return targets_; }

private:
    bool started_ = false;
    int64_t firstCounter_ = 0;
    bool open_ = false;
    int64_t shownAt_ = 0;
    std::vector<TargetResult> targets_;
};
