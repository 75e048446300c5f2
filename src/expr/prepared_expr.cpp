// Preparing expressions from their text, and evaluating them as the text evaluators would.
//
// The text evaluators replace every bracket, array element, function call and comparison by
// the text of its value before they read on, so such a value (an "atom" here) reaches the
// operator passes with six digits, and a minus sign at its start folds with a "+" or "-" before
// it ("x-(y)" with y = -5 reads "x+5"). Variables are read as their text reads back; literals
// keep their full value. The flat operator passes are the evaluator's own (flat_passes.h).
#include "expr/prepared_expr.h"

#include <cmath>
#include <cstring>

#include "expr/builtins.h"
#include "expr/comparisons.h"
#include "expr/evaluator.h"
#include "expr/flat_passes.h"
#include "expr/prepared_calls.h"
#include "expr/value_text.h"
#include "expr/variable_slots.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kTokenMax = 200;         // longer names and numbers keep the text path
constexpr std::size_t kFlatOperandsMax = 200;  // the flat evaluator holds 255
constexpr std::size_t kAtomTextMax = 50;       // the longest value text of an atom ("%.7f")

bool is_suffix(char c) {
    return c == '$' || c == '%' || c == '#' || c == '!';
}

// Pieces cut at commas outside quotes and brackets; false when brackets do not pair up.
bool split_commas(std::string_view text, std::vector<std::string_view>& out) {
    int depth = 0;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= text.size(); ++k) {
        char c = k < text.size() ? text[k] : ',';
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && --depth < 0) return false;
        if (c != ',' || depth != 0) continue;
        out.push_back(text.substr(start, k - start));
        start = k + 1;
    }
    return depth == 0 && !quoted;
}

// A binary operator at `pos`: the one-character operators, or MOD, AND, OR, XOR tokens.
char operator_at(std::string_view text, std::size_t pos, std::size_t& width) {
    char c = text[pos];
    if (c == '^' || c == '*' || c == '/' || c == '\\' || c == '+' || c == '-') {
        width = 1;
        return c;
    }
    if (c == kOpEscape && pos + 1 < text.size()) {
        char letter = text[pos + 1];
        if (letter == kOpMod || letter == kOpAnd || letter == kOpOr || letter == kOpXor) {
            width = 2;
            return letter;
        }
    }
    return 0;
}

bool is_logical_letter(char c) {
    return c == kOpAnd || c == kOpOr || c == kOpXor;
}

// A name: a letter, then letters, digits and dots, then an optional type suffix.
std::size_t name_end(std::string_view text, std::size_t pos) {
    std::size_t end = pos + 1;
    while (end < text.size() &&
           (is_ascii_letter(text[end]) || is_digit(text[end]) || text[end] == '.'))
        ++end;
    if (end < text.size() && is_suffix(text[end])) ++end;
    return end;
}

bool is_rnd_name(std::string_view name) {
    return equals_ignoring_case(name, "rnd");
}

// A value that is written into the text and read back: it must be a number there.
bool travels(double value) {
    return std::isfinite(value);
}

}  // namespace

// ---- Preparing ----

class ExprParser {
  public:
    ExprParser(Runtime& rt, PreparedExpressions& x) : rt_(rt), x_(x) {}

    bool numeric(std::string_view level, bool in_condition, uint32_t& flat);
    bool string(std::string_view text, bool in_condition, uint32_t& index);
    bool condition(std::string_view text, uint32_t& flat);
    bool target(std::string_view text, PreparedExpressions::Target& out);

  private:
    bool operand(std::string_view level, std::size_t& pos, bool in_condition, Operand& out);
    bool decimal(std::string_view level, std::size_t& pos, Operand& out);
    bool radix(std::string_view level, std::size_t& pos, Operand& out);
    bool bracketed(std::string_view level, std::size_t& pos, bool in_condition, Operand& out);
    bool named(std::string_view level, std::size_t& pos, bool in_condition, Operand& out);
    bool call(std::string_view name, std::string_view inside, bool want_string, Atom& atom);
    bool subscripts(std::string_view inside, bool in_condition, uint32_t& first, uint32_t& count);
    bool comparison(std::string_view segment, std::size_t at, uint32_t& atom);
    bool string_side(std::string_view left);
    bool add_flat(std::string_view level, std::size_t atoms_before,
                  const std::vector<Operand>& operands, const std::vector<char>& operators,
                  uint32_t& flat);
    uint32_t add_atom(const Atom& atom) {
        x_.atoms_.push_back(atom);
        return static_cast<uint32_t>(x_.atoms_.size() - 1);
    }
    uint32_t add_scalar(std::string_view name);

    Runtime& rt_;
    PreparedExpressions& x_;
};

