// Drawing into both canvases: every drawing statement draws into the window surface (seen at
// once) and into the picture (from which the window is repainted).
#pragma once

#include <mutex>

#include "host/runtime.h"

namespace quillon {

// Runs `draw` on the window surface and then on the picture, holding the display mutex, and
// asks the back-end to show the surface (at most once per display refresh, however many
// statements draw meanwhile).
template <typename Draw>
void draw_on_both(Runtime& rt, Draw&& draw) {
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        draw(rt.graphics.surface);
        draw(rt.graphics.picture);
    }
    rt.platform.present();
}

}  // namespace quillon
