// The flat numeric evaluator: cuts a bracket-free expression into operands and operators, then
// applies the operators one precedence level per pass. Everything lives in fixed arrays in
// the frame: evaluating allocates nothing.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "expr/evaluator.h"
#include "expr/flat_passes.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"

namespace quillon {
namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;

// A "+" or "-" at `pos` that belongs to a number's exponent rather than being an operator.
bool exponent_sign_at(std::string_view text, std::size_t pos) {
    return pos >= 1 && is_sign(text[pos]) && (text[pos - 1] == 'e' || text[pos - 1] == 'E') &&
           is_exponent_sign(text, pos);
}

// &H and &O literals, read as signed 32-bit integers.
bool literal_value(Runtime& rt, std::string_view operand, double& value) {
    char radix = operand.size() > 1 ? operand[1] : '\0';
    if (radix == 'H' || radix == 'h') {
        value = parse_radix(operand.substr(2), 16);
    } else if (radix == 'O' || radix == 'o') {
        value = parse_radix(operand.substr(2), 8);
    } else {
        report_error(rt, kSyntaxError);  // "&" without H or O is no literal
        return false;
    }
    return true;
}

// A variable's value as its "%g" text reads. String names are a type mismatch.
bool variable_value(Runtime& rt, std::string_view name, double& value) {
    if (name.find('$') != std::string_view::npos || name.find('"') != std::string_view::npos) {
        report_error(rt, kTypeMismatch);
        return false;
    }
    if (!get_number(rt, name, value) && rt.host.stop) return false;
    return true;
}

// A number beyond the double range, or no number at all, is error 5: its "inf" or "nan" text
// would read back as a variable's name.
bool finite_number(Runtime& rt, double value) {
    if (std::isfinite(value)) return true;
    report_error(rt, kOutOfRange);
    return false;
}

// The value of one operand text. A text that cannot start an operand (nothing, or a binary
// operator) is a syntax error.
bool operand_value(Runtime& rt, std::string_view operand, double& value) {
    char first = operand.empty() ? '\0' : operand[0];
    if (first == '&') return literal_value(rt, operand, value);
    if (is_digit(first) || first == '.') {
        value = parse_decimal(operand);
        return finite_number(rt, value);  // 1E999
    }
    if (is_sign(first) && operand.size() > 1) {
        char next = operand[1];
        bool ok = true;
        if (is_ascii_letter(next))
            ok = variable_value(rt, operand.substr(1), value);
        else if (next == '&')
            ok = literal_value(rt, operand.substr(1), value);
        else {
            value = parse_decimal(operand.substr(1));
            ok = finite_number(rt, value);
        }
        if (first == '-') value = -value;
        return ok;
    }
    if (first == '\0' || is_sign(first) || is_operator(operand, 0) || first == kOpEscape) {
        report_error(rt, kSyntaxError);
        return false;
    }
    return variable_value(rt, operand, value);
}

// Applies, left to right, every operator for which `in_pass` holds, compacting both lists in
// place: operator i joins operands i and i+1.
template <class InPass>
PassResult run_pass(FlatLists& lists, InPass in_pass) {
    int out_operators = 0;
    int out_operands = 1;
    for (int i = 0; i < lists.operator_count; ++i) {
        char op = lists.operators[i];
        double right = lists.operands[i + 1];
        if (in_pass(op)) {
            double& left = lists.operands[out_operands - 1];
            PassResult result = apply_operator(op, left, right, left);
            if (result != PassResult::kDone) return result;
        } else {
            lists.operators[out_operators++] = op;
            lists.operands[out_operands++] = right;
        }
    }
    lists.operator_count = out_operators;
    lists.operand_count = out_operands;
    return PassResult::kDone;
}

}  // namespace

PassResult apply_operator(char op, double left, double right, double& result) {
    auto finite = [&result] {
        return std::isfinite(result) ? PassResult::kDone : PassResult::kNotFinite;
    };
    switch (op) {
        case '^':
            result = std::pow(left, right);
            return finite();
        case '*':
            result = left * right;
            return finite();
        case '+':
            result = left + right;
            return finite();
        case '-':
            result = left - right;
            return finite();
        case '/':
            if (right == 0.0) return PassResult::kDivisionByZero;
            result = left / right;
            return finite();
        default:
            break;
    }
    int64_t a = truncate_to_int32(left);
    int64_t b = truncate_to_int32(right);
    switch (op) {
        case '\\':
        case kOpMod:
            if (b == 0) return PassResult::kDivisionByZero;
            // In 64 bits, so that -2147483648 \ -1 wraps instead of trapping.
            result = static_cast<int32_t>(static_cast<uint32_t>(op == '\\' ? a / b : a % b));
            return PassResult::kDone;
        case kOpAnd:
            result = static_cast<int32_t>(a & b);
            return PassResult::kDone;
        case kOpOr:
            result = static_cast<int32_t>(a | b);
            return PassResult::kDone;
        case kOpXor:
            result = static_cast<int32_t>(a ^ b);
            return PassResult::kDone;
        default:
            return PassResult::kDone;  // no such operator reaches the passes
    }
}

