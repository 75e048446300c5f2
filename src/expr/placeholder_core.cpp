// Placeholder bodies until the expression core lands; this file is removed then.
#include <cstdlib>

#include "expr/assignment.h"
#include "expr/evaluator.h"
#include "expr/variables.h"
#include "host/runtime.h"

namespace quillon {

double eval_numeric(Runtime&, std::string_view text) {
    return std::strtod(std::string(text).c_str(), nullptr);
}
void eval_string(Runtime&, std::string_view text, std::string& out) { out.assign(text); }
int32_t eval_comparison(Runtime& rt, std::string_view text) {
    return truncate_to_int32(eval_numeric(rt, text));
}
int32_t eval_condition(Runtime& rt, std::string_view text) { return eval_comparison(rt, text); }
double reduce_numeric(Runtime& rt, std::string_view text) { return eval_numeric(rt, text); }
int32_t truncate_to_int32(double value) {
    return static_cast<int32_t>(static_cast<int64_t>(value));
}
void assign(Runtime&, std::string_view) {}
void reset_declared_letters(Runtime&) {}
void let_statement(Runtime&, StatementContext&) {}
void reset_variables(Runtime&) {}

}  // namespace quillon
