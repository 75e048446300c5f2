// FOR/NEXT: only the limit (on the FOR stack) and the re-entry request are kept. NEXT scans
// back to its FOR and re-runs it; FOR steps and tests the variable with generated texts. A loop
// that ends goes on after the NEXT that closed it; one that never runs scans ahead for its NEXT.
#include <cmath>
#include <string>
#include <string_view>

#include "expr/assignment.h"
#include "expr/evaluator.h"
#include "expr/prepared_assignment.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "flow/jumps.h"
#include "flow/prepared_flow.h"
#include "flow/program_text.h"
#include "flow/scan_memory.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/prepared_statement.h"
#include "host/runtime.h"

namespace quillon {
namespace {

using namespace flow;

struct ForParts {
    std::string assignment;  // "i=1"
    std::string limit;
    std::string step = "1";
};

// A FOR statement prepared ahead (its text has no function calls, so each part's text is what
// the text path evaluates): each evaluation that declines is made from that text instead.
class ForShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override;

    ForParts parts;
    std::string name;
    PreparedAssignment start;
    PreparedAssignment increment;
    ExprRef limit;
    ExprRef step;
    ExprRef variable;
};

double number_of(Runtime& rt, const ForShape* prepared, ExprRef ForShape::*expr,
                 std::string_view text) {
    double value = 0.0;
    if (prepared != nullptr && prepared->x.number(rt, prepared->*expr, value)) return value;
    return eval_numeric(rt, text);
}

void assign_part(Runtime& rt, const ForShape* prepared, PreparedAssignment ForShape::*part,
                 std::string_view text) {
    if (prepared == nullptr || !(prepared->*part).run(rt, *prepared)) assign(rt, text);
}

// Splits the argument text at TO and STEP, dropping every blank and tab; false without TO.
// `raw`, when given, receives the three parts as written, blanks included.
bool split_for(std::string_view args, ForParts& parts, std::string_view* raw = nullptr) {
    int part = 0;  // 0 assignment, 1 limit, 2 step
    std::size_t starts[3] = {0, args.size(), args.size()};
    std::size_t ends[3] = {args.size(), args.size(), args.size()};
    for (int32_t k = 0; k < static_cast<int32_t>(args.size()); ++k) {
        char c = args[static_cast<std::size_t>(k)];
        if (part == 0 && is_blank(c) && word_at(args, k + 1, "to") &&
            is_blank(byte_at(args, k + 3))) {
            part = 1;
            ends[0] = static_cast<std::size_t>(k);
            starts[1] = static_cast<std::size_t>(k + 3);
            k += 2;
        } else if (part == 1 && is_blank(c) && word_at(args, k + 1, "step") &&
                   byte_at(args, k + 5) == ' ') {  // a tab after STEP is not enough
            part = 2;
            ends[1] = static_cast<std::size_t>(k);
            starts[2] = static_cast<std::size_t>(k + 5);
            parts.step.clear();
            k += 4;
        } else if (!is_blank(c)) {
            (part == 0 ? parts.assignment : part == 1 ? parts.limit : parts.step) += c;
        }
    }
    for (int k = 0; raw != nullptr && k < 3; ++k)
        raw[k] = args.substr(starts[k], ends[k] - starts[k]);
    return part > 0;
}

// The loop's NEXT after `from`: first by the variable's name (FORs of the same name nest),
// then by nesting alone. The result is the position after the NEXT's variable, or after its
// token for a NEXT found by nesting.
int32_t find_loop_next(std::string_view text, int32_t from, std::string_view name) {
    int depth = 0;
    int32_t end = 0;
    auto named = scan_forward(text, from, true, [&](int32_t s) {
        if (token_at(text, s, kForToken) && for_variable(text, s) == name) ++depth;
        if (!token_at(text, s, kNextToken) || next_variable(text, s, &end) != name) return false;
        return depth-- == 0;
    });
    if (named) return end;
    depth = 1;
    auto nested = scan_forward(text, from, true, [&](int32_t s) {
        if (token_at(text, s, kForToken)) ++depth;
        return token_at(text, s, kNextToken) && --depth == 0;
    });
    if (!nested) return kScanNotFound;
    int32_t pos = *nested + 2;
    while (byte_at(text, pos) != ':' && !ends_line(byte_at(text, pos)))
        ++pos;
    return pos;
}

// The loop's FOR before the NEXT that ends at `position`: by name when NEXT names one (NEXTs
// of the same name nest), else the innermost. The result is the separator before the FOR.
int32_t find_loop_for(std::string_view text, int32_t position, bool inline_branch,
                      std::string_view name) {
    int depth = name.empty() ? 1 : 0;
    auto found = scan_backward(text, position, inline_branch, [&](int32_t s) {
        if (token_at(text, s, kNextToken)) {
            if (name.empty() || next_variable(text, s) == name) ++depth;
            return false;
        }
        if (!token_at(text, s, kForToken)) return false;
        if (name.empty()) return --depth == 0;
        return for_variable(text, s) == name && depth-- == 0;
    });
    return found ? found->separator : kScanNotFound;
}

// The end test: "%s>%f" (or "<" for a negative step) of the variable and the limit. For a
// numeric variable and a finite limit the condition evaluator would compare the variable's
// value with the limit as read back from its six decimals; that comparison is made directly
// (the stack holds the limit already rounded so), saving a text built and parsed each time.
bool loop_over(Runtime& rt, const std::string& name, double step, double limit,
               const ForShape* prepared) {
    std::string_view variable = std::string_view(name).substr(0, name.find('('));
    if (std::isfinite(limit) && variable_type(rt, variable) != kString) {
        double value = number_of(rt, prepared, &ForShape::variable, name);
        return step >= 0 ? value > limit : value < limit;
    }
    std::string test = name;
    test += step >= 0 ? '>' : '<';
    test += format_fixed(limit);
    return eval_condition(rt, test) != 0;
}

// The limit as the end test reads it: written with six decimals and read back.
double six_decimals(double limit) {
    return std::isfinite(limit) ? parse_decimal(format_fixed(limit)) : limit;
}

// First entry: the start assignment, then the limit (which may use the variable) is pushed.
bool enter_loop(Runtime& rt, const ForParts& parts, const ForShape* prepared) {
    auto& flow = rt.flow;
    if (flow.for_top + 1 >= kForDepthMax) {
        report_error(rt, kMemoryRange);  // more open loops than the FOR stack holds
        return false;
    }
    const int32_t before = rt.host.position;
    assign_part(rt, prepared, &ForShape::start, parts.assignment);
    if (evaluation_failed(rt, before)) return false;
    double limit = number_of(rt, prepared, &ForShape::limit, parts.limit);
    if (evaluation_failed(rt, before)) return false;
    flow.for_limits[static_cast<std::size_t>(++flow.for_top)] = six_decimals(limit);
    return true;
}

// Re-entry from NEXT: the increment. A loop that was never entered (a jump into its body) has
// no limit to test: that NEXT had no FOR, so the program goes on after it with warning 102.
bool step_loop(Runtime& rt, std::string_view name, std::string_view step,
               const ForShape* prepared) {
    auto& flow = rt.flow;
    if (flow.for_top < 0) {
        rt.host.position = flow.for_reentry.next_position;
        rt.host.inline_branch = flow.for_reentry.next_inline_branch;
        report_error(rt, kNextWithoutFor);
        return false;
    }
    const int32_t before = rt.host.position;
    if (prepared == nullptr || !prepared->increment.run(rt, *prepared)) {
        std::string increment;
        increment.append(name).append("=").append(name).append("+").append(step);
        assign(rt, increment);
    }
    return !evaluation_failed(rt, before);
}

// The loop is over: execution goes on after its NEXT. After an iteration that is the NEXT
// that sent the run back here, so a loop always ends where it was closed. A loop that is over
// at once looks for its NEXT ahead; with none anywhere after it the program ends, as it does
// for a WHILE without WEND.
void leave_loop(Runtime& rt, const std::string& name, bool reentry) {
    auto& flow = rt.flow;
    if (reentry) {
        rt.host.position = flow.for_reentry.next_position;
        rt.host.inline_branch = flow.for_reentry.next_inline_branch;
        return;
    }
    std::string_view text = rt.host.program;
    const int32_t from = rt.host.position;
    int32_t exit = remembered(flow.remember_scans, flow.scans.for_exit, scan_key(from), name,
                              [&] { return find_loop_next(text, from, name); });
    rt.host.position = exit != kScanNotFound ? exit : static_cast<int32_t>(text.size());
}

// FOR after its text is split: enter or step the loop, then test it against its limit.
void run_for(Runtime& rt, const ForParts& parts, const std::string& name,
             const ForShape* prepared) {
    auto& flow = rt.flow;
    const bool reentry =
        flow.for_reentry.pending && flow.for_reentry.mark == rt.host.statement_mark;
    if (reentry) flow.for_reentry.pending = false;
    if (reentry ? !step_loop(rt, name, parts.step, prepared) : !enter_loop(rt, parts, prepared))
        return;

    const int32_t before = rt.host.position;
    double step = number_of(rt, prepared, &ForShape::step, parts.step);
    if (evaluation_failed(rt, before)) return;
    bool over = loop_over(rt, name, step, flow.for_limits[static_cast<std::size_t>(flow.for_top)],
                          prepared);
    if (evaluation_failed(rt, before) || !over) return;
    --flow.for_top;
    leave_loop(rt, name, reentry);
}

bool ForShape::run(Runtime& rt) {
    run_for(rt, parts, name, this);
    return true;
}

// NEXT: the loop's FOR before it depends only on where the NEXT stands and the inline-branch
// flag, the same each time this statement runs; it is kept as the scans remember it.
class NextShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        auto& host = rt.host;
        auto& flow = rt.flow;
        if (!flow.remember_scans) return false;
        if (!known || position != host.position || inline_branch != host.inline_branch) {
            position = host.position;
            inline_branch = host.inline_branch;
            std::string_view text = host.program;
            found = remembered(true, flow.scans.next_back, scan_key(position, inline_branch), name,
                               [&] { return find_loop_for(text, position, inline_branch, name); });
            known = true;
        }
        if (found == kScanNotFound) return false;  // warning 102 from the text path
        flow.for_reentry = {true, found, position, inline_branch};
        host.position = found;
        return true;
    }
    std::string name;
    bool known = false;
    int32_t position = 0;
    bool inline_branch = false;
    int32_t found = 0;
};

}  // namespace

