// Value text and operator tokens: how numbers and strings are written when values travel as
// text, and the small helpers every evaluator and handler shares. Locale-independent: numbers
// are written and read with std::to_chars / std::from_chars only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// Operator tokens inside expression text: 0x01 followed by a letter or sign.
inline constexpr char kOpEscape = 0x01;
inline constexpr char kOpMod = 'm';
inline constexpr char kOpAnd = '&';
inline constexpr char kOpOr = '|';
inline constexpr char kOpXor = 'e';
inline constexpr char kOpNot = '!';
inline constexpr char kHiddenOpen = 'a';   // a hidden "(" while calls are expanded
inline constexpr char kHiddenClose = 'b';  // a hidden ")"

// Escape pairs inside string values: 0x01 followed by one of these.
inline constexpr char kEscapeSelf = 0x01;  // the byte 0x01
inline constexpr char kEscapeQuote = 'D';  // a double quote
inline constexpr char kEscapeNul = 'Z';    // a NUL byte
inline constexpr char kEscapeBlank = 'L';  // a blank

// Room for any "%g" text ("-1.79769e+308", "-nan").
inline constexpr std::size_t kGeneralTextMax = 32;

// Copies `source` to `out` without the blanks and tabs that stand outside double quotes.
void strip_blanks(std::string_view source, std::string& out);
// The same into a fixed buffer of `capacity` bytes (NUL added); returns the length, or
// std::string_view::npos when the text does not fit.
std::size_t strip_blanks(std::string_view source, char* out, std::size_t capacity);

bool is_logical_operator(std::string_view text, std::size_t pos);
bool is_operator(std::string_view text, std::size_t pos);
// Whether the "+" or "-" at `pos`, which follows an "e" or "E", is the sign of an exponent.
bool is_exponent_sign(std::string_view text, std::size_t pos);
bool is_name_char(uint8_t byte);
inline bool is_ascii_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
inline bool is_sign(char c) {
    return c == '+' || c == '-';
}
inline char to_upper_ascii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
// The letter of an operator token (MOD, AND, OR, XOR, NOT) after its 0x01 byte.
inline bool is_token_letter(char c) {
    return c == kOpMod || c == kOpAnd || c == kOpOr || c == kOpXor || c == kOpNot;
}
// True when `text` is quoted string value text: it begins and ends with a double quote.
inline bool is_quoted(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// Drops a lone zero before the decimal point at the start (0.25 -> .25, -0.5 -> -.5).
void trim_leading_zero(std::string& number);
// The same on a buffer of `size` bytes; returns the new size.
std::size_t trim_leading_zero(char* number, std::size_t size);

// Number formats of value text.
std::string format_general(double value);   // "%g"
std::string format_fixed(double value);     // "%f"
std::string format_single(double value);    // "%.7f": seven decimals
std::string format_integer(int32_t value);  // "%d"
void append_general(std::string& out, double value);
// "%g" into a buffer of at least kGeneralTextMax bytes; returns the length. Whole numbers
// below 10^6 and values of up to six digits without an exponent are written directly.
std::size_t write_general(char* out, double value);
// The same through the library formatter alone (the reference for the direct cases).
std::size_t write_general_full(char* out, double value);
// The number that the "%g" text of `value` reads back as: value text keeps six significant
// digits, and this gives them without writing and reading the text in the common cases.
double round_general(double value);

// Reads a decimal number at the start of `text` as the C library's atof does: white space
// skipped, optional sign, digits with an optional point and exponent, also inf, nan and 0x
// hexadecimal forms. Text without a number reads as 0; a value beyond the double range reads
// as an infinity or zero.
double parse_decimal(std::string_view text);
// Reads an integer at the start of `text` in base 8, 10 or 16 as strtol does with a 32-bit
// long: optional sign (and "0x" in base 16), digits up to the first other byte; a value beyond
// the range gives 2147483647 or -2147483648.
int32_t parse_radix(std::string_view text, int base);

// Writes one character as escaped string text, enclosed in double quotes when `quoted`. Only
// the three bytes a value cannot hold are escaped (0x01, the double quote, NUL): a blank stays
// a blank, so that a typed or computed blank compares equal to a blank in a literal.
void encode_char(uint8_t code, std::string& out, bool quoted);
// Writes raw bytes as string value text, quotes included.
void encode_string(std::string_view raw, std::string& out);
// The raw bytes of escaped string characters; false on an escape that is not one of ours.
bool decode_escapes(std::string_view escaped, std::string& raw);
// Decodes the escaped bytes between a string value's quotes into raw bytes in `raw`.
// Reports error 4 on an unknown escape and returns false.
bool decode_string(Runtime& rt, std::string_view escaped, std::string& raw);

}  // namespace quillon
