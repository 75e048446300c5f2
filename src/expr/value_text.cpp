// Value text and operator tokens: blank removal, operator tests, number formatting and
// reading, and the escape scheme of string values. Nothing here depends on the locale, so a
// decimal point is always "." whatever the user's settings.
#include "expr/value_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "host/error_report.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

bool is_one_char_operator(char c) {
    return c == '^' || c == '*' || c == '/' || c == '\\' || c == '+' || c == '-';
}

// Writes `value` with to_chars in the given format into `out` (room for any double).
std::string format_with(double value, std::chars_format format, int precision) {
    char buffer[400];  // "%f" of the largest double needs 316 bytes
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The decimal exponent of the first significant digit of a number that from_chars found out
// of range: above zero means too large (an infinity), otherwise too small (zero).
long magnitude_of(std::string_view number) {
    std::size_t k = 0;
    long integer_digits = 0;
    long leading_zeros = 0;
    bool significant = false;
    for (; k < number.size() && is_digit(number[k]); ++k) {
        significant = significant || number[k] != '0';
        if (significant) ++integer_digits;
    }
    if (k < number.size() && number[k] == '.') {
        for (++k; k < number.size() && is_digit(number[k]); ++k) {
            if (!significant && number[k] == '0') ++leading_zeros;
            significant = significant || number[k] != '0';
        }
    }
    long exponent = 0;
    if (k < number.size() && (number[k] == 'e' || number[k] == 'E')) {
        bool negative = k + 1 < number.size() && number[k + 1] == '-';
        for (k += (k + 1 < number.size() && (number[k + 1] == '-' || number[k + 1] == '+')) ? 2 : 1;
             k < number.size() && is_digit(number[k]) && exponent < 100000; ++k)
            exponent = exponent * 10 + (number[k] - '0');
        if (negative) exponent = -exponent;
    }
    return (integer_digits > 0 ? integer_digits : -leading_zeros) + exponent;
}

}  // namespace

void strip_blanks(std::string_view source, std::string& out) {
    out.clear();
    bool in_quotes = false;
    for (char c : source) {
        if (c == '"') in_quotes = !in_quotes;
        if (!in_quotes && is_blank(c)) continue;
        out += c;
    }
}

std::size_t strip_blanks(std::string_view source, char* out, std::size_t capacity) {
    std::size_t size = 0;
    bool in_quotes = false;
    for (char c : source) {
        if (c == '"') in_quotes = !in_quotes;
        if (!in_quotes && is_blank(c)) continue;
        if (size + 1 >= capacity) return std::string_view::npos;  // keep room for the NUL
        out[size++] = c;
    }
    out[size] = '\0';
    return size;
}

bool is_logical_operator(std::string_view text, std::size_t pos) {
    if (pos + 1 >= text.size() || text[pos] != kOpEscape) return false;
    char c = text[pos + 1];
    return c == kOpAnd || c == kOpOr || c == kOpNot || c == kOpXor;
}

bool is_operator(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return false;
    if (is_one_char_operator(text[pos])) return true;
    if (pos + 1 < text.size() && text[pos] == kOpEscape && text[pos + 1] == kOpMod) return true;
    return is_logical_operator(text, pos);
}

bool is_exponent_sign(std::string_view text, std::size_t pos) {
    if (pos < 2) return false;
    std::size_t q = pos - 2;
    while (is_digit(text[q]) || text[q] == '.') {
        if (q == 0) return true;  // the number starts the text
        --q;
    }
    // The mantissa must follow an operator: its first byte, or a token's letter.
    if (is_operator(text, q)) return true;
    return q >= 1 && text[q - 1] == kOpEscape && is_token_letter(text[q]);
}

bool is_name_char(uint8_t byte) {
    char c = static_cast<char>(byte);
    return is_ascii_letter(c) || is_digit(c) || c == '!' || c == '#' || c == '$' || c == '%' ||
           c == ',' || c == '.';
}

