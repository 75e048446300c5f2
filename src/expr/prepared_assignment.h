// Assignments prepared ahead: the target bound to its slot (or string store entry) and the
// value's expression parsed, for assignment statements and for FOR's start and increment.
#pragma once

#include <memory>
#include <string_view>

#include "expr/prepared_expr.h"

namespace quillon {

struct Runtime;
class PreparedShape;

struct PreparedAssignment {
    PreparedExpressions::Target target;
    ExprRef value;

    // From assignment text without blanks ("target=expression"); false for the text path.
    bool prepare(Runtime& rt, PreparedExpressions& x, std::string_view text);
    // Evaluates and stores as assign() does; false, with nothing changed, when the text path
    // must run instead (`shape` says whether the statement's expanded text fits).
    bool run(Runtime& rt, const PreparedShape& shape) const;

  private:
    bool store_number(Runtime& rt, const PreparedShape& shape, double number,
                      const Subscripts& subs) const;
};

// The assignment statement, with or without LET.
std::unique_ptr<PreparedShape> prepare_assignment(Runtime& rt, std::string_view text);

}  // namespace quillon
