// Source spellings of statement tokens and operator tokens, read from the token table: what the
// tokenizer recognises and what the lister prints back.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "host/text_scan.h"

namespace quillon::kavpack {

// Tokens whose source form differs from a plain keyword, or whose arguments kavpack adjusts.
inline constexpr uint16_t kPrintToken = 0x1010;
inline constexpr uint16_t kMouseToken = 0x1014;
inline constexpr uint16_t kIfToken = 0x1020;
inline constexpr uint16_t kGotoToken = 0x1021;
inline constexpr uint16_t kGosubToken = 0x1031;
inline constexpr uint16_t kCircleToken = 0x1041;
inline constexpr uint16_t kGprintToken = 0x1047;
inline constexpr uint16_t kTypeDeclarationToken = 0x1062;
inline constexpr uint16_t kDataToken = 0x1063;
inline constexpr uint16_t kRestoreToken = 0x1065;
inline constexpr uint16_t kDefFnToken = 0x1077;
inline constexpr uint16_t kPutToken = 0x1111;
inline constexpr uint16_t kLineToken = 0x1112;

// What a word at the start of a statement stands for.
enum class WordKind {
    Token,            // a statement keyword (DEF and LINE need a second word, see below)
    TypeDeclaration,  // DEFINT, DEFSNG, DEFSTR: `type` holds int, sng or str
    Remark,           // REM: the rest of the line is a comment
};

struct StatementWord {
    WordKind kind = WordKind::Token;
    uint16_t token = 0;
    std::string_view type;  // argument keyword of a type declaration
};

// The statement word spelt `word` (ASCII letters, any case), or nothing. DEF stands for the
// DEF FN token and LINE for the LINE token; the tokenizer checks the words that follow them.
std::optional<StatementWord> find_statement_word(std::string_view word);

// The keyword the lister prints for a token: the table's spelling, DEF for DEF FN; nothing
// for the type declaration (spelt by its argument) and for unknown tokens.
std::optional<std::string_view> token_spelling(uint16_t token);

// The type declaration's source keyword for its argument keyword (int -> DEFINT ...).
std::optional<std::string_view> type_declaration_spelling(std::string_view type);

// The operator token letter of an operator word (MOD AND OR XOR NOT, any case), or 0.
char operator_code(std::string_view word);
// The word of an operator token letter, or nothing.
std::optional<std::string_view> operator_word(char code);

inline bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
// Bytes of names and numbers: a word is whole only between bytes that are not these.
inline bool is_name_byte(char c) {
    return is_letter(c) || is_digit(c) || c == '_' || c == '.' || static_cast<uint8_t>(c) >= 0x80;
}

// Case-insensitive comparison of ASCII words.
bool same_word(std::string_view a, std::string_view b);

}  // namespace quillon::kavpack
