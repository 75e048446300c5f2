// The function-call expander runs over every statement: its cost on a statement with nested
// calls, and on the common statement that holds no call at all.
#include <benchmark/benchmark.h>

#include <string>

#include "expr/calls.h"
#include "fake_platform.h"
#include "host/runtime.h"

namespace {

void expand(benchmark::State& state, const std::string& statement) {
    quillon::testing::FakePlatform platform;
    quillon::Runtime rt(platform);
    std::string text;
    for (auto _ : state) {
        text = statement;
        quillon::expand_calls(rt, text);
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_ExpandNestedCalls(benchmark::State& state) {
    expand(state, "X=int(abs(-3.5)*470)+len(mid$(\"abcdef\",2,3))+sqr(abs(-16))");
}
BENCHMARK(BM_ExpandNestedCalls);

void BM_ExpandArraysAndBrackets(benchmark::State& state) {
    expand(state, "Y=(A(1)+B(2,3))*(C+1)");
}
BENCHMARK(BM_ExpandArraysAndBrackets);

void BM_ExpandWithoutCalls(benchmark::State& state) {
    expand(state, "SCORE=SCORE+BONUS*2");
}
BENCHMARK(BM_ExpandWithoutCalls);

}  // namespace
