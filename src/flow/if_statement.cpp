// IF: evaluates the condition, finds its own token in the program text from the statement mark,
// then its THEN (true) or its own ELSE (false, nested IFs counted) on the same line, and moves
// the position to the last blank before that part with the inline-branch flag on.
#include <string_view>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "flow/jumps.h"
#include "flow/prepared_flow.h"
#include "flow/program_text.h"
#include "flow/scan_memory.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/prepared_statement.h"
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

constexpr int32_t kNotYet = INT32_MIN + 1;  // a part not looked for yet

// Where a true and a false condition go from the IF whose statement mark is `mark`.
struct IfParts {
    int32_t mark = INT32_MIN;  // none worked out yet
    int32_t own = 0;
    int32_t then_part = 0;
    int32_t else_part = 0;
};

int32_t own_token(Runtime& rt) {
    auto& flow = rt.flow;
    std::string_view text = rt.host.program;
    int32_t mark = rt.host.statement_mark;
    return remembered(flow.remember_scans, flow.scans.if_token, scan_key(mark),
                      [&] { return find_own_token(text, mark); });
}

int32_t branch_part(Runtime& rt, int32_t own, bool condition) {
    auto& flow = rt.flow;
    std::string_view text = rt.host.program;
    return condition ? remembered(flow.remember_scans, flow.scans.if_then, scan_key(own),
                                  [&] { return find_then(text, own); })
                     : remembered(flow.remember_scans, flow.scans.if_else, scan_key(own),
                                  [&] { return find_else(text, own); });
}

// Moves to the THEN part (true) or the ELSE part (false) of the IF's line.
void go_to_part(Runtime& rt, int32_t own, int32_t part, bool condition) {
    if (own == kScanNotFound) {
        report_error(rt, kSyntaxError);
        return;
    }
    if (part == kScanNotFound) {
        if (condition) report_error(rt, kSyntaxError);  // no THEN: a true IF cannot go on
        return;  // no ELSE: the run loop already stands at the end of the line
    }
    rt.host.position = part;
    rt.host.inline_branch = true;
}

class IfShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        int32_t condition = 0;
        if (!x.condition(rt, this->condition, condition) || !expansion_fits(rt)) return false;
        const bool truth = condition != 0;
        // The parts depend only on the statement mark, which is the same each time this
        // statement runs from the same place; they are kept as the scans remember them.
        if (!rt.flow.remember_scans || parts.mark != rt.host.statement_mark) {
            int32_t own = own_token(rt);
            parts = {rt.host.statement_mark, own, kNotYet, kNotYet};
        }
        int32_t& part = truth ? parts.then_part : parts.else_part;
        if (part == kNotYet && parts.own != kScanNotFound) part = branch_part(rt, parts.own, truth);
        go_to_part(rt, parts.own, part, truth);
        return true;
    }
    ExprRef condition;
    IfParts parts;
};

}  // namespace

void if_statement(Runtime& rt, StatementContext& ctx) {
    const int32_t before = rt.host.position;
    int32_t condition = eval_condition(rt, ctx.args);
    if (evaluation_failed(rt, before)) return;
    int32_t own = own_token(rt);
    int32_t part = own == kScanNotFound ? own : branch_part(rt, own, condition != 0);
    go_to_part(rt, own, part, condition != 0);
}

std::unique_ptr<PreparedShape> prepare_if(Runtime& rt, std::string_view args) {
    auto shape = std::make_unique<IfShape>();
    std::string stripped;
    strip_blanks(args, stripped);
    if (!shape->x.add_condition(rt, stripped, shape->condition)) return nullptr;
    return shape;
}

}  // namespace quillon
