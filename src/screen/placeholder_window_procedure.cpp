// Placeholder bodies until the window procedure lands; this file is removed then.
#include "graphics/picture.h"
#include "host/runtime.h"
#include "screen/char_screen.h"
#include "screen/window_procedure.h"

namespace quillon {

void WindowProcedure::paint() {
    std::lock_guard lock(rt_.graphics.display_mutex);
    repaint_window(rt_);
}
void WindowProcedure::resized(int width, int height) {
    resize_surface(rt_, width, height);
}
void WindowProcedure::key_char(uint8_t) {}
void WindowProcedure::arrow_key(uint8_t) {}
void WindowProcedure::mouse(int, int, int) {}
void WindowProcedure::focus(bool) {}
void WindowProcedure::close_requested() {}
void WindowProcedure::copy_surface(std::function<void(const PixelView&)> present) {
    present_surface(rt_, present);
}
bool WindowProcedure::caret(int&, int&) {
    return false;
}

}  // namespace quillon
