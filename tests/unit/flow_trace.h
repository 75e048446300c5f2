// Statement tokens as text for raw program lines, and a trace of the DATA statements a program
// runs: DATA does nothing when reached, so "DATA name" serves as a marker of where the run went.
#pragma once

#include <string>

#include "expr/variables.h"
#include "runtime_fixture.h"

#define T_MOUSE "\x10\x14"
#define T_IF "\x10\x20"
#define T_GOTO "\x10\x21"
#define T_RETURN "\x10\x23"
#define T_ON "\x10\x24"
#define T_FOR "\x10\x25"
#define T_NEXT "\x10\x26"
#define T_WHILE "\x10\x27"
#define T_WEND "\x10\x30"
#define T_GOSUB "\x10\x31"
#define T_DATA "\x10\x63"
#define T_READ "\x10\x64"
#define T_RESTORE "\x10\x65"
#define T_SWAP "\x10\x66"
#define T_END "\x10\x78"
#define T_RANDOMIZE "\x10\x7B"
#define T_WAIT "\x10\x7E"

namespace quillon::testing {

// A fixture whose run records the marker of every DATA statement it reaches, joined by blanks.
struct TracedRun : RuntimeFixture {
    std::string trace;

    explicit TracedRun(std::string text) : RuntimeFixture(std::move(text)) {
        platform.statement_hook = [this](uint64_t) { record(); };
    }

    // The value text of a variable ("" when it cannot be read).
    std::string value(std::string_view reference) {
        std::string out;
        get_variable(rt, reference, out);
        return out;
    }

    // The statement about to run lies between the statement mark and the position.
    void record() {
        const std::string& text = rt.host.program;
        int32_t mark = rt.host.statement_mark;
        int32_t pos = rt.host.position;
        auto at = [&](int32_t k) { return k >= 0 && k < int32_t(text.size()) ? text[k] : '\n'; };
        int32_t s = mark == 0 ? 0 : mark + 1;  // the run starts with the mark at 0
        if (at(mark) == '\n' || mark == 0)
            while (at(s) != ' ' && at(s) != '\n')
                ++s;
        while (at(s) == ' ')
            ++s;
        if (at(s) != '\x10' || at(s + 1) != '\x63') return;
        std::string marker = text.substr(s + 3, pos - s - 3);
        bool quoted = false;  // a THEN part ends at an ELSE outside quotes
        for (std::size_t k = 0; k < marker.size(); ++k) {
            if (marker[k] == '"') quoted = !quoted;
            if (!quoted && marker.compare(k, 6, " ELSE ") == 0) {
                marker.resize(k);
                break;
            }
        }
        if (!trace.empty()) trace += ' ';
        trace += marker;
    }
};

}  // namespace quillon::testing
