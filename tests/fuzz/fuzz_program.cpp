// Fuzz target: any bytes as the program text of an image, run through the real run loop on
// the fake platform within a budget of statements and waits (typed lines and keys are always
// there). Must never crash, hang, overrun or allocate without bound.
#include <string>

#include "fuzz_runtime.h"
#include "host/limits.h"
#include "host/run_loop.h"

namespace {

constexpr uint64_t kStatementBudget = 1000;
constexpr int kSleepBudget = 100;  // waits of input statements, INPUT$, WAIT and the like
constexpr int kKeyBudget = 50;     // typed lines and keys; then the keys are used up

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quillon;
    if (size > kProgramMax) return 0;  // an image holds at most 65535 bytes of text
    fuzz::ProgramRun run(fuzz::input_text(data, size));
    int sleeps = 0;
    run.platform.statement_hook = [&](uint64_t count) {
        if (count > kStatementBudget) run.rt.host.stop = true;
    };
    run.platform.sleep_hook = [&](int) {
        if (++sleeps > kSleepBudget) run.rt.host.stop = true;
    };
    int keys = 0;
    run.platform.on_keys = [&](KeyDemand demand) {
        if (++keys > kKeyBudget) {  // as when the window closes: an INPUT that never fits ends
            run.rt.host.stop = true;
            run.rt.screen.input_waiting = false;
        } else if (demand == KeyDemand::Line) {  // a line typed and entered
            run.rt.screen.input_line = keys % 2 ? "1" : "2,b";
            run.rt.screen.input_waiting = false;
        } else {
            run.rt.screen.last_key = 'k';
        }
    };
    run_program(run.rt);
    return 0;
}
