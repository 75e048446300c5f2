// GOTO, GOSUB, RETURN and ON: targets are found by scanning the program text's line starts,
// subroutines push the position and the inline-branch flag, and ON picks a target from a list
// or sets the error trap or a mouse event trap.
#include "flow/jumps.h"

#include <string>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "flow/event_traps.h"
#include "flow/prepared_flow.h"
#include "flow/program_text.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/prepared_statement.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

using namespace flow;

// The value of the decimal digits at `pos` (0 without digits); saturates instead of overflowing.
uint64_t leading_number(std::string_view text, int32_t pos) {
    uint64_t value = 0;
    for (char c = byte_at(text, pos); is_digit(c); c = byte_at(text, ++pos)) {
        uint64_t digit = static_cast<uint64_t>(c - '0');
        value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
    }
    return value;
}

// True when the line after `line_feed` begins, past its number and one blank or tab, with the
// bytes of `label` (only that many bytes are compared, case matters).
bool line_has_label(std::string_view text, int32_t line_feed, std::string_view label) {
    int32_t pos = line_feed + 1;
    while (!is_blank(byte_at(text, pos)) && !ends_line(byte_at(text, pos)))
        ++pos;
    if (!is_blank(byte_at(text, pos))) return false;
    auto from = static_cast<std::size_t>(pos + 1);
    return text.size() >= from + label.size() && text.compare(from, label.size(), label) == 0;
}

// The scan itself: visits the start of the text and every line feed in order.
std::optional<int32_t> scan_line_starts(std::string_view text, std::string_view target) {
    const bool label = target[0] == '*';
    const uint64_t wanted = label ? 0 : leading_number(target, 0);
    for (int32_t line_feed = -1;;) {
        bool found = label ? line_has_label(text, line_feed, target)
                           : leading_number(text, line_feed + 1) >= wanted;
        if (found) return line_feed < 0 ? -1 : line_feed - 1;
        std::size_t next = text.find('\n', static_cast<std::size_t>(line_feed + 1));
        if (next == std::string_view::npos) return std::nullopt;
        line_feed = static_cast<int32_t>(next);
    }
}

// The token of ON's keyword at `pos` (a blank or tab, then GOTO or GOSUB and a blank or tab),
// with the length of blank and word; 0 when there is none.
uint16_t on_keyword_at(std::string_view args, int32_t pos, int32_t& length) {
    if (!is_blank(byte_at(args, pos))) return 0;
    if (word_at(args, pos + 1, "goto") && is_blank(byte_at(args, pos + 5))) {
        length = 5;
        return kGotoToken;
    }
    if (word_at(args, pos + 1, "gosub") && is_blank(byte_at(args, pos + 6))) {
        length = 6;
        return kGosubToken;
    }
    return 0;
}

// Item k (from 1) of a comma-separated list, as written; nothing when the list is shorter.
std::optional<std::string_view> list_item(std::string_view list, int32_t k) {
    std::size_t from = 0;
    for (int32_t item = 1; item < k; ++item) {
        from = list.find(',', from);
        if (from == std::string_view::npos) return std::nullopt;
        ++from;
    }
    return list.substr(from, list.find(',', from) - from);
}

// ON ... GOTO/GOSUB with a numeric selector: the selector-th target of the list, if any.
void computed_jump(Runtime& rt, std::string_view selector, uint16_t token,
                   std::string_view targets) {
    const int32_t before = rt.host.position;
    int32_t k = eval_integer(rt, selector);
    if (evaluation_failed(rt, before) || k < 1) return;
    auto target = list_item(targets, k);
    if (!target) return;  // beyond the list: go on with the next statement
    if (token == kGotoToken)
        jump_to(rt, *target);
    else
        call_subroutine(rt, *target);
}

