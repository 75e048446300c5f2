// Fuzz target: any bytes as a condition. Must never crash, hang or overrun.
#include "expr/evaluator.h"
#include "fuzz_runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzRuntime f;
    quillon::eval_condition(f.rt, quillon::fuzz::input_text(data, size));
    return 0;
}