uint32_t ExprParser::add_scalar(std::string_view name) {
    for (std::size_t k = 0; k < x_.scalars_.size(); ++k)
        if (x_.scalars_[k].name == name) return static_cast<uint32_t>(k);
    ScalarRef ref;
    ref.name = name;
    x_.scalars_.push_back(std::move(ref));
    return static_cast<uint32_t>(x_.scalars_.size() - 1);
}

bool ExprParser::numeric(std::string_view level, bool in_condition, uint32_t& flat) {
    if (level.empty() || level.size() >= kNumericExprMax) return false;
    const std::size_t atoms_before = x_.atoms_.size();
    std::vector<Operand> operands;
    std::vector<char> operators;
    std::size_t pos = 0;
    char before = 0;  // the operator before the next operand
    for (;;) {
        if (operands.size() >= kFlatOperandsMax) return false;
        char sign = is_sign(level[pos]) ? level[pos] : 0;
        if (sign != 0) {
            if (pos + 1 >= level.size() || is_sign(level[pos + 1])) return false;
            ++pos;
        }
        Operand item;
        if (!operand(level, pos, in_condition, item)) return false;
        if (sign != 0 && (before == '+' || before == '-')) {
            // The pair of signs folds into one operator; an atom's own minus would fold again.
            if (item.kind == Operand::Kind::kAtom) return false;
            before = before == sign ? '+' : '-';
        } else if (sign == '-') {
            item.negate = true;
        }
        if (item.kind == Operand::Kind::kConstant && item.negate) {
            item.constant = -item.constant;
            item.negate = false;
        }
        operands.push_back(item);
        operators.push_back(before);
        if (pos == level.size()) break;
        // A sign after an "e" that the evaluator takes for an exponent keeps the operand going.
        if (is_sign(level[pos]) && (level[pos - 1] == 'e' || level[pos - 1] == 'E') &&
            is_exponent_sign(level, pos))
            return false;
        std::size_t width = 0;
        before = operator_at(level, pos, width);
        if (before == 0) return false;
        pos += width;
        if (pos >= level.size()) return false;  // an operator without its right operand
    }
    return add_flat(level, atoms_before, operands, operators, flat);
}

// The text evaluators rewrite a level in a buffer of 1023 bytes: every atom's value text
// (at most kAtomTextMax bytes) must fit in it as well.
bool ExprParser::add_flat(std::string_view level, std::size_t atoms_before,
                          const std::vector<Operand>& operands, const std::vector<char>& operators,
                          uint32_t& flat) {
    if (level.size() + kAtomTextMax * (x_.atoms_.size() - atoms_before) >= kNumericExprMax)
        return false;
    Flat f;
    f.first = static_cast<uint32_t>(x_.operands_.size());
    f.count = static_cast<uint32_t>(operands.size());
    for (std::size_t k = 1; k < operators.size(); ++k)
        f.passes |= pass_of(operators[k]);
    x_.operands_.insert(x_.operands_.end(), operands.begin(), operands.end());
    x_.operators_.insert(x_.operators_.end(), operators.begin(), operators.end());
    x_.flats_.push_back(f);
    flat = static_cast<uint32_t>(x_.flats_.size() - 1);
    return true;
}

bool ExprParser::operand(std::string_view level, std::size_t& pos, bool in_condition,
                         Operand& out) {
    char c = level[pos];
    if (is_digit(c) || c == '.') return decimal(level, pos, out);
    if (c == '&') return radix(level, pos, out);
    if (c == '(') return bracketed(level, pos, in_condition, out);
    if (is_ascii_letter(c)) return named(level, pos, in_condition, out);
    return false;
}

// digits [. digits] [e [sign] digits], ending at an operator or the end of the level.
bool ExprParser::decimal(std::string_view level, std::size_t& pos, Operand& out) {
    std::size_t start = pos;
    std::size_t k = pos;
    std::size_t digits = 0;
    while (k < level.size() && is_digit(level[k]))
        ++k, ++digits;
    if (k < level.size() && level[k] == '.') {
        ++k;
        while (k < level.size() && is_digit(level[k]))
            ++k, ++digits;
    }
    if (digits == 0) return false;
    if (k < level.size() && (level[k] == 'e' || level[k] == 'E')) {
        std::size_t e = k + 1;
        if (e < level.size() && is_sign(level[e])) {
            if (!is_exponent_sign(level, e)) return false;
            ++e;
        }
        if (e >= level.size() || !is_digit(level[e])) return false;
        while (e < level.size() && is_digit(level[e]))
            ++e;
        k = e;
    }
    if (k - start > kTokenMax) return false;
    std::size_t width = 0;
    if (k < level.size() && operator_at(level, k, width) == 0) return false;
    out.kind = Operand::Kind::kConstant;
    out.constant = parse_decimal(level.substr(start, k - start));
    pos = k;
    return std::isfinite(out.constant);
}

