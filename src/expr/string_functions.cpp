// The string built-ins: lengths, searches, slices, conversions to and from numbers. They work on
// a string's real bytes (escapes decoded, as len counts them) and write escaped value text, so
// positions and lengths agree across len, instr, mid$ and the others. The k-functions count a
// double-byte character as one.
#include <cmath>
#include <cstdio>

#include "expr/builtins.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/shift_jis.h"

namespace quillon {
namespace {

constexpr char kAscName[] = "Asc";
constexpr char kStringName[] = "String$";

// Bytes of the character that starts at `pos`: 2 for a lead byte with its trail byte, else 1.
std::size_t char_width(std::string_view raw, std::size_t pos) {
    return is_sjis_lead(static_cast<uint8_t>(raw[pos])) && pos + 1 < raw.size() ? 2 : 1;
}

// Byte offset of the character numbered `chars` (0-based), or the size when beyond the end.
std::size_t byte_offset(std::string_view raw, int64_t chars) {
    std::size_t pos = 0;
    for (int64_t k = 0; k < chars && pos < raw.size(); ++k)
        pos += char_width(raw, pos);
    return pos;
}

int32_t count_chars(std::string_view raw, std::size_t end) {
    int32_t count = 0;
    for (std::size_t pos = 0; pos < end && pos < raw.size(); pos += char_width(raw, pos))
        ++count;
    return count;
}

// A repeated or padded result over the statement's size cannot travel as text.
bool fits_statement(Runtime& rt, int64_t bytes) {
    if (bytes <= static_cast<int64_t>(kStatementMax)) return true;
    report_error(rt, kMemoryRange);
    return false;
}

// instr and kinstr: [start,] s, t. With `by_character`, start and the result count characters
// and a match must begin on a character boundary.
void search(Runtime& rt, const Arguments& a, std::string& out, bool by_character) {
    bool has_start = a.count == 3;
    int32_t start = has_start ? integer_argument(rt, a.item[0]) : 1;
    std::string s, t;
    if (rt.host.stop || !string_argument(rt, a.item[has_start ? 1 : 0], s) ||
        !string_argument(rt, a.item[has_start ? 2 : 1], t))
        return;
    if (start < 1) {
        report_error(rt, kOutOfRange);
        return;
    }
    if (t.empty()) {
        out = format_integer(has_start ? start : 0);
        return;
    }
    std::size_t from =
        by_character ? byte_offset(s, start - 1) : static_cast<std::size_t>(start - 1);
    for (std::size_t pos = from; pos < s.size();) {
        pos = s.find(t, pos);
        if (pos == std::string::npos) break;
        if (!by_character) {
            out = format_integer(static_cast<int32_t>(pos + 1));
            return;
        }
        std::size_t boundary = byte_offset(s, count_chars(s, pos));
        if (boundary == pos) {
            out = format_integer(count_chars(s, pos) + 1);
            return;
        }
        pos = boundary;  // the match began on a trail byte
    }
    out.assign(1, '0');
}

// mid$ and kmid$: s, start [, n].
void middle(Runtime& rt, const Arguments& a, std::string& out, bool by_character) {
    std::string s;
    if (!string_argument(rt, a.item[0], s)) return;
    int32_t start = integer_argument(rt, a.item[1]);
    int32_t n = a.count == 3 ? integer_argument(rt, a.item[2]) : INT32_MAX;
    if (rt.host.stop) return;
    if (start < 1) return report_error(rt, kOutOfRange);
    if (n < 0) return report_error(rt, kSyntaxError);
    std::size_t from =
        by_character ? byte_offset(s, start - 1) : static_cast<std::size_t>(start - 1);
    if (from >= s.size()) return encode_string("", out);
    std::size_t end =
        by_character ? from + byte_offset(std::string_view(s).substr(from), n)
                     : from + std::min<std::size_t>(static_cast<std::size_t>(n), s.size() - from);
    encode_string(std::string_view(s).substr(from, end - from), out);
}

bool val_digit(char c, int base) {
    if (c >= '0' && c <= '9') return true;
    if (base == 10) return c == '.';
    return base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
}

}  // namespace

// The first real byte; the empty string is error 18.
void asc_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (!string_argument(rt, a.item[0], s)) return;
    if (s.empty()) return report_error(rt, kFunctionMisuse, kAscName);
    out = format_integer(static_cast<uint8_t>(s[0]));
}

void chr_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t code = integer_argument(rt, a.item[0]);
    if (!rt.host.stop) encode_string(std::string(1, static_cast<char>(code & 0xFF)), out);
}

