// Numeric evaluation: the flat evaluator's passes and operand rules, and eval_numeric's
// rewriting of array references, brackets, NOT and signs, with the length limits.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "expr_fixture.h"

namespace quillon::testing {
namespace {

const std::string kMod = "\x01m";
const std::string kAnd = "\x01&";
const std::string kOr = "\x01|";
const std::string kXor =
    "\x01"
    "e";
const std::string kNot = "\x01!";

class Numeric : public ExprTest {};

TEST_F(Numeric, PrecedenceOfThePasses) {
    EXPECT_EQ(num("2+3*4"), 14);
    EXPECT_EQ(num("2*3+4*5"), 26);
    EXPECT_EQ(num("2^3^2"), 64);  // left to right
    EXPECT_EQ(num("10/4"), 2.5);
    EXPECT_EQ(num("1+2" + kAnd + "3"), 3);  // the sum is formed first
    EXPECT_EQ(num("2*7" + kMod + "4"), 2);  // MOD after * and /
    EXPECT_EQ(num("1+7" + kMod + "4"), 4);  // MOD before + and -
    EXPECT_EQ(num("1" + kOr + "2" + kAnd + "3"), 3);
    EXPECT_EQ(num("1" + kXor + "3" + kOr + "4"), 6);  // OR before XOR
    EXPECT_EQ(num("10-4-3"), 3);
    EXPECT_EQ(num("64/4/2"), 8);
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Numeric, IntegerDivisionAndModTruncate) {
    EXPECT_EQ(num("7\\2"), 3);
    EXPECT_EQ(num("-7\\2"), -3);
    EXPECT_EQ(num("7.9\\2"), 3);
    EXPECT_EQ(num("7" + kMod + "3"), 1);
    EXPECT_EQ(num("-7" + kMod + "3"), -1);
    EXPECT_EQ(num("7" + kMod + "-3"), 1);
    EXPECT_EQ(num("-2147483648\\-1"), -2147483648.0);  // wraps, never traps
    EXPECT_EQ(num("-2147483648" + kMod + "-1"), 0);
}

TEST_F(Numeric, LogicalOperatorsOnThirtyTwoBits) {
    EXPECT_EQ(num("6" + kAnd + "3"), 2);
    EXPECT_EQ(num("6" + kOr + "3"), 7);
    EXPECT_EQ(num("6" + kXor + "3"), 5);
    EXPECT_EQ(num(kNot + "0"), -1);
    EXPECT_EQ(num(kNot + "5"), -6);
    EXPECT_EQ(num(kNot + "5+1"), -7);  // NOT takes the whole rest
    EXPECT_EQ(num("1" + kAnd + kNot + "0"), 1);
    EXPECT_EQ(num("-1" + kAnd + "0"), 0);
    EXPECT_EQ(num("&H8000" + kAnd + "&HFF00"), 32768);
    EXPECT_EQ(num("4294967297" + kAnd + "3"), 1);  // the low 32 bits
    EXPECT_EQ(num(kNot + kNot + "7"), 7);
}

TEST_F(Numeric, DivisionByZeroIsError16) {
    for (std::string text : {std::string("10/0"), std::string("10\\0"), "10" + kMod + "0",
                             std::string("10\\0.5"), "1" + kMod + ".9"}) {
        EXPECT_EQ(num(text), 0) << text;
        EXPECT_EQ(last_error(), 16) << text;
    }
}

TEST_F(Numeric, OperandForms) {
    EXPECT_EQ(num(".5"), 0.5);
    EXPECT_EQ(num("0.5"), 0.5);
    EXPECT_EQ(num("5e-1"), 0.5);
    EXPECT_EQ(num("&h1F"), 31);
    EXPECT_EQ(num("&H1F"), 31);
    EXPECT_EQ(num("&O17"), 15);
    EXPECT_EQ(num("&o10"), 8);
    EXPECT_EQ(num("&HFF+1"), 256);
    EXPECT_EQ(num("&HFFFFFFFF"), 2147483647);
    EXPECT_EQ(num("1e+3+1"), 1001);
    EXPECT_EQ(num("2.5e-1*4"), 1);
    EXPECT_EQ(num("3*-2"), -6);
    EXPECT_EQ(num("3" + kMod + "-2"), 1);
    EXPECT_EQ(num("4/-.5"), -8);
    EXPECT_EQ(num("3*+2"), 6);
    EXPECT_EQ(num("3*-&H10"), -48);  // a minus before a literal negates it
    EXPECT_EQ(num("x+1"), 1);        // a variable that does not exist reads 0
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Numeric, MalformedOperandsAreRefused) {
    for (const char* text : {"&Z1", "3*", "*3", "3**2", "3+-",
                             "\x01m"
                             "5"}) {
        EXPECT_EQ(num(text), 0) << text;
        EXPECT_EQ(last_error(), 1) << text;
    }
    EXPECT_EQ(num(""), 0);  // an empty expression is 0
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Numeric, StringOperandsAreError9) {
    set("a$", "\"abc\"");
    for (const char* text : {"a$", "1+a$", "-a$", "\"abc\"", "a$(1)+1", "b(c$)"}) {
        EXPECT_EQ(num(text), 0) << text;
        EXPECT_EQ(last_error(), 9) << text;
    }
}

TEST_F(Numeric, BracketsKeepSixSignificantDigits) {
    EXPECT_EQ(num("(1+2)*3"), 9);
    EXPECT_EQ(num("-(2)"), -2);
    EXPECT_EQ(num("3-(-2)"), 5);
    EXPECT_EQ(num("(1234567)+0"), 1234570);
    EXPECT_EQ(num("(100000*100)+1"), 10000001);
    EXPECT_EQ(num("((((1+1))))*((2))"), 4);
    EXPECT_EQ(num("(1+2"), 3);  // an unclosed bracket takes the rest
    EXPECT_EQ(num("2*(3+(4"), 14);
    EXPECT_EQ(num("( 1 + 2 ) * 3"), 9);
    EXPECT_EQ(num("(2)(3)"), 23);  // two values side by side are read as one number
}

TEST_F(Numeric, SignsFoldInPairs) {
    EXPECT_EQ(num("3--2"), 5);
    EXPECT_EQ(num("3+-2"), 1);
    EXPECT_EQ(num("3-+2"), 1);
    EXPECT_EQ(num("3++2"), 5);
    EXPECT_EQ(num("3---2"), 1);
    EXPECT_EQ(num("+5"), 5);
    EXPECT_EQ(num("--5"), 5);
}

TEST_F(Numeric, NegatedVariables) {
    set("x", "-4");
    EXPECT_EQ(num("-x"), 4);
    set("x", "4");
    EXPECT_EQ(num("-x"), -4);
    EXPECT_EQ(num("2*-x"), -8);
    EXPECT_EQ(num("-x^2"), 16);  // the sign belongs to the operand
    set("y", "1e+06");
    EXPECT_EQ(num("-y+1"), -999999);
}

TEST_F(Numeric, ArrayReferencesAreReplacedByTheirValues) {
    run("\x10\x60 a(3),m2(2,2)");
    set("a(2)", "7");
    set("m2(1,2)", "5");
    set("b", "2");
    EXPECT_EQ(num("a(2)*2"), 14);
    EXPECT_EQ(num("a(b)+a(b-1)"), 7);
    EXPECT_EQ(num("a((b+1)*1-1)"), 7);
    EXPECT_EQ(num("m2(1,b)"), 5);  // names with digits are arrays too
    EXPECT_EQ(num("a(a(0)+2)"), 7);
    EXPECT_EQ(num("1-a(2)"), -6);
    EXPECT_EQ(num("-a(2)"), -7);
    EXPECT_EQ(num("2" + kAnd + "(3)"), 2);  // a bracket after a token is no array
    EXPECT_EQ(last_error(), 0);
    EXPECT_EQ(num("a(4)"), 0);
    EXPECT_EQ(last_error(), 14);
}

TEST_F(Numeric, VariablesPassThroughGeneralText) {
    set("big", "1234567");
    EXPECT_EQ(num("big"), 1234570);
    EXPECT_EQ(num("big+0"), 1234570);
}

TEST_F(Numeric, LongExpressionsAreRefusedNotOverrun) {
    std::string fits = "1" + std::string(1022, ' ');  // blanks are removed first
    EXPECT_EQ(num(fits), 1);
    std::string text = std::string(511, '(') + "1" + std::string(511, ')');
    ASSERT_EQ(text.size(), 1023u);
    EXPECT_EQ(num(text), 1);
    EXPECT_EQ(last_error(), 0);
    EXPECT_EQ(num(text + "0"), 0);
    EXPECT_EQ(last_error(), 1);
    // Growing past the limit while brackets are replaced.
    std::string grows;
    while (grows.size() < 1000)
        grows += "(1/3)+";
    grows += "0";
    EXPECT_EQ(num(grows), 0);
    EXPECT_EQ(last_error(), 1);
}

TEST_F(Numeric, MoreThan255OperandsIsError1) {
    std::string text = "1";
    for (int k = 1; k < 255; ++k)
        text += "+1";
    EXPECT_EQ(num(text), 255);
    EXPECT_EQ(last_error(), 0);
    EXPECT_EQ(num(text + "+1"), 0);
    EXPECT_EQ(last_error(), 1);
}

TEST_F(Numeric, EveryAdditiveOperatorIsApplied) {
    // Long sums and mixed logical chains are applied whole, never cut after 51 operators.
    std::string sum = "0";
    for (int k = 1; k <= 100; ++k)
        sum += "+1";
    EXPECT_EQ(num(sum), 100);
    std::string mixed = "1";
    for (int k = 0; k < 60; ++k)
        mixed += kAnd + "1";
    mixed += "+1";
    EXPECT_EQ(num(mixed), 0);  // 1 AND ... AND (1+1) = 1 AND 2 = 0
}

TEST_F(Numeric, DeepNestingNeedsNoRecursion) {
    std::string text = std::string(500, '(') + "7" + std::string(500, ')');
    EXPECT_EQ(num(text), 7);
    std::string nots;
    for (int k = 0; k < 300; ++k)
        nots += kNot;
    EXPECT_EQ(num(nots + "5"), 5);
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Numeric, TruncationKeepsTheLowThirtyTwoBits) {
    EXPECT_EQ(truncate_to_int32(2.9), 2);
    EXPECT_EQ(truncate_to_int32(-2.9), -2);
    EXPECT_EQ(truncate_to_int32(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(truncate_to_int32(4294967297.5), 1);
    EXPECT_EQ(truncate_to_int32(-4294967297.0), -1);
    EXPECT_EQ(truncate_to_int32(1e300), 0);
    EXPECT_EQ(truncate_to_int32(std::nan("")), 0);
    EXPECT_EQ(truncate_to_int32(-INFINITY), 0);
}

TEST_F(Numeric, HugeValuesNeverWrapIntoSmallOnes) {
    int32_t whole = 7;
    EXPECT_TRUE(truncate_checked(-2147483648.9, whole));
    EXPECT_EQ(whole, -2147483647 - 1);
    EXPECT_FALSE(truncate_checked(2147483648.0, whole));
    EXPECT_FALSE(truncate_checked(std::nan(""), whole));
    EXPECT_EQ(eval_integer(rt, "4294967298"), 0);  // a count or time: error 5
    EXPECT_EQ(last_error(), kOutOfRange);
    run("A(1E20)=9");  // a subscript: error 14, and element 0 keeps its value
    EXPECT_EQ(last_error(), kArrayMemory);
    EXPECT_EQ(get("A(0)"), "0");
    EXPECT_NE(cond("4294967296"), 0);  // a huge condition stays true
    EXPECT_NE(cond("-4294967296"), 0);
}

TEST_F(Numeric, ReduceReadsOnlyItsFirst1024Bytes) {
    const std::string one = std::string(254, '0') + "1";  // 255 bytes, the longest operand
    std::string text = one + "+" + one + "+" + one + "+" + one.substr(1) + "+59";
    ASSERT_EQ(text.find("9"), 1024u);
    // The 9 past byte 1024 is never seen: the last operand reads 5, not 59.
    EXPECT_DOUBLE_EQ(reduce_numeric(rt, text), 9.0);
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Numeric, OperandsLongerThan255BytesAreError1) {
    // Cut to 255 bytes, the name or number would read as another one.
    set("V" + std::string(254, 'x'), "5");
    EXPECT_EQ(num("2+V" + std::string(254, 'x')), 7);
    EXPECT_EQ(num("2+V" + std::string(255, 'x')), 0);
    EXPECT_EQ(last_error(), kSyntaxError);
    EXPECT_EQ(num("1" + std::string(300, '0')), 0);
    EXPECT_EQ(last_error(), kSyntaxError);
}

TEST_F(Numeric, ResultsBeyondTheDoubleRangeAreError5) {
    // "inf" or "nan" value text would read back as a variable's name.
    for (std::string text :
         {"1E308*10", "-1E308-1E308", "1E999", "-1E999", "(-8)^.5", "10^400", "1E300/1E-300"}) {
        EXPECT_EQ(num(text), 0) << text;
        EXPECT_EQ(last_error(), kOutOfRange) << text;
    }
    EXPECT_EQ(num("1E308*1"), 1e308);
    EXPECT_EQ(last_error(), 0);
}

}  // namespace
}  // namespace quillon::testing