void trim_leading_zero(std::string& number) {
    number.resize(trim_leading_zero(number.data(), number.size()));
}

std::size_t trim_leading_zero(char* number, std::size_t size) {
    std::size_t zero = (size > 0 && number[0] == '-') ? 1 : 0;
    if (size <= zero + 1 || number[zero] != '0' || number[zero + 1] != '.') return size;
    for (std::size_t k = zero; k + 1 < size; ++k)
        number[k] = number[k + 1];
    return size - 1;
}

std::string format_general(double value) {
    char buffer[kGeneralTextMax];
    return std::string(buffer, write_general(buffer, value));
}

std::string format_fixed(double value) {
    return format_with(value, std::chars_format::fixed, 6);
}

std::string format_single(double value) {
    // Out-of-range values become infinities of their sign, as a float conversion would.
    float single = std::fabs(value) > std::numeric_limits<float>::max()
                       ? std::copysign(std::numeric_limits<float>::infinity(), value)
                       : static_cast<float>(value);
    return format_with(static_cast<double>(single), std::chars_format::fixed, 7);
}

std::string format_integer(int32_t value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void append_general(std::string& out, double value) {
    char buffer[kGeneralTextMax];
    out.append(buffer, write_general(buffer, value));
}

std::size_t write_general(char* out, double value) {
    // to_chars with the general format and precision 6 is printf's "%g".
    auto result = std::to_chars(out, out + kGeneralTextMax, value, std::chars_format::general, 6);
    return static_cast<std::size_t>(result.ptr - out);
}

double parse_decimal(std::string_view text) {
    std::size_t k = 0;
    bool negative = false;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) negative = text[k++] == '-';
    std::string_view number = text.substr(k);
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) return 0.0;  // one sign only
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    std::from_chars_result result{};
    if (number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X'))
        result = std::from_chars(first + 2, last, value, std::chars_format::hex);
    else
        result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = magnitude_of(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

int32_t parse_radix(std::string_view text, int base) {
    std::size_t k = 0;
    bool negative = false;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) negative = text[k++] == '-';
    if (base == 16 && k + 2 < text.size() && text[k] == '0' &&
        (text[k + 1] == 'x' || text[k + 1] == 'X') && digit_value(text[k + 2]) < 16)
        k += 2;  // strtol's optional prefix in base 16
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; k < text.size() && digit_value(text[k]) < base; ++k) {
        value = value * base + digit_value(text[k]);
        if (value > kLimit) value = kLimit;  // saturates like strtol
    }
    if (negative) return static_cast<int32_t>(-value);
    return value >= kLimit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(value);
}

void encode_char(uint8_t code, std::string& out, bool quoted) {
    if (quoted) out += '"';
    switch (code) {
        case 0x01:
            out += {kOpEscape, kEscapeSelf};
            break;
        case '"':
            out += {kOpEscape, kEscapeQuote};
            break;
        case 0x00:
            out += {kOpEscape, kEscapeNul};
            break;
        default:
            out += static_cast<char>(code);
            break;
    }
    if (quoted) out += '"';
}

void encode_string(std::string_view raw, std::string& out) {
    out.assign(1, '"');
    for (char c : raw)
        encode_char(static_cast<uint8_t>(c), out, false);
    out += '"';
}

bool decode_string(Runtime& rt, std::string_view escaped, std::string& raw) {
    raw.clear();
    for (std::size_t k = 0; k < escaped.size(); ++k) {
        char c = escaped[k];
        if (c != kOpEscape) {
            raw += c;
            continue;
        }
        char kind = k + 1 < escaped.size() ? escaped[++k] : '\0';
        switch (kind) {
            case kEscapeSelf:
                raw += kOpEscape;
                break;
            case kEscapeQuote:
                raw += '"';
                break;
            case kEscapeNul:
                raw += '\0';
                break;
            case kEscapeBlank:
                raw += ' ';
                break;
            default:
                report_error(rt, kUnexpected);
                return false;
        }
    }
    return true;
}

}  // namespace quillon
