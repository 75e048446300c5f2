// Assignment and declarations: LET and plain assignments, DIM, ERASE and the type declaration
// by initial letter, as statements dispatched by their tokens and from program text.
#include <gtest/gtest.h>

#include <string>

#include "expr/assignment.h"
#include "expr_fixture.h"

namespace quillon::testing {
namespace {

const std::string kLet = "\x10\x79 ";
const std::string kDim = "\x10\x60 ";
const std::string kErase = "\x10\x61 ";
const std::string kDeclare = "\x10\x62 ";

class Assignment : public ExprTest {};

TEST_F(Assignment, StoresEachTypeThroughGeneralText) {
    run("x=1+2");
    EXPECT_EQ(get("x"), "3");
    run(kLet + "a$ = \"ab\" + \"c\"");
    EXPECT_EQ(get("a$"), "\"abc\"");
    run("n%=7/2");
    EXPECT_EQ(get("n%"), "4");
    run("s!=1/3");
    EXPECT_EQ(get("s!"), ".333333");
    run("d#=1/3");
    EXPECT_EQ(get("d#"), ".333333");  // six digits reach the store whatever the type
    run("big=100000*100");
    EXPECT_EQ(get("big"), "1e+07");
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Assignment, StatementWithoutTokenIsAnAssignment) {
    run("score=5");
    run("score = score + 1");
    EXPECT_EQ(get("score"), "6");
    run("*label");  // a label does nothing
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Assignment, MalformedTargetsAreRefused) {
    run("x");
    EXPECT_EQ(last_error(), 2);
    run("a+b=3");
    EXPECT_EQ(last_error(), 2);
    run("\"q\"=3");
    EXPECT_EQ(last_error(), 2);
    run("=3");
    EXPECT_EQ(last_error(), 3);
    run("a(i+1)=3");  // operators inside subscripts are fine
    EXPECT_EQ(last_error(), 0);
    EXPECT_EQ(get("a(1)"), "3");
}

TEST_F(Assignment, TypeMismatchStoresNothing) {
    run("x=5");
    run("x=\"text\"");
    EXPECT_EQ(last_error(), 9);
    run("a$=5");
    EXPECT_EQ(last_error(), 9);
}

TEST_F(Assignment, DimCreatesZeroedArraysAndScalars) {
    run("c=4");
    run(kDim + "a(3), b(2,2), c, s$(10)");
    const auto& store = rt.expr.variables;
    EXPECT_EQ(store.values.size(), 1u + 4u + 9u);
    EXPECT_EQ(get("c"), "0");  // a scalar is set back to 0
    EXPECT_EQ(get("a(3)"), "0");
    EXPECT_EQ(get("b(2,2)"), "0");
    EXPECT_EQ(store.entries.size(), 3u);  // the string item does nothing
    run("n=1");
    run(kDim + "w((n+1)*2)");
    EXPECT_EQ(store.entries.back().text,
              "w\x02"
              "4\x03");
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Assignment, DimTwiceIsError17) {
    run(kDim + "a(3)");
    std::string argument;
    run(kDim + "a(5)");
    EXPECT_EQ(last_error(&argument), 17);
    EXPECT_EQ(argument, "a");
    run("e(3)=5");
    run(kDim + "e(9)");  // elements made by assignment count as an array
    EXPECT_EQ(last_error(), 17);
    run(kDim + "g(1), g(2)");  // a name twice in one list
    EXPECT_EQ(last_error(), 17);
    EXPECT_FALSE(has_array_entries(rt, "g"));
}

TEST_F(Assignment, DimErrors) {
    run(kDim + "a(-1)");
    EXPECT_EQ(last_error(), 5);
    run(kDim + "a(3");
    EXPECT_EQ(last_error(), 1);
    run(kDim + "1a(3)");
    EXPECT_EQ(last_error(), 3);
    EXPECT_TRUE(rt.expr.variables.entries.empty());
}

TEST_F(Assignment, EraseRemovesEachListedName) {
    run(kDim + "a(3)");
    run("b=2");
    run("c$=\"x\"");
    run("d=4");
    run(kErase + "a, b , c$");
    EXPECT_EQ(get("b"), "0");
    EXPECT_EQ(get("c$"), "\"\"");
    EXPECT_EQ(get("d"), "4");
    run(kDim + "a(5)");  // the array may be declared again
    EXPECT_EQ(last_error(), 0);
    run(kErase + "nothing");
    EXPECT_EQ(last_error(), 0);
    run(kErase + "s$(1,2)");  // a comma inside brackets does not split
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Assignment, DeclaredLettersGiveTheType) {
    run(kDeclare + "int I-N");
    run("i=2.7");
    EXPECT_EQ(get("i"), "3");
    run("j=1/3");
    EXPECT_EQ(get("j"), "0");
    run("i#=2.7");
    EXPECT_EQ(get("i#"), "2.7");
    run(kDeclare + "STR s");
    run("s=\"hi\"");
    EXPECT_EQ(get("s"), "\"hi\"");
    run(kDeclare + "sng x,Y - z");
    run("y=1/3");
    EXPECT_EQ(get("y"), ".333333");
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Assignment, MalformedLetterListsAreError1) {
    for (const char* list : {"int 1", "int A-", "int Z-A", "int A,", "int AB", "int", "int A;B"}) {
        run(kDeclare + list);
        EXPECT_EQ(last_error(), 1) << list;
    }
    run(kDeclare + "dbl A");  // another keyword declares nothing
    EXPECT_EQ(last_error(), 0);
    EXPECT_EQ(variable_type(rt, "a"), kDouble);
}

TEST_F(Assignment, RepeatedDeclarationsNeverOverflow) {
    for (int k = 0; k < 200; ++k)
        run(kDeclare + "int A-Z");
    EXPECT_EQ(last_error(), 0);
    EXPECT_EQ(variable_type(rt, "q"), kInteger);
}

TEST_F(Assignment, ProgramRunsAssignmentsFromItsText) {
    f.load("10 x=1\n20 \x10\x60 a(2)\n30 a(x)=x+1:y=a(1)*10\n40 \x10\x78\n");
    f.run();
    EXPECT_EQ(last_error(), 0);
    EXPECT_EQ(get("y"), "20");
}

TEST_F(Assignment, ErrorReportCarriesTheLine) {
    f.load("10 x=1\n20 y=x/0\n30 z=1\n");
    f.run();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(16, "", 20));
    EXPECT_EQ(get("z"), "0");
}

}  // namespace
}  // namespace quillon::testing
