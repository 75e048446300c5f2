// WHILE/WEND: no state at all. A false WHILE scans forward past its WEND (nested pairs
// counted); WEND scans back to its WHILE and re-runs it, which evaluates the condition again.
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

}  // namespace

// A false WHILE without a WEND after it ends the program at the end of the text.
void while_statement(Runtime& rt, StatementContext& ctx) {
    auto& host = rt.host;
    auto& flow = rt.flow;
    const int32_t before = host.position;
    int32_t condition = eval_condition(rt, ctx.args);
    if (evaluation_failed(rt, before) || condition != 0) return;
    std::string_view text = host.program;
    int32_t exit = remembered(flow.remember_scans, flow.scans.while_exit, scan_key(before),
                              [&] { return find_loop_wend(text, before); });
    host.position = exit == kScanNotFound ? static_cast<int32_t>(text.size()) : exit;
}

void wend_statement(Runtime& rt, StatementContext&) {
    auto& host = rt.host;
    auto& flow = rt.flow;
    std::string_view text = host.program;
    const int32_t position = host.position;
    const bool inline_branch = host.inline_branch;
    int32_t found =
        remembered(flow.remember_scans, flow.scans.wend_back, scan_key(position, inline_branch),
                   [&] { return find_loop_while(text, position, inline_branch); });
    if (found == kScanNotFound) {
        report_error(rt, kWendWithoutWhile);
        return;
    }
    host.position = found;
}

}  // namespace quillon
