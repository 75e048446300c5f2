// The function-call expander and user-defined functions.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// Replaces every function call and system name in `text` by the value text of its result.
void expand_calls(Runtime& rt, std::string& text);
// Empties the user-defined function table (reset).
void reset_user_functions(Runtime& rt);

}  // namespace quillon
