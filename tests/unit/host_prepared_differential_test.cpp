// Prepared statements against the text path, over generated programs: every program runs once
// with statements prepared and once from their text, and both runs must leave the same
// transcript, the same message boxes, the same position and line, and the same variables, bit
// for bit. The programs aim at what makes the text path's arithmetic particular: values at the
// six-digit rounding edges, integer and single variables, signs that fold with a bracket's
// value, overflow and division by zero under error traps, long strings, arrays, loops,
// subroutines, declared letters and user functions that take an array's name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kavpack/tokenizer.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

constexpr uint64_t kStatementsMax = 1500;
constexpr int kProgramsPerShard = 1000;
constexpr int kShards = 10;

struct Outcome {
    int result = 0;
    std::string output;
    std::string boxes;
    uint64_t statements = 0;
    int32_t position = 0;
    int32_t line = 0;
    std::string variables;
    uint64_t prepared = 0;   // statements run prepared
    uint64_t text_runs = 0;  // statements run from their text
};

// Every variable as the store holds it: catalogue entries with their slots' bits, then the
// string store in name order.
std::string dump_variables(const Runtime& rt) {
    const VariableStore& store = rt.expr.variables;
    std::string out;
    char hex[24];
    for (const CatalogueEntry& entry : store.entries) {
        out += entry.text;
        out += '=';
        for (std::size_t k = 0; k < entry.slot_count; ++k) {
            uint64_t bits = 0;
            std::memcpy(&bits, &store.values[entry.first_slot + k], sizeof bits);
            std::snprintf(hex, sizeof hex, "%llx,", static_cast<unsigned long long>(bits));
            out += hex;
        }
        out += '\n';
    }
    std::vector<std::pair<std::string, std::string>> strings(store.strings.begin(),
                                                             store.strings.end());
    std::sort(strings.begin(), strings.end());
    for (const auto& [name, value] : strings)
        out += name + "=" + value + "\n";
    return out;
}

Outcome run_program_text(const std::string& text, bool prepared) {
    RuntimeFixture f(text);
    f.rt.host.prepare_statements = prepared;
    // Generated jumps and loops may not end: both runs stop at the same statement.
    f.platform.statement_hook = [&](uint64_t count) {
        if (count > kStatementsMax) f.rt.host.stop = true;
    };
    Outcome out;
    out.result = f.run();
    out.output = f.platform.output;
    for (const auto& box : f.platform.boxes)
        out.boxes += box.title + "|" + box.text + "\n";
    out.statements = f.rt.host.statements_run;
    out.position = f.rt.host.position;
    out.line = f.rt.host.line_number;
    out.variables = dump_variables(f.rt);
    out.prepared = f.rt.host.prepared.runs;
    out.text_runs = f.rt.host.prepared.text_runs;
    return out;
}

class ProgramMaker {
  public:
    explicit ProgramMaker(unsigned seed) : random_(seed) {}

    std::string program() {
        std::string text;
        int number = 10;
        auto line = [&](const std::string& body) {
            text += std::to_string(number) + " " + body + "\n";
            number += 10;
        };
        if (chance(75)) line("ON ERROR GOSUB 9000");
        if (chance(25)) line(pick({"DEFINT I-K", "DEFSTR Z", "DEFSNG S-T", "DEFINT N"}));
        line("DIM ARR(12), M(3,4), V%(5)");
        int lines = pick(4, 14);
        subroutines_ = pick(0, 2);
        for (int k = 0; k < lines; ++k) {
            lines_left_ = lines - k;
            line_number_ = number;
            line(statements(pick(1, 3)));
        }
        line("END");
        for (int k = 0; k < subroutines_; ++k) {
            number = 8000 + 100 * k;
            line_number_ = number;
            lines_left_ = 0;
            line(statements(pick(1, 3)) + ": RETURN");
        }
        number = 9000;
        line("E9 = E9 + 1: IF E9 > 25 THEN END ELSE RETURN");
        return text;
    }

