// State of the expression engine: the variable store, user-defined functions, the
// declared-letter lists and the random generator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "expr/variable_store.h"

namespace quillon {

struct RandomState {
    uint32_t state = 0;  // linear congruential generator
    int32_t seed = 0;    // remembered by RANDOMIZE
    float last = 0.0f;   // the last random number
};

struct ExprState {
    RandomState random;
    VariableStore variables;
    DeclaredLetters letters;
};

}  // namespace quillon
