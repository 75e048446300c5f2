// Listing: program lines are split off their numbers, tokens are spelt as words, and the
// framing every image has (the first line "1 " and the final empty line) is left out, since
// packing adds it again.
#include "kavpack/lister.h"

#include <cstdint>
#include <vector>

#include "expr/value_text.h"
#include "host/statement.h"
#include "host/token_table.h"
#include "kavpack/font_options.h"
#include "kavpack/keywords.h"
#include "platform/text_codec.h"

namespace quillon::kavpack {
namespace {

struct ProgramLine {
    std::string_view number;
    std::string_view statements;
};

std::string_view leading_digits(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && is_digit(line[end]))
        ++end;
    return line.substr(0, end);
}

bool is_zero(std::string_view digits) {
    return !digits.empty() && digits.find_first_not_of('0') == std::string_view::npos;
}

// The lines of the program text without the framing that packing adds.
std::vector<std::string_view> program_lines(std::string_view text) {
    text = text.substr(0, text.find('\0'));  // the run loop ends at a NUL
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t lf; (lf = text.find('\n', start)) != std::string_view::npos; start = lf + 1)
        lines.push_back(text.substr(start, lf - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    // Packing writes "1 " first unless the first line is numbered 0.
    if (!lines.empty() && lines.front() == "1 " &&
        (lines.size() == 1 || !is_zero(leading_digits(lines[1]))))
        lines.erase(lines.begin());
    return lines;
}

ProgramLine split_number(std::string_view line) {
    std::string_view number = leading_digits(line);
    std::string_view rest = line.substr(number.size());
    if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    return {number, rest};
}

// Spells the statement token at `s[i]`; returns the index after what it consumed.
std::size_t spell_token(std::string_view s, std::size_t i, std::string& out) {
    uint16_t token =
        static_cast<uint16_t>(static_cast<uint8_t>(s[i]) << 8 | static_cast<uint8_t>(s[i + 1]));
    std::size_t next = i + 2;
    std::optional<std::string_view> spelling = token_spelling(token);
    if (token == kTypeDeclarationToken) {  // DEFINT and its kin: the type is the first word
        std::size_t word = next < s.size() && s[next] == ' ' ? next + 1 : next;
        std::size_t end = word;
        while (end < s.size() && is_letter(s[end]))
            ++end;
        spelling = type_declaration_spelling(s.substr(word, end - word));
        if (spelling)
            next = end;
        else
            spelling = find_token(token)->keyword;
    }
    if (!spelling) {  // unknown token: its bytes in hexadecimal, which cannot pack back
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += {'[', kHex[token >> 12],      kHex[token >> 8 & 0xF],
                ' ', kHex[token >> 4 & 0xF], kHex[token & 0xF],
                ']'};
        return next;
    }
    out += *spelling;
    if (next < s.size() && is_name_byte(s[next])) out += ' ';
    return next;
}

// Statement text with tokens spelt out (Shift-JIS).
std::string spell_statements(std::string_view s) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < s.size();) {
        char c = s[i];
        std::optional<std::string_view> word;
        if (c == '"') quoted = !quoted;
        if (!quoted && i + 1 < s.size() && is_token_lead(static_cast<uint8_t>(c))) {
            i = spell_token(s, i, out);
        } else if (!quoted && c == kOpEscape && i + 1 < s.size() &&
                   (word = operator_word(s[i + 1]))) {
            if (!out.empty() && is_name_byte(out.back())) out += ' ';
            out += *word;
            i += 2;
            if (i < s.size() && is_name_byte(s[i])) out += ' ';
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Numbers can be left out when packing would give the same ones: lines numbered 1, 2, 3 ...
// whose statements do not begin with something read as a line number.
bool numbers_can_be_left_out(const std::vector<ProgramLine>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].number != std::to_string(i + 1)) return false;
        if (!lines[i].statements.empty() &&
            (is_digit(lines[i].statements[0]) || is_blank(lines[i].statements[0])))
            return false;
    }
    return true;
}

}  // namespace

std::string list_program(const ProgramImage& image) {
    std::vector<ProgramLine> lines;
    for (std::string_view line : program_lines(image.text))
        lines.push_back(split_number(line));
    const bool show_numbers = !numbers_can_be_left_out(lines);
    std::string listing = sjis_to_utf8(option_line_for(image));
    if (!listing.empty()) listing += '\n';
    for (const ProgramLine& line : lines) {
        std::string text = spell_statements(line.statements);
        if (show_numbers || text.empty()) {  // a blank source line would take no number
            listing += line.number;
            if (!text.empty()) listing += ' ';
        }
        listing += sjis_to_utf8(text);  // line by line: a stray lead byte cannot take the LF
        listing += '\n';
    }
    return listing;
}

}  // namespace quillon::kavpack