// The jump position of a target text that a jump has found before (the scans remember every
// target found); nothing when it has not been found yet, or scans are not remembered.
std::optional<int32_t> known_target(Runtime& rt, std::string_view target) {
    if (!rt.flow.remember_scans) return std::nullopt;
    auto& targets = rt.flow.scans.jump_targets;
    auto hit = targets.find(target);
    if (hit == targets.end()) return std::nullopt;
    return hit->second;
}

void push_return(Runtime& rt) {
    auto& flow = rt.flow;
    flow.gosub[static_cast<std::size_t>(flow.gosub_depth++)] = {
        rt.host.position, rt.host.inline_branch, flow.for_reentry};
}

// A target found once and kept: the text path finds (and reports) it the first time.
struct KnownTarget {
    std::string text;
    std::optional<int32_t> position;

    bool find(Runtime& rt) {
        if (!position || !rt.flow.remember_scans) position = known_target(rt, text);
        return position.has_value();
    }
};

// GOTO and GOSUB.
class JumpShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        if (!target.find(rt)) return false;
        if (subroutine) {
            if (rt.flow.gosub_depth >= kGosubDepthMax) return false;  // error 12
            push_return(rt);
        }
        rt.host.position = *target.position;
        return true;
    }
    std::size_t bytes() const override { return sizeof(*this) + x.bytes() + target.text.size(); }
    KnownTarget target;
    bool subroutine = false;
};

class ReturnShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        if (rt.flow.gosub_depth <= 0) return false;  // error 6
        return_from_subroutine(rt);
        return true;
    }
};

// ON selector GOTO/GOSUB list: the selector parsed, each target found once.
class ComputedJumpShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        double value = 0.0;
        if (!x.number(rt, selector, value) || !expansion_fits(rt)) return false;
        int32_t k = truncate_to_int32(value);
        if (k < 1 || static_cast<std::size_t>(k) > targets.size()) return true;  // no jump
        KnownTarget& target = targets[static_cast<std::size_t>(k - 1)];
        if (!target.find(rt)) return false;
        if (token == kGosubToken) {
            if (rt.flow.gosub_depth >= kGosubDepthMax) return false;
            push_return(rt);
        }
        rt.host.position = *target.position;
        return true;
    }
    ExprRef selector;
    uint16_t token = 0;
    std::vector<KnownTarget> targets;
};

// ON's keyword: the first blank or tab followed by GOTO or GOSUB and a blank or tab.
int32_t find_on_keyword(std::string_view args, uint16_t& token, int32_t& length) {
    for (int32_t at = 0; at < static_cast<int32_t>(args.size()); ++at)
        if ((token = on_keyword_at(args, at, length)) != 0) return at;
    return -1;
}

}  // namespace

void return_from_subroutine(Runtime& rt) {
    auto& flow = rt.flow;
    const GosubEntry& entry = flow.gosub[static_cast<std::size_t>(--flow.gosub_depth)];
    rt.host.position = entry.position;
    rt.host.inline_branch = entry.inline_branch;
    flow.for_reentry = entry.for_reentry;
}

bool evaluation_failed(const Runtime& rt, int32_t position_before) {
    return rt.host.stop || rt.host.position != position_before;
}

std::optional<int32_t> find_jump_target(Runtime& rt, std::string_view target) {
    if (target.empty() || (!is_digit(target[0]) && target[0] != '*')) {
        report_error(rt, kSyntaxError);
        return std::nullopt;
    }
    auto& scans = rt.flow.scans;
    if (rt.flow.remember_scans) {
        if (auto hit = scans.jump_targets.find(target); hit != scans.jump_targets.end())
            return hit->second;
    }
    auto position = scan_line_starts(rt.host.program, target);
    if (!position) {
        report_error(rt, kBadIdentifier, target);
        return std::nullopt;
    }
    if (rt.flow.remember_scans) scans.jump_targets.emplace(std::string(target), *position);
    return position;
}

