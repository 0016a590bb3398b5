// In a wasm build with SIMD the rows compare 64 bytes a step, their differences gathered in one
// vector and tested once; the plain loop, eight bytes a step, finishes each row and is the whole
// comparison elsewhere.
#include "platform/web/shown_picture.h"

#include <cstring>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

namespace portable {
namespace {

#ifdef __wasm_simd128__
// Returns how many bytes from the start are equal in both, in whole steps; fewer than `count`
// when a step differs.
size_t SameBytesSimd(const uint8_t* a, const uint8_t* b, size_t count) {
    size_t at = 0;
    for (; at + 64 <= count; at += 64) {
        v128_t differ = wasm_v128_xor(wasm_v128_load(a + at), wasm_v128_load(b + at));
        for (size_t lane = 16; lane < 64; lane += 16) {
            differ = wasm_v128_or(differ, wasm_v128_xor(wasm_v128_load(a + at + lane),
                                                        wasm_v128_load(b + at + lane)));
        }
        if (wasm_v128_any_true(differ)) {
            break;
        }
    }
    return at;
}
#endif

bool SameBytes(const uint8_t* a, const uint8_t* b, size_t count) {
    size_t at = 0;
#ifdef __wasm_simd128__
    at = SameBytesSimd(a, b, count);
#endif
    for (; at + 8 <= count; at += 8) {
        uint64_t left;
        uint64_t right;
        std::memcpy(&left, a + at, 8);
        std::memcpy(&right, b + at, 8);
        if (left != right) {
            return false;
        }
    }
    for (; at < count; ++at) {
        if (a[at] != b[at]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ShownPicture::Equals(const ClientPixels& pixels) const {
    if (pixels.width != width_ || pixels.height != height_) {
        return false;
    }
    size_t rowBytes = static_cast<size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = pixels.bytes + static_cast<size_t>(y) * pixels.stride;
        if (!SameBytes(row, rows_.data() + y * rowBytes, rowBytes)) {
            return false;
        }
    }
    return true;
}

bool ShownPicture::Replace(const ClientPixels& pixels) {
    if (Equals(pixels)) {
        return false;
    }
    width_ = pixels.width;
    height_ = pixels.height;
    size_t rowBytes = static_cast<size_t>(width_) * 3;
    rows_.resize(rowBytes * static_cast<size_t>(height_));
    for (int y = 0; y < height_; ++y) {
        std::memcpy(rows_.data() + y * rowBytes,
                    pixels.bytes + static_cast<size_t>(y) * pixels.stride, rowBytes);
    }
    return true;
}

void ShownPicture::Forget() {
    width_ = 0;
    height_ = 0;
    rows_.clear();
}

}  // namespace portable
