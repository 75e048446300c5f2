// IF: evaluates the condition, finds its own token in the program text from the statement mark,
// then its THEN (true) or its own ELSE (false, nested IFs counted) on the same line, and moves
// the position to the last blank before that part with the inline-branch flag on.
#include <string_view>

#include "expr/evaluator.h"
#include "flow/jumps.h"
#include "flow/program_text.h"
#include "flow/scan_memory.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/runtime.h"

namespace quillon {
namespace {

using namespace flow;

// The IF token at or after the statement mark, with a blank or ":" before it.
int32_t find_own_token(std::string_view text, int32_t mark) {
    for (int32_t k = mark;; ++k) {
        if (token_at(text, k, kIfToken)) return k;
        if (k >= 0 && byte_at(text, k) == '\0') return kScanNotFound;
    }
}

// From the blank or tab after a keyword to the last blank or tab before the part.
int32_t last_blank_of(std::string_view text, int32_t pos) {
    while (is_blank(byte_at(text, pos + 1)))
        ++pos;
    return pos;
}

bool keyword_at(std::string_view text, int32_t k, std::string_view word) {
    return word_at(text, k + 1, word) && is_blank(byte_at(text, k + 5));
}

// THEN: a blank, tab or ")" before it and a blank or tab after it, outside quotes.
int32_t find_then(std::string_view text, int32_t p) {
    bool in_quotes = false;
    for (int32_t k = p;; ++k) {
        char c = byte_at(text, k);
        if (ends_line(c)) return kScanNotFound;
        if (c == '"') in_quotes = !in_quotes;
        if (!in_quotes && (is_blank(c) || c == ')') && keyword_at(text, k, "then"))
            return last_blank_of(text, k + 5);
    }
}

// The IF's own ELSE: every IF after it on the line takes the next ELSE first.
int32_t find_else(std::string_view text, int32_t p) {
    bool in_quotes = false;
    int nesting = 1;
    for (int32_t k = p;; ++k) {
        char c = byte_at(text, k);
        if (ends_line(c)) return kScanNotFound;
        if ((c == ' ' || c == ':') &&
            static_cast<uint8_t>(byte_at(text, k + 1)) == (kIfToken >> 8) &&
            static_cast<uint8_t>(byte_at(text, k + 2)) == (kIfToken & 0xFF))
            ++nesting;
        if (c == '"') in_quotes = !in_quotes;
        if (!in_quotes && (is_blank(c) || c == ')' || c == ':') && keyword_at(text, k, "else") &&
            --nesting == 0)
            return last_blank_of(text, k + 5);
    }
}

}  // namespace

void if_statement(Runtime& rt, StatementContext& ctx) {
    auto& host = rt.host;
    auto& flow = rt.flow;
    const int32_t before = host.position;
    int32_t condition = eval_condition(rt, ctx.args);
    if (evaluation_failed(rt, before)) return;
    std::string_view text = host.program;
    int32_t own =
        remembered(flow.remember_scans, flow.scans.if_token, scan_key(host.statement_mark),
                   [&] { return find_own_token(text, host.statement_mark); });
    if (own == kScanNotFound) {
        report_error(rt, kSyntaxError);
        return;
    }
    int32_t part = condition != 0 ? remembered(flow.remember_scans, flow.scans.if_then,
                                               scan_key(own), [&] { return find_then(text, own); })
                                  : remembered(flow.remember_scans, flow.scans.if_else,
                                               scan_key(own), [&] { return find_else(text, own); });
    if (part == kScanNotFound) {
        if (condition != 0) report_error(rt, kSyntaxError);  // no THEN: a true IF cannot go on
        return;  // no ELSE: the run loop already stands at the end of the line
    }
    host.position = part;
    host.inline_branch = true;
}

}  // namespace quillon
