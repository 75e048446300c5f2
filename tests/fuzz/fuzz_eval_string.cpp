// Fuzz target: any bytes as a string expression. Must never crash, hang or overrun.
#include <string>

#include "expr/evaluator.h"
#include "fuzz_runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    quillon::fuzz::FuzzRuntime f;
    std::string out;
    quillon::eval_string(f.rt, quillon::fuzz::input_text(data, size), out);
    return 0;
}
