// Fuzz target: any bytes as a numeric expression. Must never crash, hang or overrun.
#include "expr/evaluator.h"
#include "fuzz_runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzRuntime f;
    quillon::eval_numeric(f.rt, quillon::fuzz::input_text(data, size));
    return 0;
}
