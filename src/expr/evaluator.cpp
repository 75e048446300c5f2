// The expression evaluators: numeric expressions (array references, brackets, NOT and signs
// rewritten before the flat evaluator runs), string expressions, comparisons and conditions.
// Brackets are worked innermost first in a loop, so nesting never deepens the stack.
#include "expr/evaluator.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "expr/comparisons.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"

namespace quillon {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// The fixed working buffer of a numeric expression: at most 1023 bytes and its NUL.
struct NumericText {
    char data[kNumericExprMax];
    std::size_t size = 0;

    std::string_view view() const { return {data, size}; }
    // Replaces bytes [start, end) by `text`; false when the result would not fit.
    bool replace(std::size_t start, std::size_t end, std::string_view text) {
        std::size_t new_size = size - (end - start) + text.size();
        if (new_size >= kNumericExprMax) return false;
        std::memmove(data + start + text.size(), data + end, size - end);
        std::memcpy(data + start, text.data(), text.size());
        size = new_size;
        data[size] = '\0';
        return true;
    }
    bool assign(std::string_view text) {
        if (text.size() >= kNumericExprMax) return false;
        std::memcpy(data, text.data(), text.size());
        size = text.size();
        data[size] = '\0';
        return true;
    }
};

bool is_suffix(char c) {
    return c == '$' || c == '%' || c == '#' || c == '!';
}
// A byte that is an operator token's letter (preceded by 0x01).
bool is_token_letter_at(std::string_view text, std::size_t pos) {
    return pos >= 1 && text[pos - 1] == kOpEscape && is_token_letter(text[pos]);
}

bool refuse_long(Runtime& rt) {
    report_error(rt, kSyntaxError);  // the expression outgrew its 1023 bytes
    return false;
}

// The start of the array name directly before the "(" at `open`: letters, digits and dots
// starting with a letter, with an optional type suffix; npos when no name stands there.
std::size_t array_name_start(std::string_view text, std::size_t open) {
    std::size_t start = open;
    if (start > 0 && is_suffix(text[start - 1])) --start;
    std::size_t end = start;
    while (
        start > 0 && !is_token_letter_at(text, start - 1) &&
        (is_ascii_letter(text[start - 1]) || is_digit(text[start - 1]) || text[start - 1] == '.'))
        --start;
    while (start < end && !is_ascii_letter(text[start]))
        ++start;
    return start < end ? start : npos;
}

// The innermost bracket pair: the last "(" before the first ")" that closes one, quotes
// skipped. An unclosed "(" runs to the end (close = size). False when none is left.
bool innermost_bracket(std::string_view text, std::size_t& open, std::size_t& close) {
    open = npos;
    bool in_quotes = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (c == '(') open = k;
        if (c == ')' && open != npos) {
            close = k;
            return true;
        }
    }
    close = text.size();
    return open != npos;
}

// Folds each pair of adjacent signs into one, in place: ++ and -- to +, +- and -+ to -.
void fold_signs(NumericText& text) {
    std::size_t out = 0;
    for (std::size_t k = 0; k < text.size; ++k) {
        char c = text.data[k];
        if (is_sign(c) && k + 1 < text.size && is_sign(text.data[k + 1])) {
            c = c == text.data[k + 1] ? '+' : '-';
            ++k;
        }
        text.data[out++] = c;
    }
    text.size = out;
    text.data[out] = '\0';
}

// Signs folded, a leading "+" dropped, then the flat evaluator.
double reduce_signed(Runtime& rt, NumericText& text) {
    fold_signs(text);
    std::string_view view = text.view();
    if (!view.empty() && view[0] == '+') view.remove_prefix(1);
    return reduce_numeric(rt, view);
}

// Bracket-free text: every NOT past the start takes the whole rest of the text as its operand,
// so the rightmost goes first; its value is written back with "%f".
bool eval_flat(Runtime& rt, NumericText& text, double& value) {
    for (;;) {
        std::size_t not_at = npos;
        for (std::size_t k = 1; k + 1 < text.size; ++k)
            if (text.data[k] == kOpEscape && text.data[k + 1] == kOpNot) not_at = k;
        if (not_at == npos) break;
        NumericText tail;
        tail.assign(text.view().substr(not_at));
        double tail_value = reduce_signed(rt, tail);
        if (rt.host.stop) return false;
        if (!text.replace(not_at, text.size, format_fixed(tail_value))) return refuse_long(rt);
    }
    value = reduce_signed(rt, text);
    return true;
}

// Replaces one array reference, ending at `close`, by its value text.
bool replace_array(Runtime& rt, NumericText& text, std::size_t start, std::size_t close) {
    std::size_t end = close < text.size ? close + 1 : text.size;
    std::string_view reference = text.view().substr(start, end - start);
    if (reference.find('$') != npos) {
        report_error(rt, kTypeMismatch);
        return false;
    }
    std::string value;
    if (!get_variable(rt, reference, value) && rt.host.stop) return false;
    if (!text.replace(start, end, value)) return refuse_long(rt);
    return true;
}

