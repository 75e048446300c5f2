// Jumps and subroutines: finding a jump target in the program text, GOTO, GOSUB and RETURN,
// and the guard that handlers use after an evaluation that may have reported an error.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

struct Runtime;

// The jump position of a target (a line number, or a label written with "*"): the byte just
// before the line feed that precedes the target line, or -1 for the first line. A line number
// finds the first line numbered at least as high. Reports error 1 or 3 and returns nothing when
// there is no such target.
std::optional<int32_t> find_jump_target(Runtime& rt, std::string_view target);

// GOTO and GOSUB to a target text: what the statements, ON and the traps do.
void jump_to(Runtime& rt, std::string_view target);
void call_subroutine(Runtime& rt, std::string_view target);

// RETURN with at least one entry on the stack: back to where its GOSUB was.
void return_from_subroutine(Runtime& rt);

// True when an evaluation reported an error: the program stopped, or an error-trap jump moved
// the position away from `position_before`. The handler then returns at once, so that the
// trap's jump stays in force.
bool evaluation_failed(const Runtime& rt, int32_t position_before);

}  // namespace quillon