uint8_t pass_of(char op) {
    switch (op) {
        case '^':
            return kPassPower;
        case '*':
        case '/':
        case '\\':
            return kPassProduct;
        case kOpMod:
            return kPassModulo;
        case '+':
        case '-':
            return kPassSum;
        case kOpAnd:
            return kPassAnd;
        case kOpOr:
            return kPassOr;
        case kOpXor:
            return kPassXor;
        default:
            return 0;
    }
}

PassResult run_passes(FlatLists& lists, uint8_t passes) {
    struct Pass {
        uint8_t bit;
        bool (*in_pass)(char);
    };
    static constexpr Pass kPasses[] = {
        {kPassPower, [](char op) { return op == '^'; }},
        {kPassProduct, [](char op) { return op == '*' || op == '/' || op == '\\'; }},
        {kPassModulo, [](char op) { return op == kOpMod; }},
        {kPassSum, [](char op) { return op == '+' || op == '-'; }},
        {kPassAnd, [](char op) { return op == kOpAnd; }},
        {kPassOr, [](char op) { return op == kOpOr; }},
        {kPassXor, [](char op) { return op == kOpXor; }},
    };
    for (const Pass& pass : kPasses) {
        if ((passes & pass.bit) == 0) continue;
        PassResult result = run_pass(lists, pass.in_pass);
        if (result != PassResult::kDone) return result;
    }
    return PassResult::kDone;
}

namespace {

// Reads the operator at an item start into the list; sets `negate` for NOT. Returns the
// position after it, or npos after a syntax error.
std::size_t read_operator(Runtime& rt, std::string_view text, std::size_t pos, FlatLists& lists,
                          bool& negate) {
    char op = text[pos];
    std::size_t after = pos + 1;
    if (op == kOpEscape && pos + 1 < text.size()) {
        op = text[pos + 1];
        after = pos + 2;
        if (op == kOpNot && pos == 0) {
            negate = true;  // NOT applies to the whole text
            return after;
        }
        if (op == kOpNot) {
            report_error(rt, kSyntaxError);  // a NOT inside is taken out before this stage
            return std::string_view::npos;
        }
    } else if (pos == 0 || !is_operator(text, pos)) {
        return pos;  // the text starts with its first operand
    }
    if (pos == 0) {
        report_error(rt, kSyntaxError);  // a binary operator without a left operand
        return std::string_view::npos;
    }
    lists.operators[lists.operator_count++] = op;
    return after;
}

// The end of the operand text that starts at `pos`: its first byte is always taken, then
// bytes up to the next operator.
std::size_t operand_end(std::string_view text, std::size_t pos) {
    std::size_t end = pos < text.size() ? pos + 1 : pos;
    while (end < text.size() && (!is_operator(text, end) || exponent_sign_at(text, end)))
        ++end;
    return end;
}

}  // namespace

int32_t truncate_to_int32(double value) {
    double whole = std::trunc(value);
    // As a 64-bit conversion keeps its low 32 bits; beyond 64 bits (and NaN) nothing is left.
    if (!(std::fabs(whole) < kTwoTo63)) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(whole)));
}

bool truncate_checked(double value, int32_t& out) {
    double whole = std::trunc(value);
    if (!(whole >= std::numeric_limits<int32_t>::min() &&
          whole <= std::numeric_limits<int32_t>::max()))
        return false;  // NaN too
    out = static_cast<int32_t>(whole);
    return true;
}

double reduce_numeric(Runtime& rt, std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), kNumericExprMax));
    FlatLists lists;
    bool negate = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = read_operator(rt, text, pos, lists, negate);
        if (pos == std::string_view::npos) return 0.0;
        std::size_t end = operand_end(text, pos);
        if (lists.operand_count >= kOperandMax || end - pos > kOperandTextMax) {
            // More operands than the lists hold, or an operand longer than its 255 bytes: a
            // cut name or number would read as another one.
            report_error(rt, kSyntaxError);
            return 0.0;
        }
        double& value = lists.operands[lists.operand_count++];
        if (!operand_value(rt, text.substr(pos, end - pos), value)) return 0.0;
        pos = end;
    }
    if (lists.operand_count == 0) return 0.0;
    switch (run_passes(lists, kAllPasses)) {
        case PassResult::kDone:
            break;
        case PassResult::kDivisionByZero:
            report_error(rt, kDivisionByZero);
            return 0.0;
        case PassResult::kNotFinite:
            // Beyond the double range, or no number (a fractional power of a negative one):
            // its "inf" or "nan" text would read back as a variable's name.
            report_error(rt, kOutOfRange);
            return 0.0;
    }
    double result = lists.operands[0];
    if (negate) result = ~truncate_to_int32(result);
    return result;
}

}  // namespace quillon
