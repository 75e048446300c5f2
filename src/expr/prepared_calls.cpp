// Built-in functions in prepared expressions. Each body does what its text-path body in
// builtins.cpp or string_functions.cpp does, and gives the value its result text reads back
// as: "%g" results keep six digits, "%d" results are whole, "%.7f" results go through their
// seven decimals. Where the text-path body would report an error, this one declines.
#include "expr/prepared_calls.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "expr/evaluator.h"
#include "expr/prepared_expr.h"
#include "expr/random.h"
#include "expr/value_text.h"
#include "expr/variable_slots.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

using F = PreparedFunction;

constexpr double kCsngPlain = 1e40;       // csng's seven-decimal text stays short below this
constexpr std::size_t kCsngTextMax = 64;  // room for that text

constexpr FunctionShape kFunctions[] = {
    {"abs", F::kAbs, 1, 1, false},       {"atn", F::kAtn, 1, 1, false},
    {"cdbl", F::kCdbl, 1, 1, false},     {"cint", F::kCint, 1, 1, false},
    {"cos", F::kCos, 1, 1, false},       {"csng", F::kCsng, 1, 1, false},
    {"exp", F::kExp, 1, 1, false},       {"fix", F::kFix, 1, 1, false},
    {"int", F::kInt, 1, 1, false},       {"log", F::kLog, 1, 1, false},
    {"sgn", F::kSgn, 1, 1, false},       {"sin", F::kSin, 1, 1, false},
    {"sqr", F::kSqr, 1, 1, false},       {"tan", F::kTan, 1, 1, false},
    {"rnd", F::kRnd, 0, 1, false},       {"len", F::kLen, 1, 1, false},
    {"asc", F::kAsc, 1, 1, false},       {"val", F::kVal, 1, 1, false},
    {"instr", F::kInstr, 2, 3, false},   {"chr$", F::kChr, 1, 1, true},
    {"left$", F::kLeft, 2, 2, true},     {"right$", F::kRight, 2, 2, true},
    {"mid$", F::kMid, 2, 3, true},       {"str$", F::kStr, 1, 1, true},
    {"space$", F::kSpace, 1, 1, true},   {"spc", F::kSpace, 1, 1, true},
    {"string$", F::kString, 2, 2, true}, {"hex$", F::kHex, 1, 1, true},
    {"oct$", F::kOct, 1, 1, true},
};

// A "%g" result as its text reads back.
bool general(double value, double& out) {
    if (!std::isfinite(value)) return false;
    out = round_general(value);
    return true;
}

// A whole number written with "%d" when it fits 32 bits, else with "%g".
bool whole(double value, double& out) {
    if (value >= INT32_MIN && value <= INT32_MAX) {
        out = static_cast<int32_t>(value);  // "%d" has no negative zero
        return true;
    }
    return general(value, out);
}

// Appends raw bytes as escaped string characters (encode_string without its quotes).
void encode(std::string_view raw, std::string& out) {
    for (char c : raw)
        encode_char(static_cast<uint8_t>(c), out, false);
}

bool val_digit(char c, int base) {
    if (c >= '0' && c <= '9') return true;
    if (base == 10) return c == '.';
    return base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
}

}  // namespace

// Reads the arguments of one call in the order the text-path bodies read them.
struct CallEvaluator {
    Runtime& rt;
    const PreparedExpressions& x;
    const Atom& call;

    ExprRef arg(int k) const { return x.arguments_[call.index + static_cast<uint32_t>(k)]; }
    bool number(int k, double& value) const { return x.number(rt, arg(k), value); }
    // An integer argument; beyond 32 bits it is error 5.
    bool integer(int k, int32_t& value) const {
        double number = 0.0;
        return x.number(rt, arg(k), number) && truncate_checked(number, value);
    }
    // A string argument's real bytes.
    bool raw(int k, std::string& bytes) const {
        ScratchString escaped(rt);
        return x.string(rt, arg(k), escaped.get()) && decode_escapes(escaped.get(), bytes);
    }

    bool numeric_result(double& value) const;
    bool string_result(std::string& out) const;
    bool instr(double& value) const;
    bool val(double& value) const;
};