// &H hexadecimal or &O octal digits, read as a signed 32-bit integer.
bool ExprParser::radix(std::string_view level, std::size_t& pos, Operand& out) {
    if (pos + 1 >= level.size()) return false;
    char letter = level[pos + 1];
    int base = (letter == 'H' || letter == 'h') ? 16 : (letter == 'O' || letter == 'o') ? 8 : 0;
    if (base == 0) return false;
    std::size_t k = pos + 2;
    auto digit = [base](char c) {
        if (base == 8) return c >= '0' && c <= '7';
        return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    while (k < level.size() && digit(level[k]))
        ++k;
    if (k - pos > kTokenMax) return false;
    std::size_t width = 0;
    if (k < level.size() && operator_at(level, k, width) == 0) return false;
    out.kind = Operand::Kind::kConstant;
    out.constant = parse_radix(level.substr(pos + 2, k - pos - 2), base);
    pos = k;
    return true;
}

// A bracket: a group, or (in a condition, after an operator token) a condition of its own.
bool ExprParser::bracketed(std::string_view level, std::size_t& pos, bool in_condition,
                           Operand& out) {
    std::size_t close = closing_bracket(level, pos, true);
    if (close == npos) return false;
    std::string_view inside = level.substr(pos + 1, close - pos - 1);
    Atom atom;
    bool after_token = pos >= 2 && level[pos - 2] == kOpEscape && is_token_letter(level[pos - 1]);
    if (in_condition && after_token) {
        atom.kind = Atom::Kind::kCondition;
        if (!condition(inside, atom.index)) return false;
    } else {
        atom.kind = Atom::Kind::kGroup;
        if (!numeric(inside, in_condition, atom.index)) return false;
    }
    out.kind = Operand::Kind::kAtom;
    out.index = add_atom(atom);
    pos = close + 1;
    return true;
}

bool ExprParser::named(std::string_view level, std::size_t& pos, bool in_condition, Operand& out) {
    std::size_t end = name_end(level, pos);
    std::string_view name = level.substr(pos, end - pos);
    if (name.size() > kTokenMax) return false;
    if (end < level.size() && level[end] == '(') {
        std::size_t close = closing_bracket(level, end, true);
        if (close == npos) return false;
        std::string_view inside = level.substr(end + 1, close - end - 1);
        Atom atom;
        if (is_builtin(name)) {
            if (!call(name, inside, false, atom)) return false;
        } else {
            // An array: the call expander hides its brackets unless a user function takes
            // its name, which is checked before each run.
            if (name.find('.') != npos || name.back() == '$') return false;
            atom.kind = Atom::Kind::kElement;
            x_.arrays_.push_back(ArrayRef{std::string(name)});
            x_.hijackable_.emplace_back(name);
            atom.array = static_cast<uint32_t>(x_.arrays_.size() - 1);
            if (!subscripts(inside, in_condition, atom.index, atom.count)) return false;
        }
        out.kind = Operand::Kind::kAtom;
        out.index = add_atom(atom);
        pos = close + 1;
        return true;
    }
    // A plain variable: string names are a type mismatch, and rnd draws a number each time it
    // is read; both keep the text path.
    if (name.find('$') != npos || is_rnd_name(name)) return false;
    out.kind = Operand::Kind::kScalar;
    out.index = add_scalar(name);
    pos = end;
    return true;
}

bool ExprParser::subscripts(std::string_view inside, bool in_condition, uint32_t& first,
                            uint32_t& count) {
    std::vector<std::string_view> pieces;
    if (!split_commas(inside, pieces) || pieces.size() > static_cast<std::size_t>(kSubscriptMax))
        return false;
    std::vector<ExprRef> refs;
    for (std::string_view piece : pieces) {
        ExprRef ref;
        if (!numeric(piece, in_condition, ref.index)) return false;
        refs.push_back(ref);
    }
    first = static_cast<uint32_t>(x_.arguments_.size());
    count = static_cast<uint32_t>(refs.size());
    x_.arguments_.insert(x_.arguments_.end(), refs.begin(), refs.end());
    return true;
}

// A built-in call: its arguments are whole expressions of their own (the expander has
// evaluated calls before any condition sees them, so no condition rule reaches inside).
bool ExprParser::call(std::string_view name, std::string_view inside, bool want_string,
                      Atom& atom) {
    const FunctionShape* shape = prepared_function(name);
    if (shape == nullptr || shape->string_result != want_string) return false;
    std::vector<std::string_view> pieces;
    if (!inside.empty() && !split_commas(inside, pieces)) return false;
    int count = static_cast<int>(pieces.size());
    if (count < shape->min_args || count > shape->max_args) return false;
    if (shape->code == PreparedFunction::kRnd) {
        // Drawn in text order before the statement runs, as the expander's first pass does:
        // only for arguments without brackets, which that pass reaches.
        if (inside.find('(') != npos) return false;
        atom.random_slot = static_cast<int32_t>(x_.random_calls_++);
    }
    std::vector<ExprRef> refs;
    for (int k = 0; k < count; ++k) {
        ExprRef ref;
        ref.string = argument_is_string(shape->code, count, k);
        bool ok = ref.string ? string(pieces[static_cast<std::size_t>(k)], false, ref.index)
                             : numeric(pieces[static_cast<std::size_t>(k)], false, ref.index);
        if (!ok) return false;
        refs.push_back(ref);
    }
    atom.kind = Atom::Kind::kCall;
    ++x_.calls_;
    atom.code = static_cast<uint8_t>(shape->code);
    atom.index = static_cast<uint32_t>(x_.arguments_.size());
    atom.count = static_cast<uint32_t>(refs.size());
    x_.arguments_.insert(x_.arguments_.end(), refs.begin(), refs.end());
    return true;
}

bool ExprParser::string(std::string_view text, bool in_condition, uint32_t& index) {
    if (text.empty()) return false;
    std::vector<std::string_view> pieces;
    int depth = 0;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= text.size(); ++k) {
        if (k < text.size()) {
            char c = text[k];
            if (c == '"') quoted = !quoted;
            if (quoted) continue;
            if (c == '(') ++depth;
            if (c == ')') --depth;
            if (c != '+' || depth != 0) continue;
        }
        pieces.push_back(text.substr(start, k - start));
        start = k + 1;
    }
    if (quoted || depth != 0) return false;
    std::vector<StringTerm> terms;
    for (std::string_view piece : pieces) {
        StringTerm term;
        if (piece.empty()) return false;
        if (piece[0] == '"') {
            if (!is_quoted(piece) || piece.substr(1, piece.size() - 2).find('"') != npos)
                return false;
            term.kind = StringTerm::Kind::kLiteral;
            x_.literals_.emplace_back(piece.substr(1, piece.size() - 2));
            term.index = static_cast<uint32_t>(x_.literals_.size() - 1);
        } else if (is_ascii_letter(piece[0])) {
            std::size_t end = name_end(piece, 0);
            std::string_view name = piece.substr(0, end);
            if (name.size() > kTokenMax) return false;
            if (end < piece.size()) {
                if (piece[end] != '(' || closing_bracket(piece, end, true) != piece.size() - 1)
                    return false;
                std::string_view inside = piece.substr(end + 1, piece.size() - end - 2);
                if (is_builtin(name)) {
                    Atom atom;
                    if (!call(name, inside, true, atom)) return false;
                    term.kind = StringTerm::Kind::kCall;
                    term.index = add_atom(atom);
                } else {
                    if (name.find('.') != npos || variable_type(rt_, name) != kString) return false;
                    x_.hijackable_.emplace_back(name);
                    term.kind = StringTerm::Kind::kElement;
                    x_.string_refs_.push_back(StringRef{std::string(name), true});
                    term.index = static_cast<uint32_t>(x_.string_refs_.size() - 1);
                    if (!subscripts(inside, in_condition, term.first, term.count)) return false;
                }
            } else {
                if (variable_type(rt_, name) != kString) return false;
                term.kind = StringTerm::Kind::kVariable;
                x_.string_refs_.push_back(StringRef{std::string(name), false});
                term.index = static_cast<uint32_t>(x_.string_refs_.size() - 1);
            }
        } else {
            return false;
        }
        terms.push_back(term);
    }
    StringExpr expr;
    expr.first = static_cast<uint32_t>(x_.terms_.size());
    expr.count = static_cast<uint32_t>(terms.size());
    x_.terms_.insert(x_.terms_.end(), terms.begin(), terms.end());
    x_.strings_.push_back(expr);
    index = static_cast<uint32_t>(x_.strings_.size() - 1);
    return true;
}

