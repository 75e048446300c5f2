// The expression evaluators: every statement evaluates its argument text through these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// A numeric expression to a double (0 after an error).
double eval_numeric(Runtime& rt, std::string_view text);
// A string expression to string value text, quotes included.
void eval_string(Runtime& rt, std::string_view text, std::string& out);
// One comparison, or a bare numeric expression: -1 true, 0 false.
int32_t eval_comparison(Runtime& rt, std::string_view text);
// A condition: comparisons joined by logical operators; nonzero is true.
int32_t eval_condition(Runtime& rt, std::string_view text);
// The flat numeric evaluator: no brackets, arrays or comparisons left in `text`.
double reduce_numeric(Runtime& rt, std::string_view text);

// Truncation toward zero to a 32-bit integer, keeping the low 32 bits.
int32_t truncate_to_int32(double value);
// Truncation toward zero when the whole number fits 32 bits; false (and `out` untouched)
// for a value outside that range, so that a huge value never wraps into a small one.
bool truncate_checked(double value, int32_t& out);
// A numeric expression truncated toward zero to a count, time, position or code: a value
// outside the 32-bit range is error 5 and reads as 0.
int32_t eval_integer(Runtime& rt, std::string_view text);
// A condition's number as an integer, truncated toward zero; a value beyond 32 bits stays at
// the nearer end, so that a huge number is still true rather than wrapping to 0.
int32_t condition_value(double value);

}  // namespace quillon