bool CallEvaluator::numeric_result(double& value) const {
    auto code = static_cast<F>(call.code);
    double a = 0.0;
    switch (code) {
        case F::kRnd:
            value = rt.expr.scratch.random[static_cast<std::size_t>(call.random_slot)];
            return true;
        case F::kLen:
        case F::kAsc: {
            ScratchString s(rt);
            if (!raw(0, s.get())) return false;
            if (code == F::kLen) {
                value = static_cast<int32_t>(s.get().size());
                return true;
            }
            if (s.get().empty()) return false;  // error 18
            value = static_cast<uint8_t>(s.get()[0]);
            return true;
        }
        case F::kVal:
            return val(value);
        case F::kInstr:
            return instr(value);
        default:
            break;
    }
    if (!number(0, a)) return false;
    switch (code) {
        case F::kAbs:
            return general(std::fabs(a), value);
        case F::kAtn:
            return general(std::atan(a), value);
        case F::kCdbl:
            return general(a, value);
        case F::kCos:
            return general(std::cos(a), value);
        case F::kExp:
            return general(std::exp(a), value);
        case F::kSin:
            return general(std::sin(a), value);
        case F::kTan:
            return general(std::tan(a), value);
        case F::kLog:
            return a > 0 && general(std::log(a), value);  // otherwise error 18
        case F::kSqr:
            return a >= 0 && general(std::sqrt(a), value);  // otherwise error 18
        case F::kCint: {
            double w = std::floor(a);
            return whole(a - w >= 0.5 ? w + 1 : w, value);
        }
        case F::kFix:
            return whole(std::trunc(a), value);
        case F::kInt:
            return whole(std::floor(a), value);
        case F::kSgn:
            value = a > 0 ? 1 : (a < 0 ? -1 : 0);
            return true;
        case F::kCsng: {
            // The value written with seven decimals; a long text is left to the text path.
            if (!(std::fabs(a) < kCsngPlain)) return false;
            char text[kCsngTextMax];
            auto end = std::to_chars(text, text + sizeof text, a, std::chars_format::fixed, 7);
            value = parse_decimal(std::string_view(text, static_cast<std::size_t>(end.ptr - text)));
            return true;
        }
        default:
            return false;
    }
}

// instr([start,] s, t): the byte position of t in s from start, 0 when it is not there.
bool CallEvaluator::instr(double& value) const {
    bool has_start = call.count == 3;
    int32_t start = 1;
    if (has_start && !integer(0, start)) return false;
    ScratchString s(rt);
    ScratchString t(rt);
    if (!raw(has_start ? 1 : 0, s.get()) || !raw(has_start ? 2 : 1, t.get())) return false;
    if (start < 1) return false;  // error 5
    if (t.get().empty()) {
        value = has_start ? start : 0;
        return true;
    }
    auto from = static_cast<std::size_t>(start - 1);
    std::size_t pos = from < s.get().size() ? s.get().find(t.get(), from) : std::string::npos;
    value = pos == std::string::npos ? 0 : static_cast<int32_t>(pos + 1);
    return true;
}

// val(s): the number at the start of s, blanks, tabs and quotes dropped; &H and &O select
// base 16 or 8.
bool CallEvaluator::val(double& value) const {
    ScratchString s(rt);
    if (!raw(0, s.get())) return false;
    ScratchString text(rt);
    for (char c : s.get())
        if (c != ' ' && c != '\t' && c != '"') text.get() += c;
    std::string_view t = text.get();
    int base = 10;
    std::size_t pos = 0;
    if (t.size() >= 2 && t[0] == '&') {
        char letter = t[1];
        if (letter == 'H' || letter == 'h') base = 16;
        if (letter == 'O' || letter == 'o') base = 8;
        if (base != 10) pos = 2;
    }
    std::size_t from = pos;
    bool signed_already = false;
    for (; pos < t.size(); ++pos) {
        char c = t[pos];
        bool sign = (c == '+' || c == '-') && !signed_already;
        if (!sign && !val_digit(c, base)) break;
        signed_already = signed_already || sign;
    }
    std::string_view taken = t.substr(from, pos - from);
    if (base != 10)
        return general(taken.empty() || taken[0] == '-' ? 0 : parse_radix(taken, base), value);
    double number = parse_decimal(taken);
    return general(number == 0 ? 0 : number, value);
}

