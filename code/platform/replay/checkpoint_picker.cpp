// The checkpoint choice shared by recording and replaying.
#include "platform/replay/checkpoint_picker.h"

#include <cstring>

#include "platform/replay/replay_file.h"

namespace portable {
namespace {

// FNV-1a over 8-byte words, little-endian whatever the machine: an eighth of the multiplications
// of the bytewise hash, for pictures.
uint64_t HashWords(const uint8_t* bytes, size_t size, uint64_t hash) {
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word = 0;
        for (int b = 7; b >= 0; --b) {
            word = (word << 8) | bytes[i + b];
        }
        hash = (hash ^ word) * 1099511628211ull;
    }
    return ReplayHash(bytes + i, size - i, hash);
}

}  // namespace

// Cheaper than a hash, for it runs at every presentation: each 8-byte word of the watched row
// rotated into the sum, so a change anywhere in the row shows; then the watched pixel's colour.
// It is only ever compared with the one before it in the same process, never stored, so the
// machine's byte order does not matter. A picture too small to hold them is all one signature.
uint64_t CheckpointPicker::Signature(const ClientPixels& pixels) const {
    if (pixels.bytes == nullptr || watch_.row < 0 || watch_.row >= pixels.height || watch_.x < 0 ||
        watch_.x >= pixels.width || watch_.y < 0 || watch_.y >= pixels.height) {
        return 0;
    }
    const uint8_t* row =
        pixels.bytes + static_cast<intptr_t>(pixels.height - watch_.row - 1) * pixels.stride;
    size_t size = static_cast<size_t>(pixels.width) * 3;
    uint64_t signature = 0;
    for (size_t i = 0; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, row + i, sizeof(word));
        signature = ((signature << 7) | (signature >> 57)) ^ word;
    }
    for (size_t i = size & ~size_t{7}; i < size; ++i) {
        signature = ((signature << 7) | (signature >> 57)) ^ row[i];
    }
    return signature ^ (uint64_t{pixels.Pixel(watch_.x, watch_.y)} << 32);
}

uint64_t HashPixels(const ClientPixels& pixels) {
    uint64_t hash = ReplayHash(nullptr, 0);
    if (pixels.bytes == nullptr) {
        return hash;
    }
    for (int row = 0; row < pixels.height; ++row) {
        hash = HashWords(pixels.bytes + static_cast<intptr_t>(row) * pixels.stride,
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
