// Assignment and declarations.
#pragma once

#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// target=expression: evaluates and stores.
void assign(Runtime& rt, std::string_view text);
// Empties the declared-letter lists (reset).
void reset_declared_letters(Runtime& rt);

void let_statement(Runtime& rt, StatementContext& ctx);

}  // namespace quillon