bool CallEvaluator::string_result(std::string& out) const {
    auto code = static_cast<F>(call.code);
    std::size_t start = out.size();
    int32_t n = 0;
    switch (code) {
        case F::kChr: {
            if (!integer(0, n)) return false;
            encode_char(static_cast<uint8_t>(n & 0xFF), out, false);
            break;
        }
        case F::kLeft:
        case F::kRight: {
            ScratchString s(rt);
            if (!raw(0, s.get()) || !integer(1, n)) return false;
            std::string_view bytes = s.get();
            std::size_t keep =
                n <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), bytes.size());
            encode(code == F::kLeft ? bytes.substr(0, keep) : bytes.substr(bytes.size() - keep),
                   out);
            break;
        }
        case F::kMid: {
            ScratchString s(rt);
            int32_t from = 0;
            int32_t count = INT32_MAX;
            if (!raw(0, s.get()) || !integer(1, from)) return false;
            if (call.count == 3 && !integer(2, count)) return false;
            if (from < 1 || count < 0) return false;  // errors 5 and 1
            std::string_view bytes = s.get();
            auto first = static_cast<std::size_t>(from - 1);
            if (first < bytes.size())
                encode(bytes.substr(first, std::min<std::size_t>(static_cast<std::size_t>(count),
                                                                 bytes.size() - first)),
                       out);
            break;
        }
        case F::kStr: {
            double x = 0.0;
            if (!number(0, x) || !std::isfinite(x)) return false;
            if (x == 0) x = 0;  // a negative zero (0 * -1) is written as 0
            char text[kGeneralTextMax];
            std::size_t size = trim_leading_zero(text, write_general(text, x));
            if (x >= 0) out += ' ';
            out.append(text, size);
            break;
        }
        case F::kSpace:
            if (!integer(0, n) || n > static_cast<int32_t>(kStatementMax)) return false;
            out.append(static_cast<std::size_t>(std::max(n, 0)), ' ');
            break;
        case F::kString: {
            if (!integer(0, n)) return false;
            ScratchString s(rt);
            if (!raw(1, s.get()) || n > static_cast<int32_t>(kStatementMax) || s.get().empty())
                return false;  // error 12, or error 18 for an empty s
            for (int32_t k = 0; k < n; ++k)
                encode_char(static_cast<uint8_t>(s.get()[0]), out, false);
            break;
        }
        case F::kHex:
        case F::kOct: {
            // The 32 bits of a value read as signed or unsigned; anything wider is error 5.
            double a = 0.0;
            if (!number(0, a)) return false;
            double whole = std::trunc(a);
            if (!(whole >= -2147483648.0 && whole <= 4294967295.0)) return false;
            char digits[16];
            int size = std::snprintf(digits, sizeof digits, code == F::kHex ? "%X" : "%o",
                                     static_cast<uint32_t>(static_cast<int64_t>(whole)));
            out.append(digits, static_cast<std::size_t>(size));
            break;
        }
        default:
            return false;
    }
    // The result stands in the statement's text, quotes included, until its caller reads it.
    rt.expr.scratch.string_bytes += out.size() - start + 2;
    return true;
}

const FunctionShape* prepared_function(std::string_view name) {
    for (const FunctionShape& shape : kFunctions)
        if (equals_ignoring_case(name, shape.name)) return &shape;
    return nullptr;
}

bool argument_is_string(PreparedFunction code, int count, int k) {
    switch (code) {
        case F::kLen:
        case F::kAsc:
        case F::kVal:
        case F::kLeft:
        case F::kRight:
        case F::kMid:
            return k == 0;
        case F::kString:
            return k == 1;
        case F::kInstr:
            return count == 3 ? k >= 1 : true;
        default:
            return false;
    }
}

bool call_number(Runtime& rt, const PreparedExpressions& x, const Atom& call, double& value) {
    return CallEvaluator{rt, x, call}.numeric_result(value);
}

bool call_string(Runtime& rt, const PreparedExpressions& x, const Atom& call, std::string& out) {
    return CallEvaluator{rt, x, call}.string_result(out);
}

double random_call_value(Runtime& rt, int32_t argument) {
    double value = 0.0;
    convert_number(random_number(rt, argument), kSingle, value);
    return value;
}

}  // namespace quillon