// Whether a comparison compares strings: its left side begins with a string literal or a
// string-typed name (the text before any "+" or "(", as the evaluator reads it), or with a call
// of a string function (whose value text is a literal by then).
bool ExprParser::string_side(std::string_view left) {
    if (!left.empty() && left[0] == '"') return true;
    if (!left.empty() && is_ascii_letter(left[0])) {
        std::size_t end = name_end(left, 0);
        if (end < left.size() && left[end] == '(' && is_builtin(left.substr(0, end))) {
            const FunctionShape* shape = prepared_function(left.substr(0, end));
            return shape != nullptr && shape->string_result;
        }
    }
    std::size_t end = 0;
    while (end < left.size() && left[end] != '+' && left[end] != '(')
        ++end;
    return variable_type(rt_, left.substr(0, end)) == kString;
}

bool ExprParser::comparison(std::string_view segment, std::size_t at, uint32_t& atom_index) {
    std::size_t width = 1;
    Relation relation = relation_at(segment, at, width);
    std::string_view left = segment.substr(0, at);
    std::string_view right = segment.substr(at + width);
    if (left.empty() || right.empty()) return false;
    ExprRef sides[2];
    sides[0].string = sides[1].string = string_side(left);
    bool ok = sides[0].string
                  ? string(left, true, sides[0].index) && string(right, true, sides[1].index)
                  : numeric(left, true, sides[0].index) && numeric(right, true, sides[1].index);
    if (!ok) return false;
    Atom atom;
    atom.kind = Atom::Kind::kComparison;
    atom.code = static_cast<uint8_t>(relation);
    atom.index = static_cast<uint32_t>(x_.arguments_.size());
    atom.count = 2;
    x_.arguments_.push_back(sides[0]);
    x_.arguments_.push_back(sides[1]);
    atom_index = add_atom(atom);
    return true;
}

