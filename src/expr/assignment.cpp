// Assignment and declarations: the assignment statement (with or without LET), DIM, ERASE and
// the type declaration by initial letter. Each works on its argument text after the calls in
// it have been expanded.
#include "expr/assignment.h"

#include <string>
#include <vector>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "host/runtime.h"

namespace quillon {
namespace {

// Splits at commas outside quotes and brackets. False when a bracket or quote is left open
// (error 1).
bool split_list(Runtime& rt, std::string_view text, std::vector<std::string_view>& items) {
    int depth = 0;
    bool in_quotes = false;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= text.size(); ++k) {
        char c = k < text.size() ? text[k] : ',';
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c != ',' || depth != 0) continue;
        items.push_back(text.substr(start, k - start));
        start = k + 1;
    }
    if (depth != 0 || in_quotes) {
        report_error(rt, kSyntaxError);
        return false;
    }
    return true;
}

// An assignment target's name may not hold operators, quotes or comparison signs.
bool is_assignable(std::string_view target) {
    std::string_view name = target.substr(0, target.find('('));
    for (std::size_t k = 0; k < name.size(); ++k) {
        char c = name[k];
        if (is_operator(name, k) || c == kOpEscape || c == '"' || c == '<' || c == '>')
            return false;
    }
    return true;
}

std::string_view name_of(std::string_view item) {
    return item.substr(0, item.find('('));
}

bool is_array_item(std::string_view item) {
    return item.find('(') != std::string_view::npos;
}

// True when an array of the same name stands earlier in the list.
bool declared_earlier(const std::vector<std::string_view>& earlier, std::string_view name) {
    for (std::string_view item : earlier)
        if (is_array_item(item) && name_of(item) == name) return true;
    return false;
}

// DIM's checks before anything is created: a name that already has array entries, or an
// array that stands twice in the list, is error 17. String items are dropped.
bool check_dim_items(Runtime& rt, std::vector<std::string_view>& items) {
    std::vector<std::string_view> kept;
    for (std::string_view item : items) {
        std::string_view name = name_of(item);
        if (has_array_entries(rt, name) || (is_array_item(item) && declared_earlier(kept, name))) {
            report_error(rt, kAlreadyDefined, name);
            return false;
        }
        if (variable_type(rt, name) != kString) kept.push_back(item);
    }
    items.swap(kept);
    return true;
}

// One DIM item: a scalar set to 0, or an array of the given upper bounds.
bool dim_item(Runtime& rt, std::string_view item) {
    if (!is_array_item(item)) return set_variable(rt, item, "0");
    std::string_view name;
    Subscripts bounds;
    if (!parse_subscripts(rt, item, name, bounds)) return false;
    if (name.empty() || !is_ascii_letter(name.front())) {
        report_error(rt, kBadIdentifier, name);
        return false;
    }
    return create_array(rt, name, bounds);
}

bool is_upper_letter(char c) {
    return c >= 'A' && c <= 'Z';
}

// Reads a letter list ("A-C,X") into a mask of letters; false when it is malformed.
bool parse_letters(std::string_view list, uint32_t& mask) {
    std::size_t pos = 0;
    mask = 0;
    for (;;) {
        if (pos >= list.size() || !is_upper_letter(list[pos])) return false;
        char first = list[pos++];
        char last = first;
        if (pos < list.size() && list[pos] == '-') {
            if (pos + 1 >= list.size() || !is_upper_letter(list[pos + 1])) return false;
            last = list[pos + 1];
            pos += 2;
            if (last < first) return false;  // a reversed range
        }
        for (char c = first; c <= last; ++c)
            mask |= uint32_t{1} << (c - 'A');
        if (pos == list.size()) return true;
        if (list[pos++] != ',') return false;
    }
}

// The declared-letter list named by the keyword (int, sng, str in any case), or none.
uint32_t* letter_list(Runtime& rt, std::string_view keyword) {
    std::string word;
    for (char c : keyword)
        word += to_upper_ascii(c);
    DeclaredLetters& letters = rt.expr.letters;
    if (word == "INT") return &letters.integer;
    if (word == "SNG") return &letters.single;
    if (word == "STR") return &letters.string;
    return nullptr;
}

}  // namespace

void assign(Runtime& rt, std::string_view text) {
    std::string work;
    strip_blanks(text, work);
    std::size_t equals = work.find('=');
    if (equals == std::string::npos || !is_assignable(work.substr(0, equals))) {
        report_error(rt, kNotAnLvalue);
        return;
    }
    std::string_view target = std::string_view(work).substr(0, equals);
    std::string_view expression = std::string_view(work).substr(equals + 1);
    if (variable_type(rt, target) != kString) {
        double value = eval_numeric(rt, expression);
        if (!rt.host.stop) set_number(rt, target, value);  // six digits reach the store
        return;
    }
    std::string value;
    eval_string(rt, expression, value);
    if (rt.host.stop) return;
    set_variable(rt, target, value);
}

void reset_declared_letters(Runtime& rt) {
    rt.expr.letters = DeclaredLetters{};
    ++rt.expr.variables.generation;
}

void let_statement(Runtime& rt, StatementContext& ctx) {
    assign(rt, ctx.args);
}

void dim_arrays(Runtime& rt, StatementContext& ctx) {
    std::string work;
    strip_blanks(ctx.args, work);
    std::vector<std::string_view> items;
    if (!split_list(rt, work, items) || !check_dim_items(rt, items)) return;
    for (std::string_view item : items)
        if (!dim_item(rt, item) || rt.host.stop) return;
}

void erase_variables(Runtime& rt, StatementContext& ctx) {
    std::string work;
    strip_blanks(ctx.args, work);
    std::vector<std::string_view> names;
    if (!split_list(rt, work, names)) return;
    for (std::string_view name : names) {
        erase_variable(rt, name);
        if (rt.host.stop) return;
    }
}

void declare_letters(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    args.remove_prefix(std::min(args.find_first_not_of(" \t"), args.size()));
    std::size_t blank = args.find_first_of(" \t");
    uint32_t* list = letter_list(rt, args.substr(0, blank));
    if (list == nullptr) return;  // another keyword declares nothing
    std::string letters;
    strip_blanks(blank == std::string_view::npos ? std::string_view{} : args.substr(blank),
                 letters);
    for (char& c : letters)
        c = to_upper_ascii(c);
    uint32_t mask = 0;
    if (!parse_letters(letters, mask)) {
        report_error(rt, kSyntaxError);
        return;
    }
    *list |= mask;
    ++rt.expr.variables.generation;  // names of these letters may have changed type
}

}  // namespace quillon