// A target that is not found leaves the position alone: after an error-trap jump, the trap's
// target stays in force.
void jump_to(Runtime& rt, std::string_view target) {
    if (auto position = find_jump_target(rt, target)) rt.host.position = *position;
}

// The 1025th nested call is refused with error 12 before anything is pushed or moved.
void call_subroutine(Runtime& rt, std::string_view target) {
    auto& flow = rt.flow;
    if (flow.gosub_depth >= kGosubDepthMax) {
        report_error(rt, kMemoryRange);
        return;
    }
    push_return(rt);
    jump_to(rt, target);
}

void goto_statement(Runtime& rt, StatementContext& ctx) {
    jump_to(rt, ctx.args);
}

void gosub_statement(Runtime& rt, StatementContext& ctx) {
    call_subroutine(rt, ctx.args);
}

void return_statement(Runtime& rt, StatementContext&) {
    if (rt.flow.gosub_depth <= 0) {
        report_error(rt, kReturnWithoutGosub);
        return;
    }
    return_from_subroutine(rt);
}

void on_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    int32_t length = 0;
    uint16_t token = 0;
    int32_t at = find_on_keyword(args, token, length);  // the blank before the keyword
    if (token == 0) {
        report_error(rt, kSyntaxError);
        return;
    }
    std::string selector;
    strip_blanks(args.substr(0, static_cast<std::size_t>(at)), selector);
    std::string_view targets =
        args.substr(static_cast<std::size_t>(skip_blanks(args, at + length)));

    std::string trap;
    append_token(trap, token);
    trap += ' ';
    trap += targets;
    if (equals_ignoring_case(selector, "error")) {
        if (trap.size() > kTrapStatementMax) {
            report_error(rt, kMemoryRange);  // the trap statement would not fit its buffer
            return;
        }
        rt.host.error_trap = std::move(trap);
    } else if (word_at(selector, 0, "mouse(")) {
        char event = byte_at(selector, 6);
        if (event < '1' || event > '5') {
            report_error(rt, kOutOfRange);
            return;
        }
        set_mouse_trap(rt, event - '0', trap);
    } else {
        computed_jump(rt, selector, token, targets);
    }
}

}  // namespace quillon

namespace quillon {

std::unique_ptr<PreparedShape> prepare_goto(Runtime& rt, std::string_view args, bool subroutine) {
    // A target the expander would change (brackets) keeps the text path.
    if (args.empty() || args.find('(') != std::string_view::npos) return nullptr;
    auto shape = std::make_unique<JumpShape>();
    shape->target.text = args;
    shape->subroutine = subroutine;
    return shape;
}

std::unique_ptr<PreparedShape> prepare_return(Runtime& rt, std::string_view args) {
    if (args.find('(') != std::string_view::npos) return nullptr;
    return std::make_unique<ReturnShape>();
}

std::unique_ptr<PreparedShape> prepare_on(Runtime& rt, std::string_view args) {
    int32_t length = 0;
    uint16_t token = 0;
    int32_t at = find_on_keyword(args, token, length);
    if (token == 0) return nullptr;
    std::string selector;
    strip_blanks(args.substr(0, static_cast<std::size_t>(at)), selector);
    std::string_view targets =
        args.substr(static_cast<std::size_t>(skip_blanks(args, at + length)));
    // ON ERROR and ON MOUSE set traps; targets the expander would change keep the text path.
    if (equals_ignoring_case(selector, "error") || word_at(selector, 0, "mouse(") ||
        targets.find('(') != std::string_view::npos)
        return nullptr;
    auto shape = std::make_unique<ComputedJumpShape>();
    shape->token = token;
    if (!shape->x.add_numeric(rt, selector, shape->selector)) return nullptr;
    for (std::size_t from = 0;;) {
        std::size_t comma = targets.find(',', from);
        shape->targets.push_back(KnownTarget{std::string(targets.substr(from, comma - from)), {}});
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    return shape;
}

}  // namespace quillon
