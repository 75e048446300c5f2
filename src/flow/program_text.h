// Reading the program text for the control-flow scans: bytes at any position (-1 and the end
// read as line feed and NUL), keywords in any letter case, statement tokens, statement starts,
// loop variables, and the forward and backward walks over statement starts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "host/text_scan.h"

namespace quillon::flow {

inline constexpr uint16_t kIfToken = 0x1020;
inline constexpr uint16_t kGotoToken = 0x1021;
inline constexpr uint16_t kForToken = 0x1025;
inline constexpr uint16_t kNextToken = 0x1026;
inline constexpr uint16_t kWhileToken = 0x1027;
inline constexpr uint16_t kWendToken = 0x1030;
inline constexpr uint16_t kGosubToken = 0x1031;

// The byte at `pos`; -1 (before the text) reads as a line feed, the end of the text as NUL.
inline char byte_at(std::string_view text, int32_t pos) {
    if (pos < 0) return '\n';
    if (static_cast<std::size_t>(pos) >= text.size()) return '\0';
    return text[static_cast<std::size_t>(pos)];
}
inline bool ends_line(char c) {
    return c == '\n' || c == '\0';
}

// True when `word` (lower case) stands at `pos` of `text`, in any letter case.
bool word_at(std::string_view text, int32_t pos, std::string_view word);
// True when the two bytes of `token` stand at `pos` with a blank or ":" just before them.
bool token_at(std::string_view text, int32_t pos, uint16_t token);
// The two token bytes as text, for building statements such as GOTO and GOSUB.
void append_token(std::string& out, uint16_t token);
// The position of the first byte at or after `pos` that is not a blank or tab.
int32_t skip_blanks(std::string_view text, int32_t pos);
// The first statement of the line after `line_feed` (a line feed, or -1): past the line number
// and the blanks that follow it.
int32_t line_statement_start(std::string_view text, int32_t line_feed);
// The variable of a FOR statement at `start`: from after the token and its blank to the first
// "=", blank or tab.
std::string_view for_variable(std::string_view text, int32_t start);
// The variable of a NEXT statement at `start`: from after the token and the blanks that follow
// to the first line feed, ":", blank, tab or NUL. `end` receives the position after it.
std::string_view next_variable(std::string_view text, int32_t start, int32_t* end = nullptr);
// True when the blank or tab at `pos` follows a THEN or ELSE keyword that opens a branch part:
// a blank, tab, ")" or '"' before the keyword (also ":" before ELSE).
bool after_branch_keyword(std::string_view text, int32_t pos);

// A statement found by a scan: its first byte, and the separator the run loop must stand on to
// read it next (its line feed or -1, its ":", or the last blank after THEN or ELSE).
struct StatementStart {
    int32_t separator = 0;
    int32_t start = 0;
};

// Visits the statement starts after `from` (the separator of the statement that scans) in
// order: the first statement of each line and the statement after each ":" (outside quotes
// when `quotes` is set), blanks after the ":" skipped. Stops when `visit(start)` returns true
// and returns that start; nothing when the text ends first.
template <class Visit>
std::optional<int32_t> scan_forward(std::string_view text, int32_t from, bool quotes,
                                    Visit&& visit) {
    bool in_quotes = false;
    for (int32_t k = from;; ++k) {
        char c = byte_at(text, k);
        if (c == '\0') return std::nullopt;
        std::optional<int32_t> start;
        if (c == '\n') {
            in_quotes = false;  // a line ends every string, as it does for the run loop
            start = line_statement_start(text, k);
        } else if (c == '"') {
            in_quotes = quotes && !in_quotes;
        } else if (c == ':' && !in_quotes) {
            start = skip_blanks(text, k + 1);
        }
        if (start && visit(*start)) return start;
    }
}

// Visits the statement starts before the statement that ends at `position` (its separator),
// nearest first, down to the start of the text. The scanning statement itself is passed over.
// Starts are the first statement of each line, the statement after each ":" outside quotes
// (blanks skipped) and, when `inline_branch` is set and only on the scanning statement's own
// line, the statement after a THEN or ELSE keyword. Stops when `visit(start)` returns true.
template <class Visit>
std::optional<StatementStart> scan_backward(std::string_view text, int32_t position,
                                            bool inline_branch, Visit&& visit) {
    bool in_quotes = false;
    int32_t k = position - 1;
    while (k >= 0 && text[static_cast<std::size_t>(k)] != '\n') {  // to the own separator
        char c = text[static_cast<std::size_t>(k)];
        if (c == '"') in_quotes = !in_quotes;
        if (c == ':' && !in_quotes) break;
        --k;
    }
    if (k < 0) return std::nullopt;  // the scanning statement opens the text
    bool own_line = text[static_cast<std::size_t>(k)] == ':';
    in_quotes = false;  // a ":" that stopped the walk stands outside quotes; a line feed ends them
    for (--k; k >= -1; --k) {
        char c = byte_at(text, k);
        StatementStart found{k, -1};
        if (c == '\n') {
            found.start = line_statement_start(text, k);
        } else if (c == '"') {
            in_quotes = !in_quotes;
        } else if (!in_quotes && c == ':') {
            found.start = skip_blanks(text, k + 1);
        } else if (!in_quotes && inline_branch && own_line && is_blank(c) &&
                   after_branch_keyword(text, k)) {
            found.start = skip_blanks(text, k + 1);
            found.separator = found.start - 1;  // the last blank before the part
        }
        if (found.start >= 0 && visit(found.start)) return found;
        if (c == '\n') in_quotes = own_line = false;
    }
    return std::nullopt;
}

}  // namespace quillon::flow
