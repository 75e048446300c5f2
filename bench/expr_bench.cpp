// Expression engine benchmarks: numeric expressions with variables and brackets, conditions,
// and the variable store with 100 scalars and a 1000-element array.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "expr/assignment.h"
#include "expr/evaluator.h"
#include "expr/variables.h"
#include "fake_platform.h"
#include "host/runtime.h"
#include "host/startup.h"

namespace quillon {
namespace {

// The name v<k>, built without operator+ (which trips a false warning of GCC 12 at -O3).
std::string numbered_name(int k) {
    std::string name = std::to_string(k);
    name.insert(0, 1, 'v');
    return name;
}

// A runtime with 100 numeric variables v0..v99, a few named ones and an array arr(999).
struct BenchRuntime {
    testing::FakePlatform platform;
    Runtime rt{platform};

    BenchRuntime() {
        initialise_program_state(rt);
        for (int k = 0; k < 100; ++k)
            set_variable(rt, numbered_name(k), std::to_string(k));
        for (const char* statement : {"x=3", "y=4.5", "i=17", "n%=12", "a$=\"hello\""})
            assign(rt, statement);
        StatementContext dim;
        dim.args = "arr(999)";
        dim_arrays(rt, dim);
    }
};

void eval_numeric_literals(benchmark::State& state) {
    BenchRuntime b;
    for (auto _ : state)
        benchmark::DoNotOptimize(eval_numeric(b.rt, "2+3*4-10/4"));
}
BENCHMARK(eval_numeric_literals);

void eval_numeric_variables(benchmark::State& state) {
    BenchRuntime b;
    for (auto _ : state)
        benchmark::DoNotOptimize(eval_numeric(b.rt, "x*y+v50-i\\3+n%"));
}
BENCHMARK(eval_numeric_variables);

void eval_numeric_brackets(benchmark::State& state) {
    BenchRuntime b;
    for (auto _ : state)
        benchmark::DoNotOptimize(eval_numeric(b.rt, "(x+1)*(y-(i/2))+((v10+v20)*2)"));
}
BENCHMARK(eval_numeric_brackets);

void eval_numeric_array(benchmark::State& state) {
    BenchRuntime b;
    for (auto _ : state)
        benchmark::DoNotOptimize(eval_numeric(b.rt, "arr(i*10+5)+arr(i)*2"));
}
BENCHMARK(eval_numeric_array);

void eval_condition_compound(benchmark::State& state) {
    BenchRuntime b;
    const std::string text = "x<10 \x01& y>=4.5 \x01| a$=\"hello\"";
    for (auto _ : state)
        benchmark::DoNotOptimize(eval_condition(b.rt, text));
}
BENCHMARK(eval_condition_compound);

void eval_condition_brackets(benchmark::State& state) {
    BenchRuntime b;
    const std::string text = "(i=17) \x01& (x+y<v20)";
    for (auto _ : state)
        benchmark::DoNotOptimize(eval_condition(b.rt, text));
}
BENCHMARK(eval_condition_brackets);

void get_variable_among_100(benchmark::State& state) {
    BenchRuntime b;
    std::string out;
    int k = 0;
    std::vector<std::string> names;
    for (int n = 0; n < 100; ++n)
        names.push_back(numbered_name(n));
    for (auto _ : state) {
        get_variable(b.rt, names[static_cast<std::size_t>(k++ % 100)], out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(get_variable_among_100);

void set_variable_among_100(benchmark::State& state) {
    BenchRuntime b;
    std::vector<std::string> names;
    for (int n = 0; n < 100; ++n)
        names.push_back(numbered_name(n));
    int k = 0;
    for (auto _ : state)
        set_variable(b.rt, names[static_cast<std::size_t>(k++ % 100)], "42.5");
}
BENCHMARK(set_variable_among_100);

void get_array_element(benchmark::State& state) {
    BenchRuntime b;
    std::string out;
    for (auto _ : state) {
        get_variable(b.rt, "arr(517)", out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(get_array_element);

void set_array_element(benchmark::State& state) {
    BenchRuntime b;
    for (auto _ : state)
        set_variable(b.rt, "arr(517)", "3.25");
}
BENCHMARK(set_array_element);

void assign_statement(benchmark::State& state) {
    BenchRuntime b;
    for (auto _ : state)
        assign(b.rt, "arr(i)=arr(i)+x*2");
}
BENCHMARK(assign_statement);

}  // namespace
}  // namespace quillon
