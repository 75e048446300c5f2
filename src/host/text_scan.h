// Small scans over statement and argument text that every subsystem shares: blanks, letter
// case, words, and the commas and brackets that cut argument lists.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillon {

inline bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

inline char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `text` equals `word` in any mix of ASCII letter case.
bool equals_ignoring_case(std::string_view text, std::string_view word);

// True when `word` stands at `pos` of `text` in any mix of ASCII letter case.
bool word_at(std::string_view text, std::size_t pos, std::string_view word);

// The first comma outside brackets (and outside double quotes when `respect_quotes`); npos
// when there is none.
std::size_t first_comma(std::string_view text, bool respect_quotes);

// The ")" that closes the "(" at `open`, nested brackets counted (and brackets inside double
// quotes skipped when `respect_quotes`); npos when it is missing.
std::size_t closing_bracket(std::string_view text, std::size_t open, bool respect_quotes);

}  // namespace quillon
