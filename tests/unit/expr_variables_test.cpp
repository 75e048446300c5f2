// The variable store: type rules, reading and writing the four types, elements created by
// assignment and dimensioned arrays, subscripts, erasing, and the byte limits of the stores.
#include <gtest/gtest.h>

#include <string>

#include "expr_fixture.h"

namespace quillon::testing {
namespace {

class Variables : public ExprTest {};

TEST_F(Variables, TypeBySuffixThenDeclaredLetterThenDouble) {
    EXPECT_EQ(variable_type(rt, "a#"), kDouble);
    EXPECT_EQ(variable_type(rt, "a!"), kSingle);
    EXPECT_EQ(variable_type(rt, "a%"), kInteger);
    EXPECT_EQ(variable_type(rt, "a$"), kString);
    EXPECT_EQ(variable_type(rt, "a$(3)"), kString);
    EXPECT_EQ(variable_type(rt, "abc"), kDouble);
    run("\x10\x62 int I-N");
    run("\x10\x62 sng a, k");
    run("\x10\x62 str s");
    EXPECT_EQ(variable_type(rt, "index"), kInteger);
    EXPECT_EQ(variable_type(rt, "Kilo"), kInteger);  // the integer list is consulted first
    EXPECT_EQ(variable_type(rt, "alpha"), kSingle);
    EXPECT_EQ(variable_type(rt, "s"), kString);
    EXPECT_EQ(variable_type(rt, "i#"), kDouble);  // a suffix wins
    EXPECT_EQ(variable_type(rt, "zed"), kDouble);
    EXPECT_EQ(variable_type(rt, ""), kDouble);
}

TEST_F(Variables, MissingVariablesReadAsZeroOrEmpty) {
    std::string out;
    EXPECT_TRUE(get_variable(rt, "x", out));
    EXPECT_EQ(out, "0");
    EXPECT_FALSE(get_variable(rt, "a$", out));
    EXPECT_EQ(out, "\"\"");
    EXPECT_EQ(get("q(3,4)"), "0");
}

TEST_F(Variables, ValuesAreConvertedToTheirType) {
    set("x", "0.25");
    EXPECT_EQ(get("x"), ".25");
    set("x", "-0.3");
    EXPECT_EQ(get("x"), "-.3");
    set("x", "1234567");
    EXPECT_EQ(get("x"), "1.23457e+06");
    set("i%", "2.5");
    EXPECT_EQ(get("i%"), "3");
    set("i%", "-2.5");
    EXPECT_EQ(get("i%"), "-2");
    set("i%", "3.49");
    EXPECT_EQ(get("i%"), "3");
    set("s!", "0.333333");
    EXPECT_EQ(get("s!"), ".333333");
    set("s!", "0.00000001");  // below seven decimals
    EXPECT_EQ(get("s!"), "0");
    set("t$", "abc");
    EXPECT_EQ(get("t$"), "\"abc\"");
    set("t$", "");
    EXPECT_EQ(get("t$"), "\"\"");
    set("t$", "\"q\"");
    EXPECT_EQ(get("t$"), "\"q\"");
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Variables, ConvertToType) {
    std::string text = "2.5";
    EXPECT_TRUE(convert_to_type(text, kInteger));
    EXPECT_EQ(text, "3");
    text = "2.49999999";  // the fraction at single precision reaches one half
    EXPECT_TRUE(convert_to_type(text, kInteger));
    EXPECT_EQ(text, "3");
    text = "0.1";
    EXPECT_TRUE(convert_to_type(text, kSingle));
    EXPECT_EQ(text, "0.1000000");
    text = "1.5";
    EXPECT_TRUE(convert_to_type(text, kDouble));
    EXPECT_EQ(text, "1.5");
    text = "x";
    EXPECT_TRUE(convert_to_type(text, kString));
    EXPECT_EQ(text, "\"x\"");
    text = "3e9";
    EXPECT_FALSE(convert_to_type(text, kInteger));
    EXPECT_EQ(text, "3e9");
    text = "1e39";
    EXPECT_FALSE(convert_to_type(text, kSingle));
}

TEST_F(Variables, IntegerOutOfRangeIsError5) {
    set("i%", "2147483647");
    EXPECT_EQ(rt.expr.variables.values.back(), 2147483647);
    set("i%", "3e9");
    EXPECT_EQ(last_error(), 5);
    EXPECT_EQ(rt.expr.variables.values.back(), 2147483647);  // the old value stays
}

TEST_F(Variables, NamesAreCaseSensitive) {
    set("score", "1");
    set("Score", "2");
    EXPECT_EQ(get("score"), "1");
    EXPECT_EQ(get("Score"), "2");
}

TEST_F(Variables, ANameMustBeginWithALetter) {
    std::string argument;
    EXPECT_FALSE(set_variable(rt, "1x", "5"));
    EXPECT_EQ(last_error(&argument), 3);
    EXPECT_EQ(argument, "1x");
    erase_variable(rt, "_y");
    EXPECT_EQ(last_error(), 3);
}

TEST_F(Variables, ElementsCreatedByAssignment) {
    set("a(3)", "5");
    EXPECT_EQ(get("a(3)"), "5");
    EXPECT_EQ(get("a(4)"), "0");
    EXPECT_EQ(get("a"), "0");  // the scalar a is another variable
    set("a(1,2)", "7");
    EXPECT_EQ(get("a(1,2)"), "7");
    EXPECT_EQ(get("a(1)"), "0");
    const auto& entries = rt.expr.variables.entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text,
              "a\x01"
              "3\x03");
    EXPECT_EQ(entries[1].text,
              "a\x01"
              "1\x03"
              "2\x03");
    EXPECT_TRUE(has_array_entries(rt, "a"));
}

TEST_F(Variables, DimensionedArrayLayout) {
    run("\x10\x60 b(2,3)");
    const auto& store = rt.expr.variables;
    ASSERT_EQ(store.entries.size(), 1u);
    EXPECT_EQ(store.entries[0].text,
              "b\x02"
              "2\x03"
              "3\x03");
    EXPECT_EQ(store.values.size(), 12u);
    Subscripts s;
    s.count = 2;
    s.values[0] = 1;
    s.values[1] = 2;
    EXPECT_EQ(find_slot(rt, "b", s), 6);  // the last subscript varies fastest
    set("b(1,2)", "9");
    EXPECT_EQ(store.values[6], 9);
    EXPECT_EQ(get("b(2,3)"), "0");
}

TEST_F(Variables, ArrayBoundsAndSubscriptErrors) {
    run("\x10\x60 b(2,3)");
    for (const char* reference : {"b(3,0)", "b(1)", "b(1,2,0)"}) {
        EXPECT_EQ(get(reference), "0");
        EXPECT_EQ(last_error(), 14) << reference;
    }
    get("b(-1,0)");
    EXPECT_EQ(last_error(), 5);
    set("b(4,4)", "1");  // nothing is created beside the array
    EXPECT_EQ(last_error(), 14);
    EXPECT_EQ(rt.expr.variables.entries.size(), 1u);
    for (const char* reference : {"b(1", "b)1(", "b(1))", "b(1)x"}) {
        get(reference);
        EXPECT_EQ(last_error(), 1) << reference;
    }
}

TEST_F(Variables, SubscriptsAreExpressions) {
    set("i", "2");
    set("c(i*2,i-1)", "8");
    EXPECT_EQ(get("c(4,1)"), "8");
    EXPECT_EQ(get("c(3.9+.2,1.7)"), "8");  // truncated toward zero
    std::string many = "d(";
    for (int k = 0; k < 256; ++k)
        many += k ? ",0" : "0";
    get(many + ")");
    EXPECT_EQ(last_error(), 5);  // more than 255 subscripts
}

TEST_F(Variables, StringElementsAreNormalised) {
    set("a$(1+1)", "\"x\"");
    EXPECT_EQ(get("a$(2)"), "\"x\"");
    std::string name;
    ASSERT_TRUE(normalize_subscripts(rt, "s$( 1+1 ,2)", name));
    EXPECT_EQ(name, "s$(2,2)");
    ASSERT_TRUE(normalize_subscripts(rt, "s$(-3)", name));  // no sign check for strings
    EXPECT_EQ(name, "s$(-3)");
    EXPECT_EQ(rt.expr.variables.strings.count("a$(2)"), 1u);
}

TEST_F(Variables, StringValueWithLineFeedStaysOneValue) {
    set("a$", "\"one\ntwo\"");
    set("b$", "\"three\"");
    EXPECT_EQ(get("a$"), "\"one\ntwo\"");
    EXPECT_EQ(get("b$"), "\"three\"");
}

TEST_F(Variables, ErasingKeepsTheOtherVariablesValues) {
    set("x", "1");
    set("y", "2");
    run("\x10\x60 z(2)");
    set("z(2)", "3");
    set("w", "4");
    erase_variable(rt, "x");
    EXPECT_EQ(get("x"), "0");
    EXPECT_EQ(get("y"), "2");
    EXPECT_EQ(get("z(2)"), "3");
    EXPECT_EQ(get("w"), "4");
    erase_variable(rt, "z");
    EXPECT_EQ(get("w"), "4");
    EXPECT_EQ(rt.expr.variables.values.size(), 2u);
    set("x", "5");  // a new entry goes to the end
    EXPECT_EQ(rt.expr.variables.entries.back().text, "x");
    EXPECT_EQ(get("x"), "5");
    erase_variable(rt, "missing");
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Variables, ErasingANameRemovesItsElementsAndStopsAtItsScalar) {
    set("e(1)", "1");
    set("e", "2");
    set("e(2)", "3");
    set("f", "4");
    erase_variable(rt, "e");  // e(1) and e go; the walk ends at the scalar
    EXPECT_EQ(get("e(1)"), "0");
    EXPECT_EQ(get("e"), "0");
    EXPECT_EQ(get("e(2)"), "3");
    EXPECT_EQ(get("f"), "4");
    erase_variable(rt, "e");
    EXPECT_EQ(get("e(2)"), "0");
    EXPECT_EQ(get("f"), "4");
}

TEST_F(Variables, ErasingStrings) {
    set("a$", "\"x\"");
    set("a$(1)", "\"y\"");
    erase_variable(rt, "a$");
    EXPECT_EQ(get("a$"), "\"\"");
    EXPECT_EQ(get("a$(1)"), "\"y\"");
    erase_variable(rt, "a$(2-1)");
    EXPECT_EQ(get("a$(1)"), "\"\"");
    EXPECT_EQ(rt.expr.variables.string_bytes, 0u);
}

TEST_F(Variables, CatalogueIsLimitedTo65535Bytes) {
    // Each entry "vNNNNN," takes 7 bytes: 9362 of them fit, the next is error 12.
    int created = 0;
    for (int k = 10000; k < 20000; ++k) {
        if (!set_variable(rt, "v" + std::to_string(k), "1")) break;
        ++created;
    }
    EXPECT_EQ(created, 65535 / 7);
    EXPECT_EQ(last_error(), 12);
    EXPECT_LE(rt.expr.variables.catalogue_bytes, 65535u);
    EXPECT_EQ(get("v10000"), "1");
    set("v10000", "2");  // existing variables can still be written
    EXPECT_EQ(get("v10000"), "2");
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Variables, StringStoreIsLimitedTo65535Bytes) {
    std::string big = "\"" + std::string(30000, 'x') + "\"";
    EXPECT_TRUE(set_variable(rt, "a$", big));  // 1 + 2 + 1 + 30002 bytes
    EXPECT_TRUE(set_variable(rt, "b$", big));
    EXPECT_FALSE(set_variable(rt, "c$", big));
    EXPECT_EQ(last_error(), 12);
    EXPECT_TRUE(set_variable(rt, "a$", "\"short\""));  // replacing frees room
    EXPECT_TRUE(set_variable(rt, "c$", big));
}

TEST_F(Variables, HugeArraysAreRefused) {
    run("\x10\x60 h(100000,100000)");
    EXPECT_EQ(last_error(), 15);
    EXPECT_TRUE(rt.expr.variables.values.empty());
    run("\x10\x60 h(2147483647,2147483647,2147483647)");
    EXPECT_EQ(last_error(), 15);
}

TEST_F(Variables, RndReadsARandomNumber) {
    std::string a = get("rnd");
    std::string b = get("RND");
    EXPECT_EQ(a.size(), 9u);  // "%.7f" of a number below 1
    EXPECT_EQ(a.substr(0, 2), "0.");
    EXPECT_NE(a, b);
}

TEST_F(Variables, ResetEmptiesEverything) {
    set("x", "1");
    set("a$", "\"s\"");
    run("\x10\x60 q(5)");
    run("\x10\x62 int x");
    reset_program(rt);
    EXPECT_EQ(get("x"), "0");
    EXPECT_EQ(get("a$"), "\"\"");
    EXPECT_TRUE(rt.expr.variables.entries.empty());
    EXPECT_TRUE(rt.expr.variables.values.empty());
    EXPECT_EQ(rt.expr.variables.catalogue_bytes, 0u);
    EXPECT_EQ(rt.expr.variables.string_bytes, 0u);
    EXPECT_EQ(variable_type(rt, "x"), kDouble);
}

}  // namespace
}  // namespace quillon::testing
