// Shared scans over statement and argument text.
#include "host/text_scan.h"

namespace quillon {

bool equals_ignoring_case(std::string_view text, std::string_view word) {
    return text.size() == word.size() && word_at(text, 0, word);
}

bool word_at(std::string_view text, std::size_t pos, std::string_view word) {
    if (pos > text.size() || text.size() - pos < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (lower_ascii(text[pos + k]) != lower_ascii(word[k])) return false;
    return true;
}

std::size_t first_comma(std::string_view text, bool respect_quotes) {
    int depth = 0;
    bool quoted = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (respect_quotes && c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) return k;
    }
    return std::string_view::npos;
}

std::size_t closing_bracket(std::string_view text, std::size_t open, bool respect_quotes) {
    int depth = 0;
    bool quoted = false;
    for (std::size_t k = open; k < text.size(); ++k) {
        if (respect_quotes && text[k] == '"') quoted = !quoted;
        if (quoted) continue;
        if (text[k] == '(') ++depth;
        if (text[k] == ')' && --depth == 0) return k;
    }
    return std::string_view::npos;
}

}  // namespace quillon