// Replaces one grouping bracket by the "%g" text of its contents.
bool replace_group(Runtime& rt, NumericText& text, std::size_t open, std::size_t close) {
    NumericText inner;
    inner.assign(text.view().substr(open + 1, close - open - 1));
    double value = 0.0;
    if (!eval_flat(rt, inner, value)) return false;
    char number[kGeneralTextMax];
    std::size_t size = write_general(number, value);
    std::size_t end = close < text.size ? close + 1 : text.size;
    if (!text.replace(open, end, std::string_view(number, size))) return refuse_long(rt);
    return true;
}

// Array references and grouping brackets, innermost (and leftmost) first.
bool replace_brackets(Runtime& rt, NumericText& text) {
    std::size_t open = 0;
    std::size_t close = 0;
    while (innermost_bracket(text.view(), open, close)) {
        std::size_t name = array_name_start(text.view(), open);
        bool ok = name != npos ? replace_array(rt, text, name, close)
                               : replace_group(rt, text, open, close);
        if (!ok || rt.host.stop) return false;
    }
    return true;
}

// The characters of one string term: a literal (one pair of quotes around text without
// quotes) or a string variable. False after an error.
bool string_term(Runtime& rt, std::string_view term, std::string& value, std::string_view& piece) {
    if (!term.empty() && term[0] == '"') {
        if (!is_quoted(term) || term.substr(1, term.size() - 2).find('"') != npos) {
            report_error(rt, kSyntaxError);
            return false;
        }
        piece = term.substr(1, term.size() - 2);
        return true;
    }
    if (term.empty()) {
        report_error(rt, kSyntaxError);
        return false;
    }
    if (!get_variable(rt, term, value) && rt.host.stop) return false;
    if (!is_quoted(value)) {
        report_error(rt, kTypeMismatch);
        return false;
    }
    piece = std::string_view(value).substr(1, value.size() - 2);
    return true;
}

// ---- Conditions ----

// A left side whose first term is a string literal or a string-typed name compares strings.
bool is_string_side(Runtime& rt, std::string_view left) {
    if (!left.empty() && left[0] == '"') return true;
    std::size_t end = 0;
    while (end < left.size() && left[end] != '+' && left[end] != '(')
        ++end;
    return variable_type(rt, left.substr(0, end)) == kString;
}

// Equality compares the strings byte for byte; order compares their lengths only.
int32_t compare_strings(Runtime& rt, std::string_view left, std::string_view right,
                        Relation relation) {
    std::string a;
    std::string b;
    eval_string(rt, left, a);
    if (rt.host.stop) return 0;
    eval_string(rt, right, b);
    if (rt.host.stop) return 0;
    int order = 0;
    if (relation == Relation::kEqual || relation == Relation::kNotEqual)
        order = a == b ? 0 : 1;
    else
        order = a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    return holds(relation, order) ? -1 : 0;
}

int32_t compare_numbers(Runtime& rt, std::string_view left, std::string_view right,
                        Relation relation) {
    double a = eval_numeric(rt, left);
    double b = eval_numeric(rt, right);
    if (relation == Relation::kNotEqual) return a != b ? -1 : 0;  // NaN differs from all
    int order = a < b ? -1 : (a > b ? 1 : (a == b ? 0 : 2));
    if (order == 2) return 0;  // NaN: no order holds
    return holds(relation, order) ? -1 : 0;
}

// The next logical token (AND, OR, XOR, NOT) from `from` outside quotes and brackets, or the
// end of the text.
std::size_t next_logical(std::string_view text, std::size_t from) {
    bool in_quotes = false;
    int depth = 0;
    for (std::size_t k = from; k < text.size(); ++k) {
        char c = text[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (depth <= 0 && is_logical_operator(text, k)) return k;
    }
    return text.size();
}

// Replaces the first comparison segment (from the start or a logical token to the next one)
// by its result; false when no comparison is left.
bool replace_comparison(Runtime& rt, std::string& text) {
    std::size_t segment = 0;
    bool in_quotes = false;
    int depth = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (depth > 0) continue;
        if (is_logical_operator(text, k)) {
            segment = k + 2;
            ++k;
        } else if (is_comparison_char(c)) {
            std::size_t end = next_logical(text, k);
            int32_t result =
                eval_comparison(rt, std::string_view(text).substr(segment, end - segment));
            text.replace(segment, end - segment, format_integer(result));
            return true;
        }
    }
    return false;
}

// Comparisons replaced by -1 or 0, then the logical operators applied by the numeric evaluator.
int32_t eval_condition_flat(Runtime& rt, std::string& text) {
    while (!rt.host.stop && replace_comparison(rt, text)) {
    }
    if (rt.host.stop) return 0;
    return condition_value(eval_numeric(rt, text));
}

