// The comparison operators of conditions, read the same way by the evaluator and by prepared
// expressions: both must find and apply the same operator in the same text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillon {

enum class Relation : uint8_t { kEqual, kNotEqual, kLess, kLessEqual, kGreater, kGreaterEqual };

inline bool is_comparison_char(char c) {
    return c == '=' || c == '<' || c == '>';
}

// The comparison operator at `pos` and its width (1 or 2). =< and => read as <= and >=.
inline Relation relation_at(std::string_view text, std::size_t pos, std::size_t& width) {
    char c = text[pos];
    char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
    width = 2;
    if (c == '=' && next == '<') return Relation::kLessEqual;
    if (c == '=' && next == '>') return Relation::kGreaterEqual;
    if ((c == '<' && next == '>') || (c == '>' && next == '<')) return Relation::kNotEqual;
    if (c == '<' && next == '=') return Relation::kLessEqual;
    if (c == '>' && next == '=') return Relation::kGreaterEqual;
    width = 1;
    if (c == '<') return Relation::kLess;
    if (c == '>') return Relation::kGreater;
    return Relation::kEqual;
}

// The first comparison operator outside quotes and brackets, or npos.
inline std::size_t find_comparison(std::string_view text) {
    bool in_quotes = false;
    int depth = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (depth == 0 && is_comparison_char(c)) return k;
    }
    return std::string_view::npos;
}

// Whether `relation` holds for an ordering (negative, zero or positive).
inline bool holds(Relation relation, int order) {
    switch (relation) {
        case Relation::kEqual:
            return order == 0;
        case Relation::kNotEqual:
            return order != 0;
        case Relation::kLess:
            return order < 0;
        case Relation::kLessEqual:
            return order <= 0;
        case Relation::kGreater:
            return order > 0;
        case Relation::kGreaterEqual:
            return order >= 0;
    }
    return false;
}

}  // namespace quillon
