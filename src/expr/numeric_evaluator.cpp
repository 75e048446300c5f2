// The flat numeric evaluator: cuts a bracket-free expression into operands and operators, then
// applies the operators one precedence level per pass. Everything lives in fixed arrays in
// the frame: evaluating allocates nothing.
#include <cmath>
#include <cstdint>
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

constexpr std::size_t kOperandTextMax = 255;  // bytes of one operand's text
constexpr double kTwoTo63 = 9223372036854775808.0;

// A "+" or "-" at `pos` that belongs to a number's exponent rather than being an operator.
bool exponent_sign_at(std::string_view text, std::size_t pos) {
    return pos >= 1 && is_sign(text[pos]) && (text[pos - 1] == 'e' || text[pos - 1] == 'E') &&
           is_exponent_sign(text, pos);
}

bool item_starts(std::string_view text, std::size_t pos) {
    return pos == 0 || (is_operator(text, pos) && !exponent_sign_at(text, pos));
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

// The value of one operand text. A text that cannot start an operand (nothing, or a binary
// operator) is a syntax error.
bool operand_value(Runtime& rt, std::string_view operand, double& value) {
    char first = operand.empty() ? '\0' : operand[0];
    if (first == '&') return literal_value(rt, operand, value);
    if (is_digit(first) || first == '.') {
        value = parse_decimal(operand);
        return true;
    }
    if (is_sign(first) && operand.size() > 1) {
        char next = operand[1];
        bool ok = true;
        if (is_ascii_letter(next))
            ok = variable_value(rt, operand.substr(1), value);
        else if (next == '&')
            ok = literal_value(rt, operand.substr(1), value);
        else
            value = parse_decimal(operand.substr(1));
        if (first == '-') value = -value;
        return ok;
    }
    if (first == '\0' || is_sign(first) || is_operator(operand, 0) || first == kOpEscape) {
        report_error(rt, kSyntaxError);
        return false;
    }
    return variable_value(rt, operand, value);
}

}  // namespace

bool apply_operator(char op, double left, double right, double& result) {
    switch (op) {
        case '^':
            result = std::pow(left, right);
            return true;
        case '*':
            result = left * right;
            return true;
        case '+':
            result = left + right;
            return true;
        case '-':
            result = left - right;
            return true;
        case '/':
            if (right == 0.0) return false;
            result = left / right;
            return true;
        default:
            break;
    }
    int64_t a = truncate_to_int32(left);
    int64_t b = truncate_to_int32(right);
    switch (op) {
        case '\\':
        case kOpMod:
            if (b == 0) return false;
            // In 64 bits, so that -2147483648 \ -1 wraps instead of trapping.
            result = static_cast<int32_t>(static_cast<uint32_t>(op == '\\' ? a / b : a % b));
            return true;
        case kOpAnd:
            result = static_cast<int32_t>(a & b);
            return true;
        case kOpOr:
            result = static_cast<int32_t>(a | b);
            return true;
        case kOpXor:
            result = static_cast<int32_t>(a ^ b);
            return true;
        default:
            return false;
    }
}

namespace {

// Applies, left to right, every operator for which `in_pass` holds, compacting both lists in
// place: operator i joins operands i and i+1.
template <class InPass>
bool run_pass(FlatLists& lists, bool finite_only, InPass in_pass) {
    int out_operators = 0;
    int out_operands = 1;
    for (int i = 0; i < lists.operator_count; ++i) {
        char op = lists.operators[i];
        double right = lists.operands[i + 1];
        if (in_pass(op)) {
            double& left = lists.operands[out_operands - 1];
            if (!apply_operator(op, left, right, left)) return false;
            if (finite_only && !std::isfinite(left)) return false;
        } else {
            lists.operators[out_operators++] = op;
            lists.operands[out_operands++] = right;
        }
    }
    lists.operator_count = out_operators;
    lists.operand_count = out_operands;
    return true;
}

}  // namespace

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

bool run_passes(FlatLists& lists, uint8_t passes, bool finite_only) {
    auto wanted = [passes](uint8_t pass) { return (passes & pass) != 0; };
    return (!wanted(kPassPower) ||
            run_pass(lists, finite_only, [](char op) { return op == '^'; })) &&
           (!wanted(kPassProduct) ||
            run_pass(lists, finite_only,
                     [](char op) { return op == '*' || op == '/' || op == '\\'; })) &&
           (!wanted(kPassModulo) ||
            run_pass(lists, finite_only, [](char op) { return op == kOpMod; })) &&
           (!wanted(kPassSum) ||
            run_pass(lists, finite_only, [](char op) { return op == '+' || op == '-'; })) &&
           (!wanted(kPassAnd) ||
            run_pass(lists, finite_only, [](char op) { return op == kOpAnd; })) &&
           (!wanted(kPassOr) ||
            run_pass(lists, finite_only, [](char op) { return op == kOpOr; })) &&
           (!wanted(kPassXor) ||
            run_pass(lists, finite_only, [](char op) { return op == kOpXor; }));
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
// bytes up to the next operator, at most 255 in all.
std::size_t operand_end(std::string_view text, std::size_t pos) {
    std::size_t end = pos < text.size() ? pos + 1 : pos;
    while (end < text.size() && end - pos < kOperandTextMax &&
           (!is_operator(text, end) || exponent_sign_at(text, end)))
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

double reduce_numeric(Runtime& rt, std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), kNumericExprMax));
    FlatLists lists;
    bool negate = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (!item_starts(text, pos)) {
            ++pos;  // the rest of an operand cut at 255 bytes
            continue;
        }
        pos = read_operator(rt, text, pos, lists, negate);
        if (pos == std::string_view::npos) return 0.0;
        if (lists.operand_count >= kOperandMax) {
            report_error(rt, kSyntaxError);  // more operands than the lists hold
            return 0.0;
        }
        std::size_t end = operand_end(text, pos);
        double& value = lists.operands[lists.operand_count++];
        if (!operand_value(rt, text.substr(pos, end - pos), value)) return 0.0;
        pos = end;
    }
    if (lists.operand_count == 0) return 0.0;
    if (!run_passes(lists, kAllPasses)) {
        report_error(rt, kDivisionByZero);  // the only failure of an operator
        return 0.0;
    }
    double result = lists.operands[0];
    if (negate) result = ~truncate_to_int32(result);
    return result;
}

}  // namespace quillon
