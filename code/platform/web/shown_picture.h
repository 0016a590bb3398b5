// The picture the canvas shows, kept as the window's client pixels it came from. The game puts a
// frame every step, but its picture changes only with the game's phase; comparing the new
// frame's rows with these costs far less than converting and putting an equal one again.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/portable/backend.h"

namespace portable {

class ShownPicture {
public:
    // Keeps `pixels` as the picture shown; returns false when it is the one already shown, so
    // the canvas need not be touched. Row padding is not part of the picture.
    bool Replace(const ClientPixels& pixels);
    // After this the next picture is new, whatever it holds.
    void Forget();

private:
    bool Equals(const ClientPixels& pixels) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> rows_;  // width_ * 3 bytes a row, in the client pixels' order
};

}  // namespace portable
