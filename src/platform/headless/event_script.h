// The --events script of the headless back-end: mouse events, key-state changes and a window
// close, each delivered before a given statement count. One event per line:
//   COUNT move X Y | press BUTTON X Y | release BUTTON X Y | click BUTTON X Y
//   COUNT keydown KEY | keyup KEY | close
// BUTTON is left or right; KEY a letter or digit (that key), a name (space, enter, left, f1 ...)
// or a virtual-key number of two or more digits or in 0x hex; "#" starts a comment line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct ScriptedEvent {
    enum class Kind { Mouse, KeyDown, KeyUp, Close };
    uint64_t before = 0;  // delivered before the statement with this count (1 = the first)
    Kind kind = Kind::Mouse;
    int mouse_event = 0;  // 1 move, 2/3 left/right down, 4/5 left/right up
    int x = 0;
    int y = 0;
    int key = 0;   // virtual key of a key-state change
    int line = 0;  // line of the script, for messages
};

// Parses a script; the events come out in order of their counts (file order among equals).
// Nothing, with `why` naming the line, when a line cannot be read.
std::optional<std::vector<ScriptedEvent>> parse_event_script(std::string_view text,
                                                             std::string* why);

// The virtual-key code of a key name or number, or -1.
int virtual_key_from_name(std::string_view name);

}  // namespace quillon
