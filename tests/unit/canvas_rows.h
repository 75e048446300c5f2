// A canvas written out for pixel-exact expectations on tiny canvases.
#pragma once

#include <string>

#include "graphics/canvas.h"

namespace quillon::testing {

// The canvas as rows of digits (pixel values modulo 10), each row ended by '/'.
inline std::string rows(const Canvas& c) {
    std::string out;
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x)
            out += static_cast<char>('0' + c.pixel(x, y) % 10);
        out += '/';
    }
    return out;
}

}  // namespace quillon::testing
