// The input statements: values typed into INPUT and LINE INPUT reach their variables as the
// types say, bad input asks again, the limits are refused, a closed window stores nothing,
// and file fields are cut at commas and line ends.
#include "screen/input_statements.h"

#include <gtest/gtest.h>

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "expr/variables.h"
#include "host/error_report.h"
#include "kavpack/tokenizer.h"
#include "runtime_fixture.h"
#include "screen/window_procedure.h"

namespace quillon::testing {
namespace {

constexpr std::size_t kTypedMax = 2048;  // longer lines are put into the input line at once

struct InputTest : ::testing::Test {
    RuntimeFixture f;
    WindowProcedure procedure{f.rt};
    std::deque<std::string> lines;  // typed one per wait, each followed by Enter
    std::vector<bool> caret_while_polled;

    void SetUp() override {
        f.platform.on_keys = [this](KeyDemand demand) {
            if (demand == KeyDemand::Poll) caret_while_polled.push_back(f.rt.screen.caret_flag);
            if (demand != KeyDemand::Line) return;
            EXPECT_TRUE(f.rt.screen.caret_flag);
            EXPECT_TRUE(f.rt.screen.input_waiting);
            if (lines.empty()) return procedure.close_requested();
            if (lines.front().size() > kTypedMax) {  // too long to type key by key
                std::lock_guard lock(f.rt.graphics.display_mutex);
                f.rt.screen.input_line = lines.front();
            } else {
                for (unsigned char c : lines.front())
                    procedure.key_char(c);
            }
            procedure.key_char(13);
            lines.pop_front();
        };
    }

