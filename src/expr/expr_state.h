// State of the expression engine: the variable store, user-defined functions, the
// declared-letter lists and the random generator.
#pragma once

#include <cstdint>
#include <memory>
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

// Working space of prepared evaluation, kept between statements so that it is not allocated
// again: strings handed out in stack order, and the random numbers a statement has drawn.
struct ExprScratch {
    std::vector<std::unique_ptr<std::string>> strings;
    std::size_t strings_used = 0;
    std::vector<double> random;    // by rnd call, in text order
    std::size_t string_bytes = 0;  // bytes the function results would add to the statement
};

struct ExprState {
    RandomState random;
    VariableStore variables;
    DeclaredLetters letters;
    std::vector<UserFunction> user_functions;  // definition order, at most kUserFunctionMax
    int user_call_depth = 0;                   // user-function calls in progress
    bool abandoning_calls = false;             // an error was trapped inside them: they all give up
    ExprScratch scratch;
};

}  // namespace quillon
