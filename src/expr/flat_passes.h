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

// One binary operation; false on division by zero (after truncation for \ and MOD). Nothing is
// reported: the caller does that.
bool apply_operator(char op, double left, double right, double& result);

// Runs the passes in `passes` over the lists, leaving one operand; false on division by zero,
// and with `finite_only` also when a result is not a finite number.
bool run_passes(FlatLists& lists, uint8_t passes, bool finite_only = false);

}  // namespace quillon
