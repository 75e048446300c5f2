// String expressions, comparisons and conditions: joining terms, string and numeric
// comparisons, sub-conditions in brackets and logical operators between comparisons.
#include <gtest/gtest.h>

#include <string>

#include "expr_fixture.h"

namespace quillon::testing {
namespace {

const std::string kAnd = "\x01&";
const std::string kOr = "\x01|";
const std::string kNot = "\x01!";

class StringExpr : public ExprTest {};

TEST_F(StringExpr, JoinsLiteralsAndVariables) {
    EXPECT_EQ(str("\"a\"+\"b\""), "\"ab\"");
    set("x$", "\"abc\"");
    EXPECT_EQ(str("x$ + \" d e\""), "\"abc d e\"");
    EXPECT_EQ(str("nothing$+\"z\""), "\"z\"");  // a missing string adds nothing
    EXPECT_EQ(str("\"a+b\""), "\"a+b\"");       // "+" inside quotes joins nothing
    EXPECT_EQ(str("\"\""), "\"\"");
    EXPECT_EQ(str(""), "\"\"");
    set("s$(2)", "\"two\"");
    EXPECT_EQ(str("s$(1+1)+\"!\""), "\"two!\"");
    EXPECT_EQ(last_error(), 0);
}

TEST_F(StringExpr, MalformedTermsAreRefused) {
    EXPECT_EQ(str("\"abc"), "\"\"");  // a failed expression leaves the empty string
    EXPECT_EQ(last_error(), 1);
    str("\"a\"+");
    EXPECT_EQ(last_error(), 1);
    str("\"a\"\"b\"");  // a raw quote never enters a value
    EXPECT_EQ(last_error(), 1);
    set("n", "5");
    str("\"a\"+n");
    EXPECT_EQ(last_error(), 9);
}

TEST_F(StringExpr, ResultLongerThanAStatementIsError12) {
    set("a$", "\"" + std::string(5000, 'x') + "\"");
    EXPECT_EQ(str("a$+a$"), "\"\"");  // the empty string, never a value cut without its quote
    EXPECT_EQ(last_error(), 12);
}

class Comparison : public ExprTest {};

TEST_F(Comparison, NumbersCompareAsDoubles) {
    set("a", "1");
    EXPECT_EQ(eval_comparison(rt, "a=1"), -1);
    EXPECT_EQ(eval_comparison(rt, "a<>1"), 0);
    EXPECT_EQ(eval_comparison(rt, "a><2"), -1);
    EXPECT_EQ(eval_comparison(rt, "a<2"), -1);
    EXPECT_EQ(eval_comparison(rt, "a<=1"), -1);
    EXPECT_EQ(eval_comparison(rt, "a>1"), 0);
    EXPECT_EQ(eval_comparison(rt, "a>=1"), -1);
    EXPECT_EQ(eval_comparison(rt, "a =< 1"), -1);  // read as <=
    EXPECT_EQ(eval_comparison(rt, "a => 2"), 0);   // read as >=
    EXPECT_EQ(eval_comparison(rt, "a+1 = 4/2"), -1);
    EXPECT_EQ(eval_comparison(rt, "2.9"), 2);  // no comparison: truncated
}

TEST_F(Comparison, StringsCompareBytesForEqualityAndLengthsForOrder) {
    set("x$", "\"abc\"");
    EXPECT_EQ(eval_comparison(rt, "x$=\"abd\""), 0);
    EXPECT_EQ(eval_comparison(rt, "x$<>\"abd\""), -1);
    EXPECT_EQ(eval_comparison(rt, "x$=\"abc\""), -1);
    EXPECT_EQ(eval_comparison(rt, "x$=\"ABC\""), 0);
    EXPECT_EQ(eval_comparison(rt, "x$<\"abcd\""), -1);
    EXPECT_EQ(eval_comparison(rt, "x$>\"ab\""), -1);
    EXPECT_EQ(eval_comparison(rt, "x$<\"xyz\""), 0);
    EXPECT_EQ(eval_comparison(rt, "\"ab\"+\"c\"=x$"), -1);
    EXPECT_EQ(eval_comparison(rt, "x$+\"d\"=\"abcd\""), -1);
    EXPECT_EQ(eval_comparison(rt, "\"<\"=\"<\""), -1);  // operators inside quotes are text
}

TEST_F(Comparison, DeclaredStringLetterMakesAStringComparison) {
    run("\x10\x62 str s");
    set("s", "\"hi\"");
    EXPECT_EQ(eval_comparison(rt, "s=\"hi\""), -1);
    EXPECT_EQ(last_error(), 0);
}

class Condition : public ExprTest {};

TEST_F(Condition, ComparisonsJoinedByLogicalOperators) {
    set("a", "1");
    set("b", "2");
    EXPECT_EQ(cond("a=1 " + kAnd + " b=2"), -1);
    set("b", "3");
    EXPECT_EQ(cond("a=1" + kAnd + "b=2"), 0);
    EXPECT_EQ(cond("a=1" + kOr + "b=2"), -1);
    EXPECT_EQ(cond(kNot + "a=1"), 0);
    EXPECT_EQ(cond(kNot + "a=2"), -1);
    EXPECT_EQ(cond("a=1" + kAnd + kNot + "b=2"), -1);
}

TEST_F(Condition, BracketedSubConditions) {
    set("a", "1");
    set("b", "2");
    EXPECT_EQ(cond("(a=1) " + kOr + " (b=5)"), -1);
    EXPECT_EQ(cond("(a=2)" + kOr + "(b=5)"), 0);
    EXPECT_EQ(cond("((a=1)" + kAnd + "(b=2))"), -1);
    EXPECT_EQ(cond(kNot + "(a=1" + kAnd + "b=2)"), 0);
    EXPECT_EQ(cond("(1+2)*3=9"), -1);
    EXPECT_EQ(cond("(a=1)*(b=2)"), 1);  // a bracket holding a comparison is a condition
    EXPECT_EQ(cond("x*(2+1)=0"), -1);
    EXPECT_EQ(cond("a=(3-2)"), -1);
    EXPECT_EQ(cond("a=(1" + kOr + "2)"), 0);  // 1 = 3
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Condition, BareValuesAreTruncated) {
    set("x", "0.5");
    EXPECT_EQ(cond("x"), 0);
    set("x", "-1.5");
    EXPECT_EQ(cond("x"), -1);
    EXPECT_EQ(cond("3" + kAnd + "5"), 1);
}

TEST_F(Condition, StringComparisonsInsideConditions) {
    set("x$", "\"and\"");
    EXPECT_EQ(cond("x$=\"and\" " + kAnd + " 1=1"), -1);
    EXPECT_EQ(cond("(x$=\"(\")" + kOr + "x$=\"and\""), -1);
    std::string escaped =
        "\"\x01\x01"
        "e\"";  // chr$(1)+"e": looks like a token unless quoted
    set("y$", escaped);
    EXPECT_EQ(cond("y$=" + escaped), -1);
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Condition, DeepBracketsNeedNoRecursion) {
    std::string text = std::string(2000, '(') + "1=1" + std::string(2000, ')');
    EXPECT_EQ(cond(text), -1);
    EXPECT_EQ(last_error(), 0);
}

}  // namespace
}  // namespace quillon::testing
