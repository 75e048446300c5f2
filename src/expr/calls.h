// The function-call expander and user-defined functions.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// Replaces every function call and system name in `text` by the value text of its result.
void expand_calls(Runtime& rt, std::string& text);
// Runs the user-defined function `name` (exact name) with the argument text `args`: true and
// its value text in `out` when such a function exists, false otherwise.
bool call_user_function(Runtime& rt, std::string_view name, std::string_view args,
                        std::string& out);
// Empties the user-defined function table (reset).
void reset_user_functions(Runtime& rt);

}  // namespace quillon
