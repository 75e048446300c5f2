// Assignment and declarations: LET and plain assignments, DIM, ERASE and the type declaration
// by initial letter. User-function definitions live with the function-call expander.
#pragma once

#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// target=expression: evaluates the expression for the target's type and stores it.
void assign(Runtime& rt, std::string_view text);
// Empties the declared-letter lists (reset).
void reset_declared_letters(Runtime& rt);

// Statement handlers.
void let_statement(Runtime& rt, StatementContext& ctx);    // LET
void dim_arrays(Runtime& rt, StatementContext& ctx);       // DIM
void erase_variables(Runtime& rt, StatementContext& ctx);  // ERASE
void declare_letters(Runtime& rt, StatementContext& ctx);  // int / sng / str LETTERS

}  // namespace quillon