// An open bracket met while looking for sub-conditions.
struct OpenBracket {
    std::size_t pos;
    bool qualifies;       // at the start, after an operator token, or first in a sub-condition
    bool grouping;        // not an array or function bracket
    bool has_comparison;  // a comparison stands inside it at its own level
};

// The innermost sub-condition: a bracket that opens at the start, after an operator token or
// first inside another sub-condition, or a grouping bracket that holds a comparison.
bool find_sub_condition(std::string_view text, std::size_t& open, std::size_t& close) {
    std::vector<OpenBracket> stack;
    bool in_quotes = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (is_comparison_char(c) && !stack.empty()) stack.back().has_comparison = true;
        if (c == '(') {
            bool after_token = k >= 2 && text[k - 2] == kOpEscape && is_token_letter(text[k - 1]);
            bool first_inside =
                !stack.empty() && stack.back().qualifies && stack.back().pos + 1 == k;
            bool grouping = k == 0 || after_token || array_name_start(text, k) == npos;
            stack.push_back({k, k == 0 || after_token || first_inside, grouping, false});
        } else if (c == ')' && !stack.empty()) {
            OpenBracket top = stack.back();
            stack.pop_back();
            if (top.qualifies || (top.grouping && top.has_comparison)) {
                open = top.pos;
                close = k;
                return true;
            }
        }
    }
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (it->qualifies || (it->grouping && it->has_comparison)) {
            open = it->pos;  // an unclosed sub-condition runs to the end
            close = text.size();
            return true;
        }
    }
    return false;
}

}  // namespace

double eval_numeric(Runtime& rt, std::string_view text) {
    NumericText work;
    work.size = strip_blanks(text, work.data, kNumericExprMax);
    if (work.size == npos) {
        work.size = 0;
        refuse_long(rt);
        return 0.0;
    }
    if (!replace_brackets(rt, work)) return 0.0;
    double value = 0.0;
    if (!eval_flat(rt, work, value)) return 0.0;
    return value;
}

int32_t condition_value(double value) {
    int32_t whole = 0;
    if (truncate_checked(value, whole) || std::isnan(value)) return whole;
    return value > 0 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
}

int32_t eval_integer(Runtime& rt, std::string_view text) {
    double value = eval_numeric(rt, text);
    int32_t whole = 0;
    if (!truncate_checked(value, whole)) report_error(rt, kOutOfRange);
    return whole;
}

void eval_string(Runtime& rt, std::string_view text, std::string& out) {
    std::string work;
    strip_blanks(text, work);
    out.assign(1, '"');
    if (work.empty()) {
        out += '"';
        return;
    }
    std::string value;
    bool in_quotes = false;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= work.size(); ++k) {
        if (k < work.size()) {  // a "+" outside quotes and brackets ends a term
            char c = work[k];
            if (c == '"') in_quotes = !in_quotes;
            if (in_quotes) continue;
            if (c == '(') ++depth;
            if (c == ')') --depth;
            if (c != '+' || depth != 0) continue;
        }
        std::string_view term = std::string_view(work).substr(start, k - start);
        start = k + 1;
        std::string_view piece;
        // A failed term leaves the empty string, never a half-built value with one quote.
        if (!string_term(rt, term, value, piece)) {
            out.assign(2, '"');
            return;
        }
        if (out.size() + piece.size() + 1 > kStatementMax) {
            report_error(rt, kMemoryRange);  // longer than a statement's 8191 bytes
            out.assign(2, '"');
            return;
        }
        out.append(piece);
    }
    out += '"';
}

int32_t eval_comparison(Runtime& rt, std::string_view text) {
    std::string work;
    strip_blanks(text, work);
    std::size_t at = find_comparison(work);
    if (at == npos) return condition_value(eval_numeric(rt, work));
    std::size_t width = 1;
    Relation relation = relation_at(work, at, width);
    std::string_view left = std::string_view(work).substr(0, at);
    std::string_view right = std::string_view(work).substr(at + width);
    if (is_string_side(rt, left)) return compare_strings(rt, left, right, relation);
    return compare_numbers(rt, left, right, relation);
}

int32_t eval_condition(Runtime& rt, std::string_view text) {
    std::string work;
    strip_blanks(text, work);
    std::size_t open = 0;
    std::size_t close = 0;
    while (find_sub_condition(work, open, close)) {
        std::string inner = work.substr(open + 1, close - open - 1);
        int32_t value = eval_condition_flat(rt, inner);
        if (rt.host.stop) return 0;
        std::size_t end = close < work.size() ? close + 1 : work.size();
        work.replace(open, end - open, format_integer(value));
    }
    return eval_condition_flat(rt, work);
}

}  // namespace quillon
