// The operator passes of the flat numeric evaluator, shared with prepared expressions: one
// precedence level per pass, each applied left to right over the operand and operator lists.
#pragma once

#include <cstdint>

#include "host/limits.h"

namespace quillon {

// The operand and operator lists of one evaluation: operator i joins operands i and i+1.
struct FlatLists {
    double operands[kOperandMax];
    char operators[kOperandMax];
    int operand_count = 0;
    int operator_count = 0;
};

// The passes, in the order they run; a set of them is a bit mask.
inline constexpr uint8_t kPassPower = 1;    // ^
inline constexpr uint8_t kPassProduct = 2;  // * / \ together
inline constexpr uint8_t kPassModulo = 4;   // MOD
inline constexpr uint8_t kPassSum = 8;      // + - together
inline constexpr uint8_t kPassAnd = 16;     // AND
inline constexpr uint8_t kPassOr = 32;      // OR
inline constexpr uint8_t kPassXor = 64;     // XOR
inline constexpr uint8_t kAllPasses = 127;

// The pass an operator byte belongs to (0 for none).
uint8_t pass_of(char op);

// How an operation ended. Nothing is reported here: the caller does that (error 16 for a
// division by zero, after truncation for \ and MOD; error 5 for a result beyond the double
// range or none at all, such as a fractional power of a negative number).
enum class PassResult { kDone, kDivisionByZero, kNotFinite };

// One binary operation.
PassResult apply_operator(char op, double left, double right, double& result);

// Runs the passes in `passes` over the lists, leaving one operand; stops at the first failure.
PassResult run_passes(FlatLists& lists, uint8_t passes);

}  // namespace quillon