  private:
    std::mt19937 random_;
    int lines_left_ = 0;
    int line_number_ = 0;
    int subroutines_ = 0;
    int loop_depth_ = 0;

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }
    std::string pick(std::initializer_list<const char*> choices) {
        auto it = choices.begin();
        std::advance(it, pick(0, static_cast<int>(choices.size()) - 1));
        return *it;
    }
    std::string blank() { return chance(30) ? " " : ""; }

    std::string literal() {
        static const char* const kLiterals[] = {
            "0",          "1",          "2",          "3",
            "7",          "10",         "255",        "0.5",
            "1.5",        "2.5",        ".25",        "0.1",
            "0.3",        "123456.5",   "999999",     "999999.5",
            "1000000",    "1234567",    "0.0001",     "0.00012345678",
            "1e6",        "1E+3",       "2.5e-1",     "99999.95",
            "4294967296", "2147483647", "2147483648", "1.23456789e-5",
            "&H1F",       "&hFF",       "&O17",       "&H8000",
            "&HFFFFFFFF", "1e300",      "3.4e38",     "1e39",
            "1e-300",     "65535",      "32767.5",    "0.000049999",
            "8.5",        "-0",         "5E-05",      "1.0000005",
            "654321.49",  "100000",     "0.333333",   "7.77777e7"};
        return kLiterals[pick(0, static_cast<int>(std::size(kLiterals)) - 1)];
    }

    std::string numeric_name() {
        return pick({"A", "B", "C", "X", "Y", "N", "E", "AB", "A1", "I%", "J%", "K%", "S!", "T!",
                     "D#", "Q", "I", "K", "S"});
    }
    std::string string_name() { return pick({"A$", "B$", "C$", "Z", "ZZ$"}); }
    std::string array_ref(int depth) {
        switch (pick(0, 4)) {
            case 0:
                return "ARR(" + small(depth) + ")";
            case 1:
                return "M(" + small(depth) + "," + small(depth) + ")";
            case 2:
                return "V%(" + small(depth) + ")";
            case 3:
                return "Q(" + small(depth) + ")";
            default:
                return "FNQ(" + small(depth) + ")";
        }
    }
    // A subscript-sized value, sometimes out of range.
    std::string small(int depth) {
        if (chance(70)) return std::to_string(pick(0, chance(90) ? 4 : 14));
        if (chance(20)) return "-1";
        return numeric(depth - 1);
    }

    std::string call(int depth) {
        std::string n = numeric(depth - 1);
        switch (pick(0, 22)) {
            case 0:
                return "INT(" + n + ")";
            case 1:
                return "FIX(" + n + ")";
            case 2:
                return "CINT(" + n + ")";
            case 3:
                return "ABS(" + n + ")";
            case 4:
                return "SGN(" + n + ")";
            case 5:
                return chance(80) ? "SQR(ABS(" + n + "))" : "SQR(" + n + ")";
            case 6:
                return "LOG(ABS(" + n + ")+" + pick({"1", "0"}) + ")";
            case 7:
                return "EXP(" + n + " MOD 5)";
            case 8:
                return pick({"SIN(", "COS(", "ATN(", "TAN("}) + n + ")";
            case 9:
                return pick({"CSNG(", "CDBL("}) + n + ")";
            case 10:
                return "LEN(" + string_expr(depth - 1) + ")";
            case 11:
                return "ASC(" + string_expr(depth - 1) + ")";
            case 12:
                return "VAL(" + string_expr(depth - 1) + ")";
            case 13:
                return "INSTR(" + string_expr(depth - 1) + "," + string_expr(depth - 1) + ")";
            case 14:
                return "INSTR(" + small(depth) + "," + string_expr(depth - 1) + ",\"b\")";
            case 15:
                return "RND(" + pick({"1", "0", "-1", "X"}) + ")";
            case 16:
                return "INT(RND(1)*" + pick({"10", "100", "6"}) + ")";
            default:
                return pick({"INT(", "ABS(", "FIX("}) + n + ")";
        }
    }

    std::string atom(int depth) {
        int kind = pick(0, 9);
        if (depth <= 0 && kind >= 6) kind = pick(0, 5);
        switch (kind) {
            case 0:
            case 1:
                return literal();
            case 2:
            case 3:
            case 4:
                return numeric_name();
            case 5:
                return array_ref(depth);
            case 6:
            case 7:
                return call(depth);
            default:
                return "(" + numeric(depth - 1) + ")";
        }
    }

    std::string numeric(int depth) {
        if (depth <= 0 || chance(35)) return sign() + atom(depth);
        std::string op = pick(
            {"+", "-", "*", "/", "\\", "^", " MOD ", " AND ", " OR ", " XOR ", "+", "-", "*", "-"});
        if (op == "^") return atom(depth - 1) + "^" + pick({"2", "3", "-1", "0.5", "(2)"});
        if (op == "/" || op == "\\" || op == " MOD ") {
            std::string divisor = chance(10) ? "0" : atom(depth - 1);
            return numeric(depth - 1) + blank() + op + blank() + divisor;
        }
        if (chance(5)) return "NOT " + numeric(depth - 1);
        return numeric(depth - 1) + blank() + op + blank() + sign() + numeric(depth - 1);
    }
    std::string sign() {
        if (chance(80)) return "";
        return chance(70) ? "-" : "+";
    }

    std::string string_literal() {
        return pick({"\"\"", "\"a\"", "\"abc\"", "\"A B\"", "\"12.5\"", "\" -3e2x\"", "\"&H1F\"",
                     "\"b\"", "\"x,y\"", "\"1+2\""});
    }
    std::string string_expr(int depth) {
        if (depth <= 0 || chance(40)) {
            switch (pick(0, 3)) {
                case 0:
                case 1:
                    return string_literal();
                case 2:
                    return string_name();
                default:
                    return "S$(" + small(depth) + ")";
            }
        }
        std::string s = string_expr(depth - 1);
        std::string n = small(depth);
        switch (pick(0, 11)) {
            case 0:
                return "CHR$(" + pick({"65", "34", "1", "0", "200", "32", "66"}) + ")";
            case 1:
                return "MID$(" + s + "," + pick({"1", "2", "0", "5"}) + ")";
            case 2:
                return "MID$(" + s + "," + pick({"1", "2", "3"}) + "," + n + ")";
            case 3:
                return "LEFT$(" + s + "," + n + ")";
            case 4:
                return "RIGHT$(" + s + "," + n + ")";
            case 5:
                return "STR$(" + numeric(depth - 1) + ")";
            case 6:
                return "SPACE$(" + n + ")";
            case 7:
                return "STRING$(" + pick({"3", "0", "300", "9000"}) + "," + s + ")";
            case 8:
                return pick({"HEX$(", "OCT$("}) + numeric(depth - 1) + ")";
            default:
                return s + blank() + "+" + blank() + string_expr(depth - 1);
        }
    }

    std::string relation() { return pick({"=", "<>", "<", ">", "<=", ">=", "><", "=<", "=>"}); }
    std::string condition(int depth) {
        switch (pick(0, 9)) {
            case 0:
            case 1:
            case 2:
                return numeric(depth) + blank() + relation() + blank() + numeric(depth);
            case 3:
                return string_expr(depth) + relation() + string_expr(depth);
            case 4:
                return numeric(depth);
            case 5:
                return "(" + condition(depth - 1) + ")" + pick({" AND ", " OR "}) + "(" +
                       condition(depth - 1) + ")";
            case 6:
                return condition(depth - 1) + pick({" AND ", " OR ", " XOR "}) +
                       condition(depth - 1);
            case 7:
                return "NOT " + condition(depth - 1);
            case 8:
                return numeric_name() + " MOD (" + numeric(depth - 1) + ")" + relation() + "1";
            default:
                return numeric(depth) + relation() + "-" + atom(depth - 1);
        }
    }

    std::string target() {
        switch (pick(0, 5)) {
            case 0:
                return array_ref(1);
            case 1:
                return "S$(" + small(1) + ")";
            case 2:
                return string_name();
            default:
                return numeric_name();
        }
    }

    std::string assignment() {
        std::string t = target();
        bool string = t.find('$') != std::string::npos || t == "Z";
        std::string value = string ? string_expr(2) : numeric(pick(0, 3));
        if (string && chance(10)) value = t + "+" + t + "+" + t;  // strings that grow
        return (chance(10) ? "LET " : "") + t + blank() + "=" + blank() + value;
    }

    std::string print() {
        std::string out = "PRINT ";
        int items = pick(0, 4);
        for (int k = 0; k < items; ++k) {
            if (k > 0) out += pick({";", ",", "; ", " , "});
            out += chance(40) ? string_expr(1) : numeric(pick(0, 2));
        }
        if (chance(20)) out += ";";
        return out;
    }

    // A later line, for forward jumps (or a subroutine for GOSUB).
    std::string forward() {
        if (lines_left_ <= 0) return std::to_string(line_number_);
        return std::to_string(line_number_ + 10 * pick(1, lines_left_));
    }

    std::string simple() {
        switch (pick(0, 9)) {
            case 0:
            case 1:
            case 2:
            case 3:
                return assignment();
            case 4:
                return print();
            case 5:
                return subroutines_ > 0
                           ? "GOSUB " + std::to_string(8000 + 100 * pick(0, subroutines_ - 1))
                           : assignment();
            case 6:
                return "SWAP " + numeric_name() + "," + numeric_name();
            case 7:
                return chance(50) ? "ERASE Q" : "DEF FNQ(X)=X*2+" + literal();
            default:
                return assignment();
        }
    }

    std::string statement() {
        switch (pick(0, 13)) {
            case 0:
            case 1:
                return "IF " + condition(2) + " THEN " + simple() +
                       (chance(50) ? " ELSE " + simple() : "");
            case 2:
                return "IF " + condition(1) + " THEN " + forward() +
                       (chance(50) ? " ELSE " + forward() : "");
            case 3:
                return "IF " + condition(1) + " THEN IF " + condition(1) + " THEN " + simple() +
                       " ELSE " + simple() + " ELSE " + simple();
            case 4:
                if (lines_left_ <= 1) return simple();
                return "GOTO " + forward();
            case 5:
                if (lines_left_ <= 1) return simple();
                return "ON " + numeric(1) + " GOTO " + forward() + "," + forward();
            case 6:
            case 7:
                if (loop_depth_ > 1) return simple();
                return loop();
            case 8:
                if (loop_depth_ > 1) return simple();
                return "W = 0: WHILE W < " + pick({"2", "3"}) + " AND " + condition(1) +
                       ": W = W + 1: " + simple() + ": WEND";
            default:
                return simple();
        }
    }

    std::string loop() {
        ++loop_depth_;
        std::string v = pick({"I", "J%", "K", "L"});
        std::string step = pick({"", " STEP 2", " STEP -1", " STEP 0.5", " STEP -0.3", " STEP X"});
        std::string from = pick({"1", "0", "3", "-2", "X", "0.1"});
        std::string to = pick({"3", "1", "0", "5", "2.5", "N"});
        std::string body = statements(pick(1, 2));
        --loop_depth_;
        return "FOR " + v + " = " + from + " TO " + to + step + ": " + body + ": NEXT" +
               (chance(80) ? " " + v : "");
    }

    std::string statements(int count) {
        std::string out;
        for (int k = 0; k < count; ++k) {
            if (k > 0) out += chance(20) ? " : " : ":";
            out += statement();
        }
        return out;
    }
};

