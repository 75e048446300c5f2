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

// ---- The "%g" fast path ----
// Values whose six significant digits can be found with one exact scaling are written (and
// rounded) here; everything else goes through to_chars. The scaled product is within 1e-9
// of the true one (it stays below 2^24), so a fraction more than kTieMargin away from one half
// rounds the same way as the exact decimal expansion would; nearer ties take the general path.

constexpr double kTieMargin = 1e-9;
constexpr int kDigits = 6;                  // "%g"'s precision
constexpr uint32_t kMantissaMin = 100000;   // six digits, the first nonzero
constexpr uint32_t kMantissaEnd = 1000000;  // 10^6: one digit too many
constexpr double kFixedEnd = 1e6;           // from here on "%g" writes an exponent
constexpr double kFixedStart = 1e-4;        // below this too
constexpr int kExponentMin = -4;            // decimal exponents written without "e"
constexpr int kExponentMax = 5;
// 10^0 .. 10^9, all exact in a double.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// 10^exponent as the nearest double, for the first guess of a value's exponent.
double approximate_power(int exponent) {
    return exponent >= 0 ? kPowersOfTen[exponent] : 1.0 / kPowersOfTen[-exponent];
}

// The six-digit mantissa of |value| scaled to decimal exponent `exponent`, rounded to
// nearest; false when the fraction lies too near one half to be sure.
bool scaled_mantissa(double magnitude, int exponent, uint32_t& mantissa) {
    double scaled = magnitude * kPowersOfTen[kExponentMax - exponent];
    double whole = std::floor(scaled);
    double fraction = scaled - whole;  // exact: whole and scaled share their binade
    if (std::fabs(fraction - 0.5) < kTieMargin) return false;
    mantissa = static_cast<uint32_t>(whole) + (fraction > 0.5 ? 1 : 0);
    return true;
}

// The six significant digits and the decimal exponent of the first one, as "%g" rounds a
// magnitude, when the result is written without an exponent; false otherwise, or when the
// rounding is too close to call.
bool six_digits(double magnitude, uint32_t& mantissa, int& exponent) {
    if (!(magnitude >= kFixedStart && magnitude < kFixedEnd)) return false;  // NaN too
    exponent = kExponentMax;
    while (exponent > kExponentMin && magnitude < approximate_power(exponent))
        --exponent;
    for (int attempt = 0; attempt < 3; ++attempt) {  // the guess is off by at most one
        if (!scaled_mantissa(magnitude, exponent, mantissa)) return false;
        if (mantissa >= kMantissaEnd) {
            if (exponent == kExponentMax) return false;  // rounds up to 1e+06
            ++exponent;
        } else if (mantissa < kMantissaMin) {
            if (exponent == kExponentMin) return false;
            --exponent;
        } else {
            return true;
        }
    }
    return false;
}

// Whole numbers below 10^6 are written as they are by "%g".
bool is_small_whole(double value) {
    return std::fabs(value) < kFixedEnd && value == std::trunc(value);
}

std::size_t write_small_whole(char* out, double value) {
    char* p = out;
    if (std::signbit(value)) *p++ = '-';  // "-0" too
    auto whole = static_cast<uint32_t>(std::fabs(value));
    char digits[kDigits];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    while (count > 0)
        *p++ = digits[--count];
    return static_cast<std::size_t>(p - out);
}

// Writes a mantissa and exponent from six_digits in "%g"'s fixed style: trailing zeros of the
// fraction dropped, and the point with them when nothing is left after it.
std::size_t write_six_digits(char* out, bool negative, uint32_t mantissa, int exponent) {
    char digits[kDigits];
    for (int k = kDigits - 1; k >= 0; --k, mantissa /= 10)
        digits[k] = static_cast<char>('0' + mantissa % 10);
    int used = kDigits;
    while (used > 1 && used > exponent + 1 && digits[used - 1] == '0')
        --used;
    char* p = out;
    if (negative) *p++ = '-';
    if (exponent < 0) {
        *p++ = '0';
        *p++ = '.';
        for (int k = exponent + 1; k < 0; ++k)
            *p++ = '0';
        for (int k = 0; k < used; ++k)
            *p++ = digits[k];
    } else {
        for (int k = 0; k <= exponent; ++k)
            *p++ = digits[k];
        if (used > exponent + 1) *p++ = '.';
        for (int k = exponent + 1; k < used; ++k)
            *p++ = digits[k];
    }
    return static_cast<std::size_t>(p - out);
}

// The bytes the C library's isspace accepts in the "C" locale.
bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
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
    // The value itself with seven decimals: no float in between, so 16777217 stays 16777217.
    return format_with(value, std::chars_format::fixed, 7);
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
    if (is_small_whole(value)) return write_small_whole(out, value);
    uint32_t mantissa = 0;
    int exponent = 0;
    if (six_digits(std::fabs(value), mantissa, exponent))
        return write_six_digits(out, std::signbit(value), mantissa, exponent);
    return write_general_full(out, value);
}

std::size_t write_general_full(char* out, double value) {
    // to_chars with the general format and precision 6 is printf's "%g".
    auto result =
        std::to_chars(out, out + kGeneralTextMax, value, std::chars_format::general, kDigits);
    return static_cast<std::size_t>(result.ptr - out);
}

double round_general(double value) {
    if (is_small_whole(value)) return value;
    uint32_t mantissa = 0;
    int exponent = 0;
    if (six_digits(std::fabs(value), mantissa, exponent)) {
        // One correctly rounded division, as reading the decimal text would give.
        double rounded = mantissa / kPowersOfTen[kExponentMax - exponent];
        return std::signbit(value) ? -rounded : rounded;
    }
    char text[kGeneralTextMax];
    return parse_decimal(std::string_view(text, write_general_full(text, value)));
}

double parse_decimal(std::string_view text) {
    std::size_t k = 0;
    while (k < text.size() && is_c_space(text[k]))
        ++k;  // as atof: " -.5" and the blank PRINT # writes before a number are read past
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
    out.clear();
    out.reserve(raw.size() + 2);
    out += '"';
    std::size_t plain = 0;  // bytes from here on need no escape up to the next special one
    for (std::size_t k = 0; k < raw.size(); ++k) {
        char c = raw[k];
        if (c != kOpEscape && c != '"' && c != '\0') continue;
        out.append(raw.substr(plain, k - plain));
        encode_char(static_cast<uint8_t>(c), out, false);
        plain = k + 1;
    }
    out.append(raw.substr(plain));
    out += '"';
}

bool decode_escapes(std::string_view escaped, std::string& raw) {
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
                return false;
        }
    }
    return true;
}

bool decode_string(Runtime& rt, std::string_view escaped, std::string& raw) {
    if (decode_escapes(escaped, raw)) return true;
    report_error(rt, kUnexpected);
    return false;
}

}  // namespace quillon
