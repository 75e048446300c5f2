// The run loop cuts statements in pieces (runs of bytes that cannot end a statement or flip
// the quote state); here it is compared with a loop that reads one byte at a time, as the run
// loop is described, over generated programs: quotes and colons in every place, IF lines,
// THEN and ELSE parts, jumps, labels, odd line numbers and statements at their size limit.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "expr/variables.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/statement.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

constexpr uint16_t kIf = 0x1020;

char byte_of(const HostState& host, int32_t pos) {
    if (pos < 0) return '\n';
    if (static_cast<std::size_t>(pos) >= host.program.size()) return '\0';
    return host.program[static_cast<std::size_t>(pos)];
}

void trim_blanks_after(std::string& text) {
    std::size_t keep = text.size() >= 2 && is_token_lead(static_cast<uint8_t>(text[0])) ? 2 : 0;
    while (text.size() > keep && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
}

// The byte-at-a-time run loop.
int reference_run(Runtime& rt) {
    auto& host = rt.host;
    std::string line_number;
    std::string statement;
    int mode = 0;
    bool in_quotes = false;
    host.running = true;
    for (;;) {
        if (host.stop) return 0;
        char c = byte_of(host, host.position);
        if (mode == 0) {
            if (line_number.size() >= kLineNumberMax && c != ' ' && c != '\n' && c != '\0') {
                report_error(rt, kSyntaxError);
                return 0;
            }
            line_number += c;
        } else {
            if (statement.empty() && is_token_lead(static_cast<uint8_t>(c))) {
                char before = byte_of(host, host.position - 1);
                if (before == ' ' || before == ':') {
                    statement += c;
                    statement += byte_of(host, host.position + 1);
                    host.position += 2;
                    c = byte_of(host, host.position);
                }
            }
            bool ends = c == '\n' || c == '\0' || (c == ':' && !in_quotes);
            if (!ends && statement.size() >= kStatementMax) {
                report_error(rt, kSyntaxError);
                return 0;
            }
            if (!ends) statement += c;
        }
        if (c == ' ' && mode == 0) {
            line_number.pop_back();
            host.line_number = static_cast<int32_t>(std::strtol(line_number.c_str(), nullptr, 10));
            line_number.clear();
            statement.clear();
            mode = 1;
        } else if (c == '\n' || c == '\0' || (c == ':' && !in_quotes)) {
            in_quotes = false;
            bool if_statement = statement.size() >= 2 &&
                                static_cast<uint8_t>(statement[0]) == (kIf >> 8) &&
                                static_cast<uint8_t>(statement[1]) == (kIf & 0xFF);
            if (c == ':' && mode == 1 && if_statement) {
                statement += c;
            } else {
                trim_blanks_after(statement);
                if (mode == 1 && !statement.empty()) {
                    rt.platform.before_statement(++host.statements_run);
                    if (!host.inline_branch || branch_part_filter(rt, statement))
                        dispatch_statement(rt, statement);
                }
                if (host.stop) return 0;
                statement.clear();
                line_number.clear();
                char now = byte_of(host, host.position);
                if (now == '\n' || host.position == -1) {
                    host.inline_branch = false;
                    mode = 0;
                    host.statement_mark = host.position;
                }
                if (now == ':') {
                    mode = 1;
                    host.statement_mark = host.position;
                    while (byte_of(host, host.position + 1) == ' ' ||
                           byte_of(host, host.position + 1) == '\t')
                        ++host.position;
                } else if (host.inline_branch) {
                    mode = 1;
                    host.statement_mark = host.position;
                }
                if (now == '\0' && host.position >= 0) {
                    program_end_cleanup(rt);
                    return 1;
                }
            }
        }
        if (host.position >= 0 && byte_of(host, host.position) == '"') in_quotes = !in_quotes;
        ++host.position;
    }
}

constexpr uint64_t kStatementsMax = 2000;

// What a run leaves behind.
struct Outcome {
    int result = 0;
    std::string output;
    std::vector<std::string> boxes;
    uint64_t statements = 0;
    int32_t position = 0;
    int32_t line = 0;
    std::string variables;
};

Outcome run_with(const std::string& program, bool reference) {
    RuntimeFixture f(program, Size{160, 100});  // thousands of runs: no full-size picture each
    // Generated jumps may loop: both runs are stopped at the same statement.
    f.platform.statement_hook = [&](uint64_t count) {
        if (count > kStatementsMax) f.rt.host.stop = true;
    };
    Outcome out;
    out.result = reference ? reference_run(f.rt) : f.run();
    out.output = f.platform.output;
    for (const auto& box : f.platform.boxes)
        out.boxes.push_back(box.text);
    out.statements = f.rt.host.statements_run;
    out.position = f.rt.host.position;
    out.line = f.rt.host.line_number;
    for (const char* name : {"a", "b", "c", "a$", "b$"}) {
        std::string value;
        get_variable(f.rt, name, value);
        out.variables += value + ";";
    }
    return out;
}

// Pieces of statements: tokens written as their bytes.
const std::string kPrint = "\x10\x10 ";
const std::string kIfToken = "\x10\x20 ";
const std::string kGoto = "\x10\x21 ";
const std::string kFor = "\x10\x25 ";
const std::string kNext = "\x10\x26";
const std::string kData = "\x10\x63 ";
const std::string kEnd = "\x10\x78";

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string program() {
        std::string text;
        int lines = pick(1, 7);
        for (int line = 1; line <= lines; ++line) {
            text += line_number(line * 10);
            int statements = pick(1, 4);
            for (int k = 0; k < statements; ++k) {
                if (k > 0) text += separator();
                text += statement(line, lines);
            }
            text += pick(0, 3) == 0 ? "  " : "";
            text += '\n';
        }
        if (pick(0, 4) == 0) text.pop_back();  // the last line without its line feed
        return text;
    }

  private:
    std::mt19937 random_;

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string line_number(int number) {
        switch (pick(0, 9)) {
            case 0:
                return "00" + std::to_string(number) + " ";
            case 1:
                return " " + std::to_string(number) + " ";
            case 2:
                return "\t" + std::to_string(number) + " ";
            default:
                return std::to_string(number) + " ";
        }
    }

    std::string separator() {
        const char* forms[] = {":", ": ", ":  \t", " :", "::"};
        return forms[pick(0, 4)];
    }

    std::string literal() {
        const char* forms[] = {"\"a:b\"", "\"\"",   "\" : \"",  "\"x\"",
                               "\"q:\"",  "\"::\"", "\"then\"", "\"else x\""};
        return forms[pick(0, 7)];
    }

    std::string statement(int line, int lines) {
        switch (pick(0, 12)) {
            case 0:
                return kPrint + literal() + ";" + literal();
            case 1:
                return kPrint + "a;\"" + std::string(pick(0, 3), ':') + "\";b";
            case 2:
                return "a = a + " + std::to_string(pick(1, 9)) + "   ";
            case 3:
                return "a$=a$+" + literal();
            case 4:
                return kIfToken + "a>" + std::to_string(pick(0, 9)) + " then " + kPrint +
                       literal() + ":b=b+1 else " + kPrint + literal() + ":c=c+1";
            case 5:
                return kIfToken + "b=" + std::to_string(pick(0, 2)) + " then " +
                       std::to_string((line + 1) * 10);
            case 6:
                return line < lines ? kGoto + std::to_string(pick(line + 1, lines) * 10)
                                    : kPrint + "c";
            case 7:
                return kFor + "c=1 to " + std::to_string(pick(0, 3)) + ":" + kPrint + literal() +
                       ":" + kNext + " c";
            case 8:
                return "*lab" + std::to_string(line);
            case 9:
                return kData + "1,\"x:y\", 2";
            case 10:
                return kPrint + "\"unclosed: " + literal();
            case 11:
                return pick(0, 20) == 0 ? kEnd : "b$ = \"" + std::string(pick(0, 2), ' ') + "\"";
            default:
                return "c=c" + std::string(pick(0, 2), ' ') + "+1";
        }
    }
};