// Segments between AND, OR and XOR: bracketed conditions, comparisons, or numeric expressions
// that the final pass joins with the logical operators.
bool ExprParser::condition(std::string_view text, uint32_t& flat) {
    if (text.empty() || text.size() >= kNumericExprMax) return false;
    const std::size_t atoms_before = x_.atoms_.size();
    std::vector<std::string_view> segments;
    std::vector<char> operators{0};
    int depth = 0;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c != kOpEscape || k + 1 >= text.size()) continue;
        if (text[k + 1] == kOpNot) return false;  // NOT takes the rest: the text path
        if (depth != 0 || !is_logical_letter(text[k + 1])) continue;
        segments.push_back(text.substr(start, k - start));
        operators.push_back(text[k + 1]);
        start = k + 2;
        ++k;
    }
    if (quoted || depth != 0) return false;
    segments.push_back(text.substr(start));
    if (segments.size() > kFlatOperandsMax) return false;
    std::vector<Operand> operands;
    for (std::string_view segment : segments) {
        if (segment.empty()) return false;
        Operand item;
        if (segment[0] == '(') {
            if (closing_bracket(segment, 0, true) != segment.size() - 1) return false;
            Atom atom;
            atom.kind = Atom::Kind::kCondition;
            if (!condition(segment.substr(1, segment.size() - 2), atom.index)) return false;
            item.kind = Operand::Kind::kAtom;
            item.index = add_atom(atom);
        } else if (std::size_t at = find_comparison(segment); at != npos) {
            item.kind = Operand::Kind::kAtom;
            if (!comparison(segment, at, item.index)) return false;
        } else {
            item.kind = Operand::Kind::kSegment;
            if (!numeric(segment, true, item.index)) return false;
        }
        operands.push_back(item);
    }
    return add_flat(text, atoms_before, operands, operators, flat);
}

bool ExprParser::target(std::string_view text, PreparedExpressions::Target& out) {
    if (text.empty() || !is_ascii_letter(text[0])) return false;
    std::size_t end = name_end(text, 0);
    std::string_view name = text.substr(0, end);
    if (name.size() > kTokenMax) return false;
    out.subscripted = end < text.size();
    std::string_view inside;
    if (out.subscripted) {
        if (text[end] != '(' || closing_bracket(text, end, true) != text.size() - 1 ||
            name.find('.') != npos)
            return false;
        inside = text.substr(end + 1, text.size() - end - 2);
        x_.hijackable_.emplace_back(name);
    }
    out.type = variable_type(rt_, name);
    out.string = out.type == kString;
    if (out.string) {
        x_.string_refs_.push_back(StringRef{std::string(name), out.subscripted});
        out.ref = static_cast<uint32_t>(x_.string_refs_.size() - 1);
    } else if (out.subscripted) {
        x_.arrays_.push_back(ArrayRef{std::string(name)});
        out.ref = static_cast<uint32_t>(x_.arrays_.size() - 1);
    } else {
        if (is_rnd_name(name)) return false;
        out.ref = add_scalar(name);
    }
    return !out.subscripted || subscripts(inside, false, out.first, out.count);
}

bool PreparedExpressions::add_numeric(Runtime& rt, std::string_view text, ExprRef& out) {
    out.string = false;
    return ExprParser(rt, *this).numeric(text, false, out.index);
}

bool PreparedExpressions::add_string(Runtime& rt, std::string_view text, ExprRef& out) {
    out.string = true;
    return ExprParser(rt, *this).string(text, false, out.index);
}

bool PreparedExpressions::add_condition(Runtime& rt, std::string_view text, ExprRef& out) {
    out.string = false;
    return ExprParser(rt, *this).condition(text, out.index);
}

bool PreparedExpressions::add_target(Runtime& rt, std::string_view text, Target& out) {
    return ExprParser(rt, *this).target(text, out);
}

