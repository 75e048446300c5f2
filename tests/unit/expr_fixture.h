// A runtime on the fake platform with short helpers for the expression engine's tests: evaluate,
// read and write variables, run a statement, and read back the number of the last error.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "expr/evaluator.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "host/run_loop.h"
#include "runtime_fixture.h"

namespace quillon::testing {

class ExprTest : public ::testing::Test {
  protected:
    RuntimeFixture f;
    Runtime& rt = f.rt;

    double num(std::string_view text) { return eval_numeric(rt, text); }
    std::string str(std::string_view text) {
        std::string out;
        eval_string(rt, text, out);
        return out;
    }
    int32_t cond(std::string_view text) { return eval_condition(rt, text); }
    std::string get(std::string_view reference) {
        std::string out;
        get_variable(rt, reference, out);
        return out;
    }
    void set(std::string_view reference, std::string_view value) {
        set_variable(rt, reference, value);
    }
    void run(std::string_view statement) { dispatch_statement(rt, statement); }

    // The number of the last error or warning reported (0 when none), and the text that stood
    // for its "%s". Reading it clears the reports and lets the runtime go on.
    int last_error(std::string* argument = nullptr) {
        if (f.platform.boxes.empty()) return 0;
        std::string text = f.platform.boxes.back().text;
        text = text.substr(0, text.find("\n\n"));
        int found = 0;
        std::size_t best = 0;
        for (int number = 1; number <= 103; ++number) {
            // The message around its "%s": a marker byte shows where the argument goes.
            std::string marked = error_message(number, "\x01");
            if (number == 99 || marked.empty() || marked.size() <= best) continue;
            std::size_t at = marked.find('\x01');
            std::string prefix = marked.substr(0, at);
            std::string suffix = at == std::string::npos ? "" : marked.substr(at + 1);
            if (at == std::string::npos && marked != text) continue;
            if (text.size() < prefix.size() + suffix.size() ||
                text.compare(0, prefix.size(), prefix) != 0 ||
                text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            found = number;
            best = marked.size();
            if (argument != nullptr)
                *argument = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
        }
        f.platform.boxes.clear();
        rt.host.stop = false;
        rt.host.cleaned_up = false;
        return found;
    }
};

}  // namespace quillon::testing
