// WAIT: pauses the program for a number of milliseconds. The worker sleeps in short slices so
// that a closed window (the stop flag) ends the pause at once; the window stays responsive
// because it belongs to the event thread.
#include <algorithm>

#include "expr/evaluator.h"
#include "flow/jumps.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/runtime.h"

namespace quillon {
namespace {

constexpr int32_t kWaitSliceMs = 10;

}  // namespace

void wait_statement(Runtime& rt, StatementContext& ctx) {
    const int32_t before = rt.host.position;
    int32_t ms = eval_integer(rt, ctx.args);
    if (evaluation_failed(rt, before)) return;
    if (ms < 0) {
        report_error(rt, kOutOfRange);
        return;
    }
    while (ms > 0 && !rt.host.stop) {
        int32_t slice = std::min(ms, kWaitSliceMs);
        rt.platform.sleep_ms(slice);
        ms -= slice;
    }
}

}  // namespace quillon
