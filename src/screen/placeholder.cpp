// Placeholder bodies until the character screen and window procedure land.
#include "host/runtime.h"
#include "screen/char_screen.h"
#include "screen/window_procedure.h"

namespace quillon {

void write_text(Runtime& rt, std::string_view text) {
    rt.platform.screen_output(text);
}
void layout_and_draw(Runtime&, int32_t, int32_t) {}
void repaint_window(Runtime&) {}
void clear_screen_text(Runtime&) {}

void WindowProcedure::paint() {}
void WindowProcedure::resized(int, int) {}
void WindowProcedure::key_char(uint8_t) {}
void WindowProcedure::arrow_key(uint8_t) {}
void WindowProcedure::mouse(int, int, int) {}
void WindowProcedure::focus(bool) {}
void WindowProcedure::close_requested() {}
void WindowProcedure::copy_surface(std::function<void(const PixelView&)>) {}
bool WindowProcedure::caret(int&, int&) {
    return false;
}

}  // namespace quillon
