// The function-call expander (its passes, hidden brackets, system names) and user-defined
// functions with DEF FN.
#include <gtest/gtest.h>

#include "expr/calls.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

std::string expand(RuntimeFixture& f, std::string text) {
    expand_calls(f.rt, text);
    return text;
}

std::string variable(RuntimeFixture& f, std::string_view name) {
    std::string out;
    get_variable(f.rt, name, out);
    return out;
}

// The message of the first report, or "" when none was shown.
std::string first_report(const RuntimeFixture& f) {
    return f.platform.boxes.empty() ? "" : f.platform.boxes[0].text;
}

bool reported(const RuntimeFixture& f, int number, std::string_view text = {}) {
    return first_report(f).rfind(error_message(number, text), 0) == 0 && !f.platform.boxes.empty();
}

TEST(ExpandCalls, CallsBecomeTheirValuesInnermostFirst) {
    RuntimeFixture f;
    EXPECT_EQ(expand(f, "abs(-3)+len(\"ab\")"), "3+2");
    EXPECT_EQ(expand(f, "chr$(asc(\"A\"))"), "\"A\"");
    EXPECT_EQ(expand(f, "abs(abs(-2))*2"), "2*2");
    EXPECT_EQ(expand(f, "ABS (-4)"), "4");  // any case; blanks before the bracket
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(ExpandCalls, GroupingBracketsAndArraysSurviveUnchanged) {
    RuntimeFixture f;
    EXPECT_EQ(expand(f, "(1+2)*3"), "(1+2)*3");
    EXPECT_EQ(expand(f, "a(1+2)+b(c(1),2)"), "a(1+2)+b(c(1),2)");
    EXPECT_EQ(expand(f, "x\x01m(2)\x01&(y)"), "x\x01m(2)\x01&(y)");  // tokens kept whole
    EXPECT_EQ(expand(f, "abs((-5))"), "5");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(ExpandCalls, BracketsInsideStringsAreNotLookedAt) {
    RuntimeFixture f;
    EXPECT_EQ(expand(f, "\"abs(-1\"+\")x(\""), "\"abs(-1\"+\")x(\"");
    EXPECT_EQ(expand(f, "len(\"(()\")"), "3");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(ExpandCalls, UnbalancedBracketsAreASyntaxError) {
    RuntimeFixture a;
    expand(a, "abs(1");
    EXPECT_TRUE(reported(a, kSyntaxError));
    RuntimeFixture b;
    expand(b, "1)+abs(2)");
    EXPECT_TRUE(reported(b, kSyntaxError));
    EXPECT_TRUE(b.rt.host.stop);
}

TEST(ExpandCalls, SystemNames) {
    RuntimeFixture f;
    f.rt.devices.program_folder = "C:\\prog";
    EXPECT_EQ(expand(f, "date$"), "\"2000/03/06\"");
    EXPECT_EQ(expand(f, "TIME$+\"!\""), "\"09:05:07\"+\"!\"");
    EXPECT_EQ(expand(f, "curdir$"), "\"C:\\prog\"");
    EXPECT_EQ(expand(f, "xdate$+mytime$"), "xdate$+mytime$");  // other names end in $ too
    EXPECT_EQ(expand(f, "\"date$\""), "\"date$\"");
    EXPECT_EQ(expand(f, "left$(date$,4)"), "\"2000\"");
}

TEST(ExpandCalls, InkeyTakesTheLastKeyOnce) {
    RuntimeFixture f;
    EXPECT_EQ(expand(f, "inkey$"), "\"\"");
    f.rt.screen.last_key = 'a';
    EXPECT_EQ(expand(f, "inkey$"), "\"a\"");
    EXPECT_EQ(expand(f, "inkey$"), "\"\"");
    f.rt.screen.last_key = '"';
    EXPECT_EQ(expand(f, "inkey$"),
              "\"\x01"
              "D\"");
    f.rt.screen.last_key = ' ';
    EXPECT_EQ(expand(f, "inkey$"), "\" \"");
    ASSERT_FALSE(f.platform.key_demands.empty());
    EXPECT_EQ(f.platform.key_demands.back(), KeyDemand::Poll);
}

TEST(ExpandCalls, DefinitionsAreLeftAlone) {
    RuntimeFixture f;
    EXPECT_EQ(expand(f, "def fna(x)=abs(x)"), "def fna(x)=abs(x)");
    EXPECT_EQ(expand(f, "DEF\tfnb=date$"), "DEF\tfnb=date$");
}

TEST(ExpandCalls, TextGrowingPastAStatementIsRefused) {
    RuntimeFixture f;
    expand(f, "space$(5000)+space$(5000)");
    EXPECT_TRUE(reported(f, kMemoryRange));
}

TEST(ExpandCalls, UnderAnErrorTrapTheStatementGoesOnWithRealBrackets) {
    RuntimeFixture f;
    f.rt.host.error_trap = "*trap";  // a label: the trap itself does nothing here
    EXPECT_EQ(expand(f, "abs(1,2)+(3)"), "0+(3)");
    std::string grown = expand(f, "(1)+space$(5000)+space$(5000)");
    EXPECT_LE(grown.size(), kStatementMax);
    EXPECT_EQ(grown.substr(0, 5), "(1)+\"");
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_FALSE(f.rt.host.stop);
}

TEST(CallFunction, UnknownNamesComeBackWithHiddenBrackets) {
    RuntimeFixture f;
    std::string out;
    call_function(f.rt, "a (1,\"(\")", out);
    EXPECT_EQ(out,
              "a \x01"
              "a1,\"(\"\x01"
              "b");
    restore_hidden_brackets(out);
    EXPECT_EQ(out, "a (1,\"(\")");
}

TEST(CallFunction, RestoringKeepsEscapesAndTokens) {
    std::string text =
        "\"\x01\x01"
        "a\"+\x01"
        "ax\x01"
        "b\x01m2";
    restore_hidden_brackets(text);
    EXPECT_EQ(text,
              "\"\x01\x01"
              "a\"+(x)\x01m2");
}

// Programs: DEF FN through the dispatcher, calls through assignments.
TEST(UserFunctions, CallBindsParametersAsVariables) {
    RuntimeFixture f("10 \x10\x77 FNA(X)=X*2\n20 Y=FNA(4)\n");
    f.run();
    EXPECT_TRUE(f.platform.boxes.empty()) << first_report(f);
    EXPECT_EQ(variable(f, "Y"), "8");
    EXPECT_EQ(variable(f, "X"), "4");  // the parameter keeps the argument
}

TEST(UserFunctions, BodyCallsAreEvaluatedAtEachCall) {
    RuntimeFixture f(
        "10 \x10\x77 FNA(X)=ABS(X)\n20 A=FNA(-1)\n30 B=FNA(-2)\n"
        "40 \x10\x77 FNS$(S$,N)=LEFT$(S$,N)+\"!\"\n50 C$=FNS$(\"abc\",2)\n");
    f.run();
    EXPECT_TRUE(f.platform.boxes.empty()) << first_report(f);
    EXPECT_EQ(variable(f, "A"), "1");
    EXPECT_EQ(variable(f, "B"), "2");
    EXPECT_EQ(variable(f, "C$"), "\"ab!\"");
}

TEST(UserFunctions, NamesWithDigitsAndNoParameters) {
    RuntimeFixture f("10 \x10\x77 FN1(X)=X+1\n20 \x10\x77 FNK()=7\n30 A=FN1(FN1(1))+FNK()\n");
    f.run();
    EXPECT_TRUE(f.platform.boxes.empty()) << first_report(f);
    EXPECT_EQ(variable(f, "A"), "10");
}

TEST(UserFunctions, FirstDefinitionWinsAndCaseCounts) {
    RuntimeFixture f("10 \x10\x77 FNA(X)=1\n20 \x10\x77 FNA(X)=2\n30 A=FNA(0)\n40 B=fna(0)\n");
    f.run();
    EXPECT_EQ(variable(f, "A"), "1");
    EXPECT_EQ(variable(f, "B"), "0");  // fna is an undefined array element
}

TEST(UserFunctions, WrongArgumentCountIsError10) {
    RuntimeFixture f("10 \x10\x77 FNA(X,Y)=X+Y\n20 A=FNA(1)\n");
    f.run();
    EXPECT_TRUE(reported(f, kArgumentCount));
}

TEST(UserFunctions, RecursionIsRefusedNotFatal) {
    RuntimeFixture f("10 \x10\x77 FNR(X)=FNR(X)+1\n20 A=FNR(1)\n");
    f.run();
    EXPECT_TRUE(reported(f, kMemoryRange));
    EXPECT_EQ(f.rt.expr.user_call_depth, 0);
}

TEST(DefineFunction, MalformedAndOversizedDefinitions) {
    RuntimeFixture a("10 \x10\x77 FNA(X)\n");
    a.run();
    EXPECT_TRUE(reported(a, kSyntaxError));
    RuntimeFixture b("10 \x10\x77 FNA(X=1\n");
    b.run();
    EXPECT_TRUE(reported(b, kSyntaxError));
    RuntimeFixture c("10 \x10\x77 FNA(X)=" + std::string(1024, '1') + "\n");
    c.run();
    EXPECT_TRUE(reported(c, kMemoryRange));
    EXPECT_TRUE(c.rt.expr.user_functions.empty());
}

TEST(DefineFunction, TableHoldsNineHundredNinetyNine) {
    RuntimeFixture f;
    StatementContext ctx;
    for (int k = 0; k < kUserFunctionMax; ++k) {
        ctx.args = "FN" + std::to_string(k) + "(X)=X";
        define_function(f.rt, ctx);
    }
    EXPECT_TRUE(f.platform.boxes.empty());
    ctx.args = "FNZ(X)=X";
    define_function(f.rt, ctx);
    EXPECT_TRUE(reported(f, kMemoryRange));
    reset_user_functions(f.rt);
    EXPECT_TRUE(f.rt.expr.user_functions.empty());
}

}  // namespace
}  // namespace quillon::testing
