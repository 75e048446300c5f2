// Keyword and operator-word lookup over the token table. The type declaration has three
// spellings and DEF FN two words, so both are spelt here rather than in the table.
#include "kavpack/keywords.h"

#include <array>
#include <utility>

#include "expr/value_text.h"
#include "host/token_table.h"

namespace quillon::kavpack {
namespace {

struct TypeSpelling {
    std::string_view keyword;
    std::string_view type;
};
constexpr std::array<TypeSpelling, 3> kTypeSpellings{{
    {"DEFINT", "int"},
    {"DEFSNG", "sng"},
    {"DEFSTR", "str"},
}};

struct OperatorSpelling {
    std::string_view word;
    char code;
};
constexpr std::array<OperatorSpelling, 5> kOperators{{
    {"MOD", kOpMod},
    {"AND", kOpAnd},
    {"OR", kOpOr},
    {"XOR", kOpXor},
    {"NOT", kOpNot},
}};

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool same_word(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

std::optional<StatementWord> find_statement_word(std::string_view word) {
    if (same_word(word, "REM")) return StatementWord{WordKind::Remark, 0, {}};
    if (same_word(word, "DEF")) return StatementWord{WordKind::Token, kDefFnToken, {}};
    for (const auto& spelling : kTypeSpellings)
        if (same_word(word, spelling.keyword))
            return StatementWord{WordKind::TypeDeclaration, kTypeDeclarationToken, spelling.type};
    for (const auto& entry : token_table()) {
        if (entry.token == kDefFnToken || entry.token == kTypeDeclarationToken) continue;
        if (same_word(word, entry.keyword)) return StatementWord{WordKind::Token, entry.token, {}};
    }
    return std::nullopt;
}

std::optional<std::string_view> token_spelling(uint16_t token) {
    if (token == kDefFnToken) return "DEF";
    if (token == kTypeDeclarationToken) return std::nullopt;
    const TokenEntry* entry = find_token(token);
    if (!entry) return std::nullopt;
    return entry->keyword;
}

std::optional<std::string_view> type_declaration_spelling(std::string_view type) {
    for (const auto& spelling : kTypeSpellings)
        if (type == spelling.type) return spelling.keyword;
    return std::nullopt;
}

char operator_code(std::string_view word) {
    for (const auto& op : kOperators)
        if (same_word(word, op.word)) return op.code;
    return 0;
}

std::optional<std::string_view> operator_word(char code) {
    for (const auto& op : kOperators)
        if (op.code == code) return op.word;
    return std::nullopt;
}

}  // namespace quillon::kavpack