// Compares both runs; returns whether the program ran off its end.
bool expect_same(const std::string& program) {
    Outcome cut = run_with(program, false);
    Outcome reference = run_with(program, true);
    EXPECT_EQ(cut.result, reference.result) << program;
    EXPECT_EQ(cut.output, reference.output) << program;
    EXPECT_EQ(cut.boxes, reference.boxes) << program;
    EXPECT_EQ(cut.statements, reference.statements) << program;
    EXPECT_EQ(cut.position, reference.position) << program;
    EXPECT_EQ(cut.line, reference.line) << program;
    EXPECT_EQ(cut.variables, reference.variables) << program;
    return cut.result == 1;
}

TEST(StatementCutting, GeneratedProgramsRunAsWithByteAtATimeReading) {
    Generator generator(2024);
    int completed = 0;
    constexpr int kPrograms = 3000;
    for (int k = 0; k < kPrograms && !::testing::Test::HasFailure(); ++k)
        completed += expect_same(generator.program()) ? 1 : 0;
    EXPECT_GT(completed, kPrograms / 3);  // most run to their end rather than to an error
    std::printf("%d of %d programs ran to their end\n", completed, kPrograms);
}

TEST(StatementCutting, StatementsAtTheirSizeLimit) {
    for (std::size_t size : {kStatementMax - 3, kStatementMax - 2, kStatementMax - 1, kStatementMax,
                             kStatementMax + 1}) {
        std::string body(size - 3, 'a');  // after the token and its blank
        expect_same("10 " + kData + body + "\n20 " + kPrint + "1\n");
        expect_same("10 " + kData + body.substr(0, body.size() / 2) + "\"" +
                    body.substr(body.size() / 2) + ":" + kPrint + "2\n");
        expect_same("10 a=1:" + kData + body + ":" + kPrint + "a\n");
    }
}

TEST(StatementCutting, OddLineNumbersAndLeadBytes) {
    const std::vector<std::string> programs = {"10:" + kPrint + "1\n",
                                               "1\"0 " + kPrint + "2\n",
                                               "-5 " + kPrint + "3\n",
                                               "99999999999999999 " + kPrint + "4\n",
                                               "1234567890123456789 " + kPrint + "5\n",
                                               "12345678901234567890 " + kPrint + "6\n",
                                               std::string("10 a=1 \x10\x10") + "7\n",
                                               "10 " + kPrint + "8:\x10",
                                               "10 \"\x10\x10 9\n",
                                               "10   " + kPrint + "\"a\"  \n"};
    for (const std::string& program : programs)
        expect_same(program);
}

}  // namespace
}  // namespace quillon::testing
