// PRINT USING: lays values into a picture string. "@" takes a whole string, "&  &" a string cut
// to the field, "#", "+#" and "##.##" a number right-aligned in its places; a number too wide
// for its field is shown whole after a "%". Places left over become blanks.
#include <cmath>
#include <cstdio>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "screen/print.h"

namespace quillon {
namespace {

// The argument list after the picture: each field takes the next argument, or an empty one
// when the list has run out.
struct ArgumentCursor {
    std::string_view rest;

    std::string_view next() {
        int depth = 0;
        bool quoted = false;
        for (std::size_t k = 0; k < rest.size(); ++k) {
            char c = rest[k];
            if (c == '"') quoted = !quoted;
            if (quoted) continue;
            if (c == '(') ++depth;
            if (c == ')') --depth;
            if ((c == ',' || c == ';') && depth == 0) {
                std::string_view argument = rest.substr(0, k);
                rest.remove_prefix(k + 1);
                return argument;
            }
        }
        std::string_view argument = rest;
        rest = {};
        return argument;
    }
};

// A string argument's value without its quotes (escapes kept, as the screen shows them).
std::string string_field(Runtime& rt, std::string_view argument) {
    if (argument.empty()) return {};
    std::string value;
    eval_string(rt, argument, value);
    if (!is_quoted(value)) return {};
    return value.substr(1, value.size() - 2);
}

// "&", blanks, "&" at k: the value written over the field's start; the closing "&" becomes a
// blank when the value is shorter, the opening one too when it is empty. False when no field
// opens here.
bool fill_string_field(Runtime& rt, std::string& picture, std::size_t k, ArgumentCursor& args) {
    std::size_t close = k + 1;
    while (close < picture.size() && picture[close] == ' ')
        ++close;
    if (close >= picture.size() || picture[close] != '&') return false;
    std::size_t width = close - k + 1;
    std::string value = string_field(rt, args.next());
    std::size_t keep = whole_characters(value, width);
    picture.replace(k, keep, value, 0, keep);
    if (keep < width) picture[close] = ' ';
    if (keep == 0) picture[k] = ' ';
    return true;
}

struct NumericField {
    std::size_t places = 0;    // w: the "#" before the point
    std::size_t decimals = 0;  // d: the "#" after the point
    bool point = false;
    bool plus = false;
    std::size_t length() const { return places + (point ? 1 + decimals : 0); }
};

// The text of x for the field, and whether it overflows the field's places.
std::string number_text(double x, const NumericField& field, bool& overflow) {
    double whole = std::trunc(x);
    std::string fraction;
    if (field.point) {
        // The fraction rounded to d places; when it rounds up to a whole unit the integer part
        // takes the carry (2.999 with two places shows 3.00).
        int digits = static_cast<int>(field.decimals);
        std::string rounded(field.decimals + 32, '\0');
        rounded.resize(static_cast<std::size_t>(
            std::snprintf(rounded.data(), rounded.size(), "%.*f", digits, std::fabs(x - whole))));
        if (rounded[0] == '1') whole += x < 0 ? -1 : 1;
        fraction.assign(1, '.');
        fraction.append(rounded, 2);
    }
    bool negative = whole < 0;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", whole == 0 ? 0.0 : whole);
    std::string integer = buffer;
    bool plus_sign = field.plus && !negative;
    overflow = negative ? integer.size() - (field.plus ? 1 : 0) > field.places
                        : integer.size() > field.places;
    if (overflow) integer.insert(0, plus_sign ? "%+" : "%");
    if (!overflow && plus_sign) integer.insert(0, 1, '+');
    if (!overflow && field.point && whole == 0 && x < 0)
        integer.assign(field.places >= 2 ? "-0" : "-");
    return integer + fraction;
}

// The numeric field of "#" at k (the "+" before it already removed when `plus`). Returns the
// index just after the text that replaced it.
std::size_t fill_numeric_field(Runtime& rt, std::string& picture, std::size_t k, bool plus,
                               ArgumentCursor& args) {
    NumericField field;
    field.plus = plus;
    std::size_t end = k;
    while (end < picture.size() && picture[end] == '#')
        ++end;
    field.places = end - k;
    if (end + 1 < picture.size() && picture[end] == '.' && picture[end + 1] == '#') {
        field.point = true;
        for (end += 1; end < picture.size() && picture[end] == '#'; ++end)
            ++field.decimals;
    }
    std::string_view argument = args.next();
    double x = argument.empty() ? 0 : eval_numeric(rt, argument);
    bool overflow = false;
    std::string text;
    if (std::isfinite(x)) {
        text = number_text(x, field, overflow);
    } else {
        text = format_general(x);  // inf and nan fit no field
        text.insert(0, 1, '%');
        overflow = true;
    }
    // A fitting number ends where the field ends, one byte further with "+" (its place).
    std::size_t width = field.length() + (plus ? 1 : 0);
    if (!overflow && text.size() < width) text.insert(0, width - text.size(), '#');
    picture.replace(k, field.length(), text);
    return k + text.size();
}

}  // namespace

void format_with_picture(Runtime& rt, std::string_view text, std::string& out) {
    out.clear();
    bool quoted = false;
    std::size_t semicolon = 0;
    while (semicolon < text.size() && (quoted || text[semicolon] != ';'))
        if (text[semicolon++] == '"') quoted = !quoted;
    if (semicolon >= text.size()) return report_error(rt, kSyntaxError);
    std::string picture = string_field(rt, text.substr(0, semicolon));
    ArgumentCursor args{text.substr(semicolon + 1)};

    // The picture is walked by characters: the second byte of a double-byte character (0x40
    // in "　" and "ァ" is "@") is never a field.
    for (std::size_t k = 0; k < picture.size() && !rt.host.stop;) {
        if (picture[k] == '@') picture.replace(k, 1, string_field(rt, args.next()));
        if (k < picture.size() && picture[k] == '&') fill_string_field(rt, picture, k, args);
        bool plus = k + 1 < picture.size() && picture[k] == '+' && picture[k + 1] == '#';
        if (plus) picture.erase(k, 1);
        if (k < picture.size() && picture[k] == '#')
            k = fill_numeric_field(rt, picture, k, plus, args);
        else
            k += character_width(picture, k);
        if (picture.size() > kStatementMax) picture.resize(kStatementMax);  // cut by the caller
    }
    for (std::size_t k = 0; k < picture.size();) {
        std::size_t width = character_width(picture, k);
        if (width == 1 && picture[k] == '#') picture[k] = ' ';
        k += width;
    }
    out = std::move(picture);
}

}  // namespace quillon
