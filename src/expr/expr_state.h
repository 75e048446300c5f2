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

// One definition of the user-function table: DEF FNA(X)=body.
struct UserFunction {
    std::string name;    // the head up to its "(" (letter case counts)
    std::string params;  // the text inside the head's brackets
    std::string body;    // the expression as written, expanded at each call
};

struct ExprState {
    RandomState random;
    VariableStore variables;
    DeclaredLetters letters;
    std::vector<UserFunction> user_functions;  // definition order, at most kUserFunctionMax
    int user_call_depth = 0;                   // user-function calls in progress
};

}  // namespace quillon