void for_statement(Runtime& rt, StatementContext& ctx) {
    ForParts parts;
    if (!split_for(ctx.args, parts)) {
        report_error(rt, kSyntaxError);
        return;
    }
    const std::string name = parts.assignment.substr(0, parts.assignment.find('='));
    run_for(rt, parts, name, nullptr);
}

std::unique_ptr<PreparedShape> prepare_for(Runtime& rt, std::string_view args) {
    auto shape = std::make_unique<ForShape>();
    ForParts& parts = shape->parts;
    std::string_view raw[3];
    if (!split_for(args, parts, raw)) return nullptr;
    // Blanks are dropped within each part: they must join nothing there.
    for (std::string_view part : raw)
        if (!plain_blanks(part)) return nullptr;
    shape->name = parts.assignment.substr(0, parts.assignment.find('='));
    std::string increment = shape->name + "=" + shape->name + "+" + parts.step;
    PreparedExpressions& x = shape->x;
    if (!shape->start.prepare(rt, x, parts.assignment) || shape->start.target.string ||
        !shape->increment.prepare(rt, x, increment) ||
        !x.add_numeric(rt, parts.limit, shape->limit) ||
        !x.add_numeric(rt, parts.step, shape->step) ||
        !x.add_numeric(rt, shape->name, shape->variable))
        return nullptr;
    // With calls in the text, the parts' texts are not what the text path would evaluate.
    if (x.call_count() > 0) return nullptr;
    return shape;
}

std::unique_ptr<PreparedShape> prepare_next(Runtime& rt, std::string_view args) {
    if (args.find('(') != std::string_view::npos) return nullptr;
    auto shape = std::make_unique<NextShape>();
    shape->name = args;
    return shape;
}

void next_statement(Runtime& rt, StatementContext& ctx) {
    auto& host = rt.host;
    auto& flow = rt.flow;
    std::string_view text = host.program;
    std::string_view name = ctx.args;
    const int32_t position = host.position;
    const bool inline_branch = host.inline_branch;
    int32_t found =
        remembered(flow.remember_scans, flow.scans.next_back, scan_key(position, inline_branch),
                   name, [&] { return find_loop_for(text, position, inline_branch, name); });
    if (found == kScanNotFound) {
        report_error(rt, kNextWithoutFor);
        return;
    }
    flow.for_reentry = {true, found, position, inline_branch};
    host.position = found;
}

}  // namespace quillon
