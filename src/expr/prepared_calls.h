// The built-in functions that prepared expressions evaluate themselves: the pure ones (and rnd,
// whose numbers are drawn before the statement runs). Each gives the value that the text of its
// result reads back as; a call that would report an error declines instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

struct Runtime;
struct Atom;
class PreparedExpressions;

enum class PreparedFunction : uint8_t {
    kAbs,
    kAtn,
    kCdbl,
    kCint,
    kCos,
    kCsng,
    kExp,
    kFix,
    kInt,
    kLog,
    kSgn,
    kSin,
    kSqr,
    kTan,
    kRnd,
    kLen,
    kAsc,
    kVal,
    kInstr,  // numeric results
    kChr,
    kLeft,
    kRight,
    kMid,
    kStr,
    kSpace,
    kString,
    kHex,
    kOct,  // string results
};

struct FunctionShape {
    std::string_view name;  // lower case, as the built-in table spells it
    PreparedFunction code;
    int min_args;
    int max_args;
    bool string_result;
};

// The shape of a built-in that prepared expressions evaluate, or nullptr.
const FunctionShape* prepared_function(std::string_view name);
// Whether argument `k` of `count` arguments is a string expression.
bool argument_is_string(PreparedFunction code, int count, int k);

// The value of a call with a numeric result, as its result text reads back; and the escaped
// characters of a call with a string result, appended to `out`. False: the text path decides.
bool call_number(Runtime& rt, const PreparedExpressions& x, const Atom& call, double& value);
bool call_string(Runtime& rt, const PreparedExpressions& x, const Atom& call, std::string& out);

// rnd's number for its argument, as its "%.7f" text reads back (draws from the generator).
double random_call_value(Runtime& rt, int32_t argument);

}  // namespace quillon