std::size_t PreparedExpressions::bytes() const {
    std::size_t total =
        sizeof(*this) + flats_.capacity() * sizeof(Flat) + operands_.capacity() * sizeof(Operand) +
        operators_.capacity() + atoms_.capacity() * sizeof(Atom) +
        arguments_.capacity() * sizeof(ExprRef) + scalars_.capacity() * sizeof(ScalarRef) +
        arrays_.capacity() * sizeof(ArrayRef) + string_refs_.capacity() * sizeof(StringRef) +
        strings_.capacity() * sizeof(StringExpr) + terms_.capacity() * sizeof(StringTerm) +
        literals_.capacity() * sizeof(std::string) + hijackable_.capacity() * sizeof(std::string);
    auto heap = [](const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; };
    for (const auto& r : scalars_)
        total += heap(r.name);
    for (const auto& r : arrays_)
        total += heap(r.name);
    for (const auto& r : string_refs_)
        total += heap(r.name);
    for (const auto& s : literals_)
        total += heap(s);
    for (const auto& s : hijackable_)
        total += heap(s);
    return total;
}

// ---- Evaluating ----

bool PreparedExpressions::names_still_mean_the_same(Runtime& rt) const {
    const auto& functions = rt.expr.user_functions;
    if (functions.empty()) return true;
    for (const std::string& name : hijackable_)
        for (const UserFunction& function : functions)
            if (function.name == name) return false;
    return true;
}

bool PreparedExpressions::draw_random_numbers(Runtime& rt) const {
    auto& drawn = rt.expr.scratch.random;
    if (drawn.size() < random_calls_) drawn.resize(random_calls_);
    for (const Atom& atom : atoms_) {
        if (atom.kind != Atom::Kind::kCall || atom.random_slot < 0) continue;
        int32_t x = 1;
        if (atom.count == 1) {
            double argument = 0.0;
            if (!number(rt, arguments_[atom.index], argument) || !truncate_checked(argument, x))
                return false;  // error 5 beyond 32 bits
        }
        drawn[static_cast<std::size_t>(atom.random_slot)] = random_call_value(rt, x);
    }
    return true;
}

bool PreparedExpressions::scalar_value(Runtime& rt, uint32_t ref, double& value) const {
    const ScalarRef& scalar = scalars_[ref];
    const VariableStore& store = rt.expr.variables;
    if (scalar.generation != store.generation || scalar.state == ScalarRef::State::kUnresolved) {
        scalar.generation = store.generation;
        scalar.state = ScalarRef::State::kDecline;
        if (variable_type(rt, scalar.name) != kString) {
            Subscripts none;
            std::size_t slot = 0;
            switch (find_slot_quietly(rt, scalar.name, none, slot)) {
                case SlotLookup::kFound:
                    scalar.state = ScalarRef::State::kSlot;
                    scalar.slot = slot;
                    break;
                case SlotLookup::kMissing:
                    // A missing name may be a user function without arguments.
                    if (!is_user_function_name(scalar.name) || rt.expr.user_functions.empty())
                        scalar.state = ScalarRef::State::kMissing;
                    break;
                case SlotLookup::kFailed:
                    break;
            }
        }
    }
    switch (scalar.state) {
        case ScalarRef::State::kSlot:
            value = store.values[scalar.slot];
            if (!travels(value)) return false;
            value = round_general(value);
            return true;
        case ScalarRef::State::kMissing:
            value = 0.0;
            return true;
        default:
            return false;
    }
}

bool PreparedExpressions::number(Runtime& rt, ExprRef expr, double& value) const {
    return flat_value(rt, expr.index, value);
}

bool PreparedExpressions::condition(Runtime& rt, ExprRef expr, int32_t& value) const {
    double number = 0.0;
    if (!flat_value(rt, expr.index, number)) return false;
    value = condition_value(number);
    return true;
}

bool PreparedExpressions::operand_value(Runtime& rt, const Operand& operand, char& op_before,
                                        double& value) const {
    switch (operand.kind) {
        case Operand::Kind::kConstant:
            value = operand.constant;
            return true;
        case Operand::Kind::kScalar:
            if (!scalar_value(rt, operand.index, value)) return false;
            if (operand.negate) value = -value;
            return true;
        case Operand::Kind::kSegment:
            return flat_value(rt, operand.index, value);
        case Operand::Kind::kAtom:
            break;
    }
    double atom = 0.0;
    if (!atom_value(rt, atoms_[operand.index], atom)) return false;
    if (operand.negate) {
        value = -atom;  // "-" then the value's own sign: they fold into one
    } else if ((op_before == '+' || op_before == '-') && std::signbit(atom)) {
        op_before = op_before == '+' ? '-' : '+';  // "x-" then "-5" reads "x+5"
        value = -atom;
    } else {
        value = atom;
    }
    return true;
}

