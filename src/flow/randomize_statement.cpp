// RANDOMIZE: seeds the random generator with a non-negative number, or with the clock.
#include "expr/evaluator.h"
#include "expr/random.h"
#include "flow/jumps.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/runtime.h"

namespace quillon {

void randomize_statement(Runtime& rt, StatementContext& ctx) {
    if (ctx.args.empty()) {
        // The seconds since 1970, kept to 32 bits as the seed always was.
        seed_random(rt, static_cast<int32_t>(rt.platform.epoch_seconds()));
        return;
    }
    const int32_t before = rt.host.position;
    int32_t seed = eval_integer(rt, ctx.args);
    if (evaluation_failed(rt, before)) return;
    if (seed < 0) {
        report_error(rt, kSyntaxError);
        return;
    }
    seed_random(rt, seed);
}

}  // namespace quillon
