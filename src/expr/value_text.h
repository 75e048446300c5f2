// Value text and operator tokens: how numbers and strings are written when values travel as
// text, and the small helpers every evaluator and handler shares. Locale-independent.
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

// Copies `source` to `out` without the blanks and tabs that stand outside double quotes.
void strip_blanks(std::string_view source, std::string& out);
bool is_logical_operator(std::string_view text, std::size_t pos);
bool is_operator(std::string_view text, std::size_t pos);
bool is_exponent_sign(std::string_view text, std::size_t pos);
bool is_name_char(uint8_t byte);
// Drops a lone zero before the decimal point at the start (0.25 -> .25, -0.5 -> -.5).
void trim_leading_zero(std::string& number);

// Number formats of value text.
std::string format_general(double value);   // "%g"
std::string format_fixed(double value);     // "%f"
std::string format_single(double value);    // "%.7f" of the value as a single
std::string format_integer(int32_t value);  // "%d"
void append_general(std::string& out, double value);

// Writes one character as escaped string text, enclosed in double quotes when `quoted`.
void encode_char(uint8_t code, std::string& out, bool quoted);
// Decodes the escaped bytes between a string value's quotes into raw bytes. Reports error 4 on
// an unknown escape and returns false.
bool decode_string(Runtime& rt, std::string_view escaped, std::string& raw);

}  // namespace quillon
