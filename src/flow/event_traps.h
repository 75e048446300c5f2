// Mouse event traps: ON MOUSE(n) sets a trap's statement, MOUSE(n) ON/OFF/STOP switches it,
// and the window procedure reports each mouse event here from the event thread.
#pragma once

#include <string_view>

namespace quillon {

struct Runtime;

// Event e (1 to 5) happened while the program runs: queue the trap's statement when the trap is
// on, or note the event as missed when the trap is stopped. Called on the event thread.
void fire_event_trap(Runtime& rt, int event);

// Sets the GOTO or GOSUB statement of trap `event` (1 to 5); reports error 12 when it does not
// fit the trap's buffer. The trap's state is not changed.
void set_mouse_trap(Runtime& rt, int event, std::string_view statement);

}  // namespace quillon
