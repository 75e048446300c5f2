// Placeholder bodies until the window procedure lands; this file is removed then.
#include "host/runtime.h"
#include "screen/window_procedure.h"

namespace quillon {

void WindowProcedure::paint() {}
void WindowProcedure::resized(int, int) {}
void WindowProcedure::key_char(uint8_t) {}
void WindowProcedure::arrow_key(uint8_t) {}
void WindowProcedure::mouse(int, int, int) {}
void WindowProcedure::focus(bool) {}
void WindowProcedure::close_requested() {}
void WindowProcedure::copy_surface(std::function<void(const PixelView&)>) {}
bool WindowProcedure::caret(int&, int&) { return false; }

}  // namespace quillon
