// State of the text screen: the character screen with its colours, cursor, caret and view
// limit, the input line an input statement waits for, and the keys and mouse events the
// window procedure records for the program. Guarded by GraphicsState::display_mutex unless
// atomic.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "host/limits.h"
#include "platform/platform.h"

namespace quillon {

struct ViewLimit {
    bool on = false;
    int width = 0;
    int height = 0;
};

struct ScreenState {
    std::string text;  // at most kScreenTextMax bytes, lines separated by line feeds
    int32_t cursor = 0;
    std::array<uint32_t, kScreenTextMax + 1> text_colours{};
    std::array<int32_t, kScreenTextMax + 1> background_colours{};
    int caret_x = 0;
    int caret_y = 0;
    ViewLimit view;
    bool surface_stale = false;  // scrolled since the surface was last repainted
    std::unique_ptr<Font> font;  // the runtime's font

    std::string input_line;  // escape-encoded bytes typed while an input statement waits
    std::atomic<bool> input_waiting{false};
    std::atomic<bool> caret_flag{false};

    std::atomic<int> last_key{-1};  // last typed byte or arrow code; -1 none
    std::atomic<int> mouse_x{0};
    std::atomic<int> mouse_y{0};
    std::atomic<int> mouse_event{0};
};

}  // namespace quillon