bool PreparedExpressions::flat_value(Runtime& rt, uint32_t index, double& value) const {
    const Flat& flat = flats_[index];
    const Operand* operands = operands_.data() + flat.first;
    const char* operators = operators_.data() + flat.first;
    char op = 0;
    if (flat.count == 1) return operand_value(rt, operands[0], op, value) && travels(value);
    if (flat.count == 2) {
        double left = 0.0;
        double right = 0.0;
        if (!operand_value(rt, operands[0], op, left)) return false;
        op = operators[1];
        if (!operand_value(rt, operands[1], op, right)) return false;
        return apply_operator(op, left, right, value) == PassResult::kDone;
    }
    FlatLists lists;
    for (uint32_t k = 0; k < flat.count; ++k) {
        op = operators[k];
        if (!operand_value(rt, operands[k], op, lists.operands[k])) return false;
        if (k > 0) lists.operators[k - 1] = op;
    }
    lists.operand_count = static_cast<int>(flat.count);
    lists.operator_count = static_cast<int>(flat.count - 1);
    if (run_passes(lists, flat.passes) != PassResult::kDone) return false;
    value = lists.operands[0];
    return travels(value);
}

bool PreparedExpressions::subscripts(Runtime& rt, uint32_t first, uint32_t count,
                                     Subscripts& out) const {
    out.count = 0;
    for (uint32_t k = 0; k < count; ++k) {
        double value = 0.0;
        int32_t whole = 0;
        if (!number(rt, arguments_[first + k], value) || !truncate_checked(value, whole))
            return false;  // error 14 beyond 32 bits
        out.values[static_cast<std::size_t>(out.count++)] = whole;
    }
    return true;
}

bool PreparedExpressions::element_value(Runtime& rt, const Atom& atom, double& value) const {
    Subscripts subs;
    if (!subscripts(rt, atom.index, atom.count, subs)) return false;
    for (int k = 0; k < subs.count; ++k)
        if (subs.values[static_cast<std::size_t>(k)] < 0) return false;  // error 5
    const ArrayRef& array = arrays_[atom.array];
    std::size_t slot = 0;
    switch (find_slot_quietly(rt, array.name, subs, slot)) {
        case SlotLookup::kFound:
            value = rt.expr.variables.values[slot];
            if (!travels(value)) return false;
            value = round_general(value);
            return true;
        case SlotLookup::kMissing:
            value = 0.0;
            return true;
        case SlotLookup::kFailed:
            break;
    }
    return false;
}

bool PreparedExpressions::comparison_value(Runtime& rt, const Atom& atom, double& value) const {
    const ExprRef left = arguments_[atom.index];
    const ExprRef right = arguments_[atom.index + 1];
    auto relation = static_cast<Relation>(atom.code);
    int order = 0;
    if (left.string) {
        ScratchString a(rt);
        ScratchString b(rt);
        if (!string(rt, left, a.get()) || !string(rt, right, b.get())) return false;
        if (relation == Relation::kEqual || relation == Relation::kNotEqual)
            order = a.get() == b.get() ? 0 : 1;
        else
            order =
                a.get().size() < b.get().size() ? -1 : (a.get().size() > b.get().size() ? 1 : 0);
    } else {
        double a = 0.0;
        double b = 0.0;
        if (!number(rt, left, a) || !number(rt, right, b)) return false;
        order = a < b ? -1 : (a > b ? 1 : 0);
    }
    value = holds(relation, order) ? -1.0 : 0.0;
    return true;
}

bool PreparedExpressions::atom_value(Runtime& rt, const Atom& atom, double& value) const {
    switch (atom.kind) {
        case Atom::Kind::kGroup:
            if (!flat_value(rt, atom.index, value)) return false;
            value = round_general(value);  // written with "%g" and read back
            return true;
        case Atom::Kind::kElement:
            return element_value(rt, atom, value);
        case Atom::Kind::kCall:
            return call_number(rt, *this, atom, value);
        case Atom::Kind::kComparison:
            return comparison_value(rt, atom, value);
        case Atom::Kind::kCondition: {
            int32_t result = 0;
            if (!condition(rt, ExprRef{atom.index, false}, result)) return false;
            value = result;
            return true;
        }
    }
    return false;
}

bool PreparedExpressions::string(Runtime& rt, ExprRef expr, std::string& out) const {
    const StringExpr& s = strings_[expr.index];
    std::size_t start = out.size();
    for (uint32_t k = 0; k < s.count; ++k) {
        if (!string_term(rt, terms_[s.first + k], out)) return false;
        // The value text, quotes included, must stay within a statement's size.
        if (out.size() - start + 2 > kStatementMax) return false;
    }
    return true;
}

bool PreparedExpressions::string_key(Runtime& rt, const Target& target, std::string& key) const {
    key.assign(string_refs_[target.ref].name);
    if (!target.subscripted) return true;
    Subscripts subs;
    if (!subscripts(rt, target.first, target.count, subs)) return false;
    char number[16];
    key += '(';
    for (int k = 0; k < subs.count; ++k) {
        if (k > 0) key += ',';
        int length =
            std::snprintf(number, sizeof number, "%d", subs.values[static_cast<std::size_t>(k)]);
        key.append(number, static_cast<std::size_t>(length));
    }
    key += ')';
    return true;
}

