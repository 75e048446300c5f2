// WHILE/WEND: no state at all. A false WHILE scans forward past its WEND (nested pairs
// counted); WEND scans back to its WHILE and re-runs it, which evaluates the condition again.
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

// The position after the loop's WEND: its ":", or the byte before its line feed, or the NUL.
// This scan looks at every ":", quotes or not.
int32_t find_loop_wend(std::string_view text, int32_t from) {
    int depth = 1;
    auto found = scan_forward(text, from, false, [&](int32_t s) {
        if (token_at(text, s, kWhileToken)) ++depth;
        return token_at(text, s, kWendToken) && --depth == 0;
    });
    if (!found) return kScanNotFound;
    int32_t pos = *found;
    while (byte_at(text, pos) != ':' && byte_at(text, pos) != '\0' &&
           byte_at(text, pos + 1) != '\n')
        ++pos;
    return pos;
}

// The separator before the loop's WHILE, scanning back from the WEND that ends at `position`.
int32_t find_loop_while(std::string_view text, int32_t position, bool inline_branch) {
    int depth = 1;
    auto found = scan_backward(text, position, inline_branch, [&](int32_t s) {
        if (token_at(text, s, kWendToken)) ++depth;
        return token_at(text, s, kWhileToken) && --depth == 0;
    });
    return found ? found->separator : kScanNotFound;
}

// A false WHILE goes on after its WEND; without a WEND after it the program ends at the end of
// the text.
void leave_while(Runtime& rt) {
    auto& host = rt.host;
    auto& flow = rt.flow;
    const int32_t from = host.position;
    std::string_view text = host.program;
    int32_t exit = remembered(flow.remember_scans, flow.scans.while_exit, scan_key(from),
                              [&] { return find_loop_wend(text, from); });
    host.position = exit == kScanNotFound ? static_cast<int32_t>(text.size()) : exit;
}

// WEND back to its WHILE; kScanNotFound when there is none.
int32_t loop_while(Runtime& rt) {
    auto& host = rt.host;
    auto& flow = rt.flow;
    std::string_view text = host.program;
    const int32_t position = host.position;
    const bool inline_branch = host.inline_branch;
    return remembered(flow.remember_scans, flow.scans.wend_back, scan_key(position, inline_branch),
                      [&] { return find_loop_while(text, position, inline_branch); });
}

class WhileShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        int32_t value = 0;
        if (!x.condition(rt, condition, value) || !expansion_fits(rt)) return false;
        if (value == 0) leave_while(rt);
        return true;
    }
    ExprRef condition;
};

class WendShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        int32_t found = loop_while(rt);
        if (found == kScanNotFound) return false;  // warning 103 from the text path
        rt.host.position = found;
        return true;
    }
};

}  // namespace

void while_statement(Runtime& rt, StatementContext& ctx) {
    const int32_t before = rt.host.position;
    int32_t condition = eval_condition(rt, ctx.args);
    if (evaluation_failed(rt, before) || condition != 0) return;
    leave_while(rt);
}

void wend_statement(Runtime& rt, StatementContext&) {
    int32_t found = loop_while(rt);
    if (found == kScanNotFound) {
        report_error(rt, kWendWithoutWhile);
        return;
    }
    rt.host.position = found;
}

std::unique_ptr<PreparedShape> prepare_while(Runtime& rt, std::string_view args) {
    auto shape = std::make_unique<WhileShape>();
    std::string stripped;
    strip_blanks(args, stripped);
    if (!shape->x.add_condition(rt, stripped, shape->condition)) return nullptr;
    return shape;
}

std::unique_ptr<PreparedShape> prepare_wend(Runtime& rt, std::string_view args) {
    if (args.find('(') != std::string_view::npos) return nullptr;
    return std::make_unique<WendShape>();
}

}  // namespace quillon
