// Reading the program text for the control-flow scans: keywords, tokens, statement starts and
// loop variables. The walks themselves are templates in the header.
#include "flow/program_text.h"

#include <string>

namespace quillon::flow {

bool word_at(std::string_view text, int32_t pos, std::string_view word) {
    if (pos < 0) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (lower_ascii(byte_at(text, pos + static_cast<int32_t>(k))) != word[k]) return false;
    return true;
}

bool token_at(std::string_view text, int32_t pos, uint16_t token) {
    char before = byte_at(text, pos - 1);
    if (before != ' ' && before != ':') return false;
    return static_cast<uint8_t>(byte_at(text, pos)) == (token >> 8) &&
           static_cast<uint8_t>(byte_at(text, pos + 1)) == (token & 0xFF);
}

void append_token(std::string& out, uint16_t token) {
    out += static_cast<char>(token >> 8);
    out += static_cast<char>(token & 0xFF);
}

int32_t skip_blanks(std::string_view text, int32_t pos) {
    while (is_blank(byte_at(text, pos)))
        ++pos;
    return pos;
}

int32_t line_statement_start(std::string_view text, int32_t line_feed) {
    int32_t pos = line_feed + 1;
    while (!is_blank(byte_at(text, pos)) && !ends_line(byte_at(text, pos)))
        ++pos;
    return skip_blanks(text, pos);
}

std::string_view for_variable(std::string_view text, int32_t start) {
    if (!is_blank(byte_at(text, start + 2))) return {};  // a FOR without arguments
    int32_t from = start + 3;
    int32_t end = from;
    for (char c = byte_at(text, end); c != '=' && !is_blank(c) && !ends_line(c) && c != ':';
         c = byte_at(text, end))
        ++end;
    if (end <= from) return {};
    return text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(end - from));
}

std::string_view next_variable(std::string_view text, int32_t start, int32_t* end_out) {
    int32_t from = skip_blanks(text, start + 2);
    int32_t end = from;
    for (char c = byte_at(text, end); !is_blank(c) && !ends_line(c) && c != ':';
         c = byte_at(text, end))
        ++end;
    if (end_out) *end_out = end;
    if (end <= from) return {};
    return text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(end - from));
}

bool after_branch_keyword(std::string_view text, int32_t pos) {
    bool then = word_at(text, pos - 4, "then");
    bool els = !then && word_at(text, pos - 4, "else");
    if (!then && !els) return false;
    char before = byte_at(text, pos - 5);
    return is_blank(before) || before == ')' || before == '"' || (els && before == ':');
}

}  // namespace quillon::flow