std::string describe(const Outcome& o) {
    return "result " + std::to_string(o.result) + ", statements " + std::to_string(o.statements) +
           ", position " + std::to_string(o.position) + ", line " + std::to_string(o.line) +
           "\noutput:\n" + o.output + "\nboxes:\n" + o.boxes + "variables:\n" + o.variables;
}

class PreparedDifferential : public ::testing::TestWithParam<int> {};

TEST_P(PreparedDifferential, BothPathsLeaveTheSameTranscriptAndVariables) {
    const int shard = GetParam();
    uint64_t prepared = 0;
    uint64_t text_runs = 0;
    int failures = 0;
    for (int k = 0; k < kProgramsPerShard && failures < 3; ++k) {
        const auto seed = static_cast<unsigned>(shard * kProgramsPerShard + k);
        std::string source = ProgramMaker(seed).program();
        auto tokenized = kavpack::tokenize_source(source);
        ASSERT_TRUE(tokenized.image) << tokenized.error.message << "\n" << source;
        Outcome text = run_program_text(tokenized.image->text, false);
        Outcome fast = run_program_text(tokenized.image->text, true);
        prepared += fast.prepared;
        text_runs += fast.text_runs;
        std::string a = describe(text);
        std::string b = describe(fast);
        if (a != b) {
            ++failures;
            ADD_FAILURE() << "program " << seed << ":\n"
                          << source << "\n--- text path:\n"
                          << a << "\n--- prepared:\n"
                          << b;
        }
    }
    // Most statements run prepared; the rest keep the text path.
    EXPECT_GT(prepared, 2 * text_runs);
    std::printf("shard %d: %llu statements prepared, %llu from their text\n", shard,
                static_cast<unsigned long long>(prepared),
                static_cast<unsigned long long>(text_runs));
}

INSTANTIATE_TEST_SUITE_P(Shards, PreparedDifferential, ::testing::Range(0, kShards));

}  // namespace
}  // namespace quillon::testing