// A string variable's characters: its value text without the quotes; a missing variable is
// empty unless a user function answers to its name.
bool PreparedExpressions::string_term(Runtime& rt, const StringTerm& term, std::string& out) const {
    switch (term.kind) {
        case StringTerm::Kind::kLiteral:
            out.append(literals_[term.index]);
            return true;
        case StringTerm::Kind::kCall:
            return call_string(rt, *this, atoms_[term.index], out);
        case StringTerm::Kind::kElement:
            return string_element(rt, term, out);
        case StringTerm::Kind::kVariable:
            break;
    }
    const StringRef& ref = string_refs_[term.index];
    const VariableStore& store = rt.expr.variables;
    if (!ref.resolved || ref.generation != store.generation) {
        ref.value = find_string_value(rt, ref.name);
        ref.generation = store.generation;
        ref.resolved = true;
    }
    if (ref.value == nullptr) return rt.expr.user_functions.empty();
    const std::string& value = *ref.value;
    if (!is_quoted(value)) return false;
    out.append(value, 1, value.size() - 2);
    return true;
}

bool PreparedExpressions::string_element(Runtime& rt, const StringTerm& term,
                                         std::string& out) const {
    ScratchString key(rt);
    Target target;
    target.string = true;
    target.ref = term.index;
    target.subscripted = true;
    target.first = term.first;
    target.count = term.count;
    if (!string_key(rt, target, key.get())) return false;
    const std::string* value = find_string_value(rt, key.get());
    if (value == nullptr) return rt.expr.user_functions.empty();
    if (!is_quoted(*value)) return false;
    out.append(*value, 1, value->size() - 2);
    return true;
}

std::string_view PreparedExpressions::target_name(const Target& target) const {
    if (target.string) return string_refs_[target.ref].name;
    return target.subscripted ? arrays_[target.ref].name : scalars_[target.ref].name;
}

bool PreparedExpressions::target_slot(Runtime& rt, const Target& target, const Subscripts& subs,
                                      std::size_t& slot, bool& missing) const {
    missing = false;
    if (!target.subscripted) {
        const ScalarRef& scalar = scalars_[target.ref];
        double ignored = 0.0;
        if (!scalar_value(rt, target.ref, ignored)) {
            // A slot holding a value that cannot travel is still a slot to store into.
            if (scalar.state != ScalarRef::State::kSlot) return false;
        }
        if (scalar.state == ScalarRef::State::kMissing) {
            missing = true;
            return true;
        }
        slot = scalar.slot;
        return true;
    }
    switch (find_slot_quietly(rt, arrays_[target.ref].name, subs, slot)) {
        case SlotLookup::kFound:
            return true;
        case SlotLookup::kMissing:
            missing = true;
            return true;
        case SlotLookup::kFailed:
            break;
    }
    return false;
}

// ---- Text checks ----

bool plain_blanks(std::string_view text) {
    bool quoted = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '"') quoted = !quoted;
        if (quoted || !is_blank(c)) continue;
        std::size_t end = k;
        while (end < text.size() && is_blank(text[end]))
            ++end;
        if (k == 0 || end == text.size()) {
            k = end - 1;
            continue;
        }
        char before = text[k - 1];
        char after = text[end];
        auto word = [](char b) { return is_ascii_letter(b) || is_digit(b) || b == '.'; };
        bool joins = (word(before) || is_suffix(before)) && (word(after) || after == '(');
        // An operator token's letter (0x01 m ...) before the blank joins nothing.
        if (joins && !(k >= 2 && text[k - 2] == kOpEscape)) return false;
        k = end - 1;
    }
    return !quoted;
}

bool has_system_name(std::string_view text) {
    bool quoted = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '"') quoted = !quoted;
        if (quoted || text[k] != '$') continue;
        std::size_t start = k;
        while (start > 0 && (is_ascii_letter(text[start - 1]) || is_digit(text[start - 1])) &&
               !(start > 1 && text[start - 2] == kOpEscape))
            --start;
        std::string_view name = text.substr(start, k - start);
        if (equals_ignoring_case(name, "curdir") || equals_ignoring_case(name, "date") ||
            equals_ignoring_case(name, "time") || equals_ignoring_case(name, "inkey"))
            return true;
    }
    return false;
}

// ---- Scratch strings ----

ScratchString::ScratchString(Runtime& rt) : pool_(rt.expr.scratch) {
    if (pool_.strings_used == pool_.strings.size())
        pool_.strings.push_back(std::make_unique<std::string>());
    text_ = pool_.strings[pool_.strings_used++].get();
    text_->clear();
}

ScratchString::~ScratchString() {
    --pool_.strings_used;
}

}  // namespace quillon