    int run(std::string_view source, std::vector<std::string> typed = {}) {
        lines.assign(typed.begin(), typed.end());
        auto result = kavpack::tokenize_source(source);
        EXPECT_TRUE(result.image) << result.error.message;
        f.load(result.image ? result.image->text : "");
        return f.run();
    }
    std::string var(std::string_view name) {
        std::string out;
        get_variable(f.rt, name, out);
        return out;
    }
    int warnings() const {
        int count = 0;
        for (const auto& box : f.platform.boxes)
            count += box.title == "Basic - Warning";
        return count;
    }
    std::string error_box() const {
        for (const auto& box : f.platform.boxes)
            if (box.title == "Basic - Error") return box.text.substr(0, box.text.find("\n\n"));
        return "";
    }
};

TEST_F(InputTest, ValuesGoToTheirVariablesByType) {
    run("INPUT A, B$, C%, D$\nPRINT \"done\"",
        {"1.5,x y,2.5,\x93\xFA\x96\x7B\xB1\"\x01"});  // 日本, half-width katakana, quote, 0x01
    EXPECT_EQ(var("A"), "1.5");
    EXPECT_EQ(var("B$"), "\"x y\"");
    EXPECT_EQ(var("C%"), "3");
    EXPECT_EQ(var("D$"),
              "\"\x93\xFA\x96\x7B\xB1\x01"
              "D\x01\x01\"");
    EXPECT_EQ(warnings(), 0);
    // The echo is escaped as the input line is: the screen shows the pairs as their characters.
    EXPECT_EQ(f.platform.output,
              "? 1.5,x y,2.5,\x93\xFA\x96\x7B\xB1\x01"
              "D\x01\x01\ndone\n");
}

TEST_F(InputTest, TheThreePromptForms) {
    run("INPUT \"Name\";A$\nINPUT \"Age\",B\nINPUT C", {"x", "2", "3"});
    EXPECT_EQ(f.platform.output, "Name? x\nAge2\n? 3\n");
}

TEST_F(InputTest, APromptWithoutSeparatorOrVariablesIsError1) {
    for (const char* source : {"INPUT \"Name\"", "INPUT \"Name\";", "INPUT", "INPUT A(1"}) {
        f.platform.boxes.clear();
        run(source, {"x"});
        EXPECT_EQ(error_box(), error_message(1, "")) << source;
    }
    EXPECT_TRUE(f.platform.key_demands.empty());
}

TEST_F(InputTest, InputThatDoesNotFitWarnsAndAsksAgain) {
    // Too few values, a comma in a single string, an integer out of range.
    run("INPUT A, B\nINPUT S$\nINPUT N%", {"1", "1,2", "a,b", "ab", "99999999999", "7"});
    EXPECT_EQ(warnings(), 3);
    EXPECT_EQ(var("A"), "1");
    EXPECT_EQ(var("B"), "2");
    EXPECT_EQ(var("S$"), "\"ab\"");
    EXPECT_EQ(var("N%"), "7");
    EXPECT_EQ(f.platform.output, "? 1\n? 1,2\n? a,b\n? ab\n? 99999999999\n? 7\n");
}

TEST_F(InputTest, AnEmptyLineIsOneEmptyValue) {
    run("A=5\nINPUT S$, T$\nINPUT A", {",", ""});
    EXPECT_EQ(var("S$"), "\"\"");
    EXPECT_EQ(var("T$"), "\"\"");
    EXPECT_EQ(var("A"), "0");
    EXPECT_EQ(warnings(), 0);
}

TEST_F(InputTest, ClosingTheWindowDuringTheWaitStoresNothingAndEnds) {
    int ran_off = run("S$=\"old\"\nINPUT S$\nPRINT \"after\"", {});
    EXPECT_EQ(ran_off, 0);
    EXPECT_EQ(var("S$"), "\"old\"");
    EXPECT_TRUE(f.rt.host.stop);
    EXPECT_TRUE(f.rt.host.cleaned_up);
    EXPECT_FALSE(f.rt.host.error_stopped);
    EXPECT_EQ(f.platform.output, "? \n");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST_F(InputTest, TheCaretShowsOnlyWhileWaiting) {
    run("K$=INKEY$\nINPUT A\nK$=INKEY$", {"1"});
    EXPECT_EQ(caret_while_polled, (std::vector<bool>{false, false}));
    EXPECT_GE(f.platform.caret_changes, 2);
}

TEST_F(InputTest, BackspaceEditsTheLineBeforeItIsTaken) {
    // x, a double-byte character, then three Backspaces: one more than was typed.
    run("INPUT \"P\";S$", {"x\x93\xFA\b\b\bok"});
    EXPECT_EQ(var("S$"), "\"ok\"");
    EXPECT_EQ(f.rt.screen.text, "P? ok\n");
}

TEST_F(InputTest, ListsBeyondTheLimitsAreRefusedWithError1) {
    std::string names = "A0";
    for (int k = 1; k <= kInputVariableMax; ++k)
        names += ",A" + std::to_string(k);
    run("INPUT " + names, {"1"});
    EXPECT_EQ(error_box(), error_message(1, ""));
    EXPECT_TRUE(f.platform.key_demands.empty());

    f.platform.boxes.clear();
    run("INPUT " + std::string(kInputItemMax + 1, 'a'), {"1"});
    EXPECT_EQ(error_box(), error_message(1, ""));
}

TEST_F(InputTest, ATypedLineBeyondTheLimitAsksAgain) {
    run("INPUT S$", {std::string(kInputSplitMax + 1, 'x'), std::string(kInputItemMax, 'y')});
    EXPECT_EQ(warnings(), 1);
    EXPECT_EQ(var("S$"), "\"" + std::string(kInputItemMax, 'y') + "\"");
}

TEST_F(InputTest, LineInputTakesTheWholeLine) {
    run("LINE INPUT \"Say\";A$\nLINE INPUT \"No\",B$\nLINE INPUT C$", {"a, b", "q\"x", ""});
    EXPECT_EQ(var("A$"), "\"a, b\"");
    EXPECT_EQ(var("B$"),
              "\"q\x01"
              "Dx\"");
    EXPECT_EQ(var("C$"), "\"\"");
    EXPECT_EQ(f.platform.output,
              "Say? a, b\nNoq\x01"
              "Dx\n? \n");
}

// The whole line must fit the assignment the statement makes of it: a longer one asks again.
TEST_F(InputTest, LineInputBeyondTheStatementBufferAsksAgain) {
    const std::string longest(kStatementMax - 5, 'x');  // A$="..." fills the buffer exactly
    run("LINE INPUT A$", {longest + "y", longest});
    EXPECT_EQ(warnings(), 1);
    EXPECT_EQ(var("A$"), "\"" + longest + "\"");
}

TEST_F(InputTest, LineInputPromptNeedsItsQuoteAndSeparator) {
    run("LINE INPUT \"Say\" A$", {"x"});
    EXPECT_EQ(error_box(), error_message(1, ""));
    f.platform.boxes.clear();
    run("LINE INPUT \"Say", {"x"});
    EXPECT_EQ(error_box(), error_message(1, ""));
    EXPECT_TRUE(f.platform.key_demands.empty());
}

TEST_F(InputTest, LineWithoutTheWordInputDrawsALine) {
    run("LINE (0,0)-(10,10),2\nLINE INPUT x$", {"typed"});
    EXPECT_EQ(error_box(), "");
    EXPECT_EQ(f.rt.graphics.picture.pixel(5, 5), 0x0000FFu);
    EXPECT_EQ(var("x$"), "\"typed\"");
}

TEST(LineInputArguments, TheWordInputPicksTheForm) {
    std::string_view rest;
    EXPECT_TRUE(line_input_arguments("INPUT  x$", rest));
    EXPECT_EQ(rest, "x$");
    EXPECT_TRUE(line_input_arguments("input\"p\";x$", rest));
    EXPECT_EQ(rest, "\"p\";x$");
    EXPECT_TRUE(line_input_arguments("Input\t#1,a$", rest));
    EXPECT_EQ(rest, "#1,a$");
    EXPECT_FALSE(line_input_arguments("inputx$", rest));
    EXPECT_FALSE(line_input_arguments("input", rest));
    EXPECT_FALSE(line_input_arguments("(0,0)-(1,1)", rest));
}

TEST_F(InputTest, FileFormsCheckTheNumberAndReportUnopenedFiles) {
    struct Case {
        const char* source;
        int error;
    } cases[] = {
        {"INPUT #0,A", 5}, {"INPUT #x,A", 5},       {"INPUT #1 A", 1},
        {"INPUT #1,A", 7}, {"LINE INPUT #1,A$", 7}, {"LINE INPUT #10,A$", 1},
    };
    for (const Case& c : cases) {
        f.platform.boxes.clear();
        run(c.source);
        EXPECT_EQ(error_box(), error_message(c.error, "")) << c.source;
    }
    EXPECT_TRUE(f.platform.key_demands.empty());
}

// A file's bytes, read as the file table would.
class BytesSource : public FieldSource {
  public:
    explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}
    int read_byte() override {
        if (pos_ >= bytes_.size()) return -1;
        return static_cast<uint8_t>(bytes_[pos_++]);
    }
    bool seek_back() override {
        if (pos_ == 0) return false;
        --pos_;
        return true;
    }
    std::size_t position() const { return pos_; }

  private:
    std::string bytes_;
    std::size_t pos_ = 0;
};

std::vector<std::string> fields(BytesSource& source, FieldMode mode) {
    std::vector<std::string> out;
    std::string raw;
    while (read_field(source, mode, raw) == FieldResult::Read)
        out.push_back(raw);
    return out;
}

TEST(ReadField, CommaModeCutsAtCommasAndLineEnds) {
    BytesSource source("10,20\r\n30");
    std::string raw;
    ASSERT_EQ(read_field(source, FieldMode::Comma, raw), FieldResult::Read);
    EXPECT_EQ(raw, "10");
    ASSERT_EQ(read_field(source, FieldMode::Comma, raw), FieldResult::Read);
    EXPECT_EQ(raw, "20");
    EXPECT_EQ(source.position(), 7u);  // after the line feed
    ASSERT_EQ(read_field(source, FieldMode::Comma, raw), FieldResult::Read);
    EXPECT_EQ(raw, "30");  // the last field ends with the file
    EXPECT_EQ(read_field(source, FieldMode::Comma, raw), FieldResult::End);
}

TEST(ReadField, LineModeKeepsCommas) {
    BytesSource source("10,20\r\n,x\r\n");
    EXPECT_EQ(fields(source, FieldMode::Line), (std::vector<std::string>{"10,20", ",x"}));
}

TEST(ReadField, LineEndsAndNul) {
    // A lone carriage return gives the next byte back; a lone line feed belongs to the field;
    // a NUL ends a field; an empty field between two commas is read as empty.
    BytesSource source(std::string("a\rb\nc\r\nd\0e,,f", 14));
    EXPECT_EQ(fields(source, FieldMode::Comma),
              (std::vector<std::string>{"a", "b\nc", "d", "e", "", "f"}));
}

TEST(ReadField, AFieldLongerThanAValueIsRefused) {
    BytesSource source(std::string(kStatementMax + 1, 'x'));
    std::string raw;
    EXPECT_EQ(read_field(source, FieldMode::Line, raw), FieldResult::TooLong);
    BytesSource fits(std::string(kStatementMax, 'x') + "\r\n");
    EXPECT_EQ(read_field(fits, FieldMode::Line, raw), FieldResult::Read);
    EXPECT_EQ(raw.size(), kStatementMax);
}

}  // namespace
}  // namespace quillon::testing
