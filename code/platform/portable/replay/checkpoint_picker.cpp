// The checkpoint choice shared by recording and replaying.
#include "platform/portable/replay/checkpoint_picker.h"

#include "platform/portable/replay/replay_file.h"

namespace portable {
namespace {

uint64_t Signature(const ClientPixels& pixels) {
    if (pixels.bytes == nullptr || pixels.width <= 0 || pixels.height <= 0) {
        return 0;
    }
    const uint8_t* centre =
        pixels.bytes + static_cast<intptr_t>(pixels.height - pixels.height / 2 - 1) * pixels.stride;
    return ReplayHash(centre, static_cast<size_t>(pixels.width) * 3) ^ pixels.Pixel(0, 0);
}

}  // namespace

uint64_t HashPixels(const ClientPixels& pixels) {
    uint64_t hash = ReplayHash(nullptr, 0);
    if (pixels.bytes == nullptr) {
        return hash;
    }
    for (int row = 0; row < pixels.height; ++row) {
        hash = ReplayHash(pixels.bytes + static_cast<intptr_t>(row) * pixels.stride,
                          static_cast<size_t>(pixels.width) * 3, hash);
    }
    return hash;
}

bool CheckpointPicker::Take(uint32_t present, const ClientPixels& pixels, int64_t counter,
                            int64_t frequency, uint64_t* hash) {
    uint64_t signature = Signature(pixels);
    bool take = !any_ || signature != signature_ || counter - checkpointTime_ >= frequency;
    any_ = true;
    signature_ = signature;
    lastPresent_ = present;
    lastTaken_ = take;
    if (take) {
        checkpointTime_ = counter;
        *hash = HashPixels(pixels);
    }
    return take;
}

bool CheckpointPicker::TakeLast(const ClientPixels& pixels, uint32_t* present, uint64_t* hash) {
    if (!any_ || lastTaken_) {
        return false;
    }
    lastTaken_ = true;
    *present = lastPresent_;
    *hash = HashPixels(pixels);
    return true;
}

}  // namespace portable
