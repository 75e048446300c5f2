// Placeholder bodies until the character screen lands; this file is removed then.
#include "host/runtime.h"
#include "screen/char_screen.h"

namespace quillon {

void write_text(Runtime& rt, std::string_view text) { rt.platform.screen_output(text); }
void layout_and_draw(Runtime&, int32_t, int32_t) {}
void repaint_window(Runtime&) {}
void clear_screen_text(Runtime&) {}

}  // namespace quillon
