// Mouse event traps: the window procedure reports each mouse event here.
#pragma once

namespace quillon {

struct Runtime;

// Event e (1 to 5) happened while the program runs: queue the trap's statement when the trap is
// on, or note the event as missed when the trap is stopped. Called on the event thread.
void fire_event_trap(Runtime& rt, int event);

}  // namespace quillon
