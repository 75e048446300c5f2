// The function-call expander and user-defined functions: before a handler sees its argument
// text, every function call and system name in it is replaced by the value text of its result.
#pragma once

#include <string>
#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// Replaces every function call and system name in `text` by the value text of its result,
// innermost call first. Reports error 1 for unbalanced brackets.
void expand_calls(Runtime& rt, std::string& text);

// Evaluates one call written as name(arguments) into `out`; a name that is neither built-in
// nor user-defined gives the call text back with its brackets hidden.
void call_function(Runtime& rt, std::string_view call, std::string& out);

// Calls the user-defined function `name` (letter case counts) with `args`; false when no
// function of that name is defined.
bool call_user_function(Runtime& rt, std::string_view name, std::string_view args,
                        std::string& out);

// The value of inkey$: the last key as a one-character string value, or "" when none.
void read_key_text(Runtime& rt, std::string& out);

// Turns the hidden brackets 0x01 a and 0x01 b back into "(" and ")", in place.
void restore_hidden_brackets(std::string& text);

// Empties the user-defined function table (reset).
void reset_user_functions(Runtime& rt);

// DEF FN: stores a definition head=body in the user-function table.
void define_function(Runtime& rt, StatementContext& ctx);

}  // namespace quillon
