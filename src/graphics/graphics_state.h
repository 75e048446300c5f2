// State of the graphics subsystem: the picture (display size), the window surface (client
// size), the current text colours, the image table and the last point of the figures.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "graphics/canvas.h"

namespace quillon {

inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr int32_t kTransparent = -1;

struct GraphicsState {
    // Guards the picture, the window surface and the character screen (text, colours, cursor,
    // caret, input line): the worker writes them, the event thread repaints and edits them.
    std::mutex display_mutex;
    Canvas picture;  // the display's size; every drawing statement draws here too
    Canvas surface;  // the window's client area; what the back-end presents
    uint32_t text_colour = kWhite;
    int32_t background_colour = kBlack;  // an RGB value, or kTransparent

    // Used by the worker only, so outside the mutex: images numbered from 0 in the order they
    // were made (at most kImageSlots until the program ends or CLEARs), the pixels they hold
    // together, and the point a LINE without a start point draws from.
    std::vector<Canvas> images;
    int64_t image_pixels = 0;
    int32_t last_x = 0;
    int32_t last_y = 0;
};

}  // namespace quillon
