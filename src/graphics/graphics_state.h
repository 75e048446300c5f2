// State of the graphics subsystem: the picture (display size), the window surface (client
// size) and the current text colours.
#pragma once

#include <cstdint>
#include <mutex>

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
};

}  // namespace quillon