namespace {

// hex$ and oct$: the 32 bits of a value read as signed or unsigned (-1 and 4294967295 both
// give FFFFFFFF); anything wider is error 5.
void radix_text(Runtime& rt, const Arguments& a, const char* format, std::string& out) {
    double whole = std::trunc(numeric_argument(rt, a.item[0]));
    if (rt.host.stop) return;
    if (!(whole >= -2147483648.0 && whole <= 4294967295.0)) return report_error(rt, kOutOfRange);
    auto bits = static_cast<uint32_t>(static_cast<int64_t>(whole));
    char digits[16];
    std::snprintf(digits, sizeof digits, format, bits);
    encode_string(digits, out);
}

}  // namespace

void hex_function(Runtime& rt, const Arguments& a, std::string& out) {
    radix_text(rt, a, "%X", out);
}

void oct_function(Runtime& rt, const Arguments& a, std::string& out) {
    radix_text(rt, a, "%o", out);
}

void instr_function(Runtime& rt, const Arguments& a, std::string& out) {
    search(rt, a, out, false);
}
void kinstr_function(Runtime& rt, const Arguments& a, std::string& out) {
    search(rt, a, out, true);
}

void klen_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (string_argument(rt, a.item[0], s)) out = format_integer(count_chars(s, s.size()));
}

void len_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (string_argument(rt, a.item[0], s)) out = format_integer(static_cast<int32_t>(s.size()));
}

void mid_function(Runtime& rt, const Arguments& a, std::string& out) {
    middle(rt, a, out, false);
}
void kmid_function(Runtime& rt, const Arguments& a, std::string& out) {
    middle(rt, a, out, true);
}

void left_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (!string_argument(rt, a.item[0], s)) return;
    int32_t n = integer_argument(rt, a.item[1]);
    if (rt.host.stop) return;
    std::size_t keep = n <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), s.size());
    encode_string(std::string_view(s).substr(0, keep), out);
}

void right_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (!string_argument(rt, a.item[0], s)) return;
    int32_t n = integer_argument(rt, a.item[1]);
    if (rt.host.stop) return;
    std::size_t keep = n <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), s.size());
    encode_string(std::string_view(s).substr(s.size() - keep), out);
}

// spc and space$: n blanks; a negative n gives the empty string.
void space_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t n = integer_argument(rt, a.item[0]);
    if (rt.host.stop || !fits_statement(rt, n)) return;
    encode_string(std::string(static_cast<std::size_t>(std::max(n, 0)), ' '), out);
}

// "%g" with the leading-zero rule and a blank before a value of zero or more.
void str_function(Runtime& rt, const Arguments& a, std::string& out) {
    double x = numeric_argument(rt, a.item[0]);
    if (rt.host.stop) return;
    if (x == 0) x = 0;  // a negative zero (0 * -1) is written as 0
    std::string number = format_general(x);
    trim_leading_zero(number);
    encode_string(x >= 0 ? " " + number : number, out);
}

// The first real byte of s, n times; an empty s has no byte to repeat (error 18).
void string_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t n = integer_argument(rt, a.item[0]);
    std::string s;
    if (rt.host.stop || !string_argument(rt, a.item[1], s) || !fits_statement(rt, n)) return;
    if (s.empty()) return report_error(rt, kFunctionMisuse, kStringName);
    encode_string(std::string(static_cast<std::size_t>(std::max(n, 0)), s[0]), out);
}

// The number at the start of s: "&H"/"&O" select base 16 or 8; blanks, tabs and quotes are
// dropped; digits (and "." in base 10) with at most one sign are taken.
void val_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (!string_argument(rt, a.item[0], s)) return;
    std::string text;
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '"') text += c;
    int base = 10;
    std::size_t pos = 0;
    if (text.size() >= 2 && text[0] == '&') {
        char letter = text[1];
        if (letter == 'H' || letter == 'h') base = 16;
        if (letter == 'O' || letter == 'o') base = 8;
        if (base != 10) pos = 2;
    }
    std::string taken;
    bool signed_already = false;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        bool sign = (c == '+' || c == '-') && !signed_already;
        if (!sign && !val_digit(c, base)) break;
        signed_already = signed_already || sign;
        taken += c;
    }
    if (base != 10) {
        out = format_general(taken.empty() || taken[0] == '-' ? 0 : parse_radix(taken, base));
        return;
    }
    double value = parse_decimal(taken);
    out = format_general(value == 0 ? 0 : value);  // a lone sign reads as 0, not -0
}

}  // namespace quillon
