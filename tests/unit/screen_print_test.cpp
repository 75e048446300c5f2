// PRINT: the list form with its separators and number blanks, the USING form with its fields,
// the #n file form, and the destination buffer that the printer and input statements use.
#include <gtest/gtest.h>

#include "host/error_report.h"
#include "runtime_fixture.h"
#include "screen/print.h"

namespace quillon::testing {
namespace {

std::string compose(RuntimeFixture& f, std::string_view args) {
    std::string out;
    compose_and_print(f.rt, args, &out);
    return out;
}

bool reported(const RuntimeFixture& f, int number) {
    return f.platform.boxes.size() == 1 &&
           f.platform.boxes[0].text == error_report_text(number, "", 0);
}

TEST(PrintList, NumbersGetALeadingBlankUnlessNegative) {
    RuntimeFixture f;
    EXPECT_EQ(compose(f, "\"A=\";5"), "A= 5\n");
    EXPECT_EQ(compose(f, "5;5"), " 5 5\n");
    EXPECT_EQ(compose(f, "-1"), "-1\n");
    EXPECT_EQ(compose(f, "0.5"), " .5\n");
    EXPECT_EQ(compose(f, "-0.25"), "-.25\n");
    EXPECT_EQ(compose(f, "0"), " 0\n");
    EXPECT_EQ(compose(f, "1234567"), " 1.23457e+06\n");
}

TEST(PrintList, SeparatorsAndLineEnds) {
    RuntimeFixture f;
    EXPECT_EQ(compose(f, "\"A\",\"B\""), "A\tB\n");
    EXPECT_EQ(compose(f, "\"A\";"), "A");
    EXPECT_EQ(compose(f, "\"A\","), "A\t\n");
    EXPECT_EQ(compose(f, ""), "\n");
    EXPECT_EQ(compose(f, "\"A\" ; "), "A");  // blanks after the ";" do not count
    EXPECT_EQ(compose(f, "\"a;b,c\";\"d\""), "a;b,cd\n");
    EXPECT_EQ(compose(f, "\"x\";;\"y\""), "xy\n");
}

TEST(PrintList, StringsKeepTheirBlanksAndEscapes) {
    RuntimeFixture f;
    EXPECT_EQ(compose(f, "\" a  b \""), " a  b \n");
    EXPECT_EQ(compose(f,
                      "\"\x01"
                      "D\""),
              "\x01"
              "D\n");
}

TEST(PrintList, GoesToTheScreenWithoutDestination) {
    RuntimeFixture f("10 \x10\x10 \"Lv:\";1+0\n20 \x10\x10\n");
    f.run();
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.platform.output, "Lv: 1\n\n");
}

TEST(PrintList, OutputIsCutAtTheStatementSize) {
    RuntimeFixture f;
    std::string long_item = "\"" + std::string(5000, 'x') + "\"";
    std::string out = compose(f, long_item + ";" + long_item);
    EXPECT_EQ(out.size(), kStatementMax);
    EXPECT_EQ(out.back(), '\n');
    // A double-byte character is never split by the cut.
    std::string wide =
        "\"" + std::string(4000, 'x') + "\";\"" + std::string(4189, 'x') + "\x82\xA0\"";
    out = compose(f, wide);
    EXPECT_EQ(out, std::string(8189, 'x') + "\n");
}

TEST(PrintFile, PrefixErrors) {
    RuntimeFixture a;
    compose(a, "#1,\"x\"");  // the printer and prompts take no file
    EXPECT_TRUE(reported(a, kSyntaxError));
    RuntimeFixture b;
    compose_and_print(b.rt, "#0,\"x\"", nullptr);
    EXPECT_TRUE(reported(b, kOutOfRange));
    RuntimeFixture c;
    compose_and_print(c.rt, "#1 \"x\"", nullptr);
    EXPECT_TRUE(reported(c, kSyntaxError));
    RuntimeFixture d;
    compose_and_print(d.rt, "#1, \"x\"", nullptr);  // not open
    EXPECT_TRUE(reported(d, kFileAccess));
    EXPECT_TRUE(d.platform.output.empty());
}

TEST(PrintUsing, NumericFields) {
    RuntimeFixture f;
    EXPECT_EQ(compose(f, "using \"###\";5"), "  5\n");
    EXPECT_EQ(compose(f, "using \"###\";12345"), "%12345\n");
    EXPECT_EQ(compose(f, "using \"+##\";5"), " +5\n");
    EXPECT_EQ(compose(f, "using \"+##\";-5"), " -5\n");
    EXPECT_EQ(compose(f, "using \"+#\";12"), "%+12\n");
    EXPECT_EQ(compose(f, "using \"##\";-12"), "%-12\n");
    EXPECT_EQ(compose(f, "using \"##\";2.7"), " 2\n");  // the integer part is truncated
    EXPECT_EQ(compose(f, "USING \"[##]\";7;"), "[ 7]");
}

TEST(PrintUsing, DecimalPlaces) {
    RuntimeFixture f;
    EXPECT_EQ(compose(f, "using \"##.##\";3.14159"), " 3.14\n");
    EXPECT_EQ(compose(f, "using \"##.##\";-0.5"), "-0.50\n");
    EXPECT_EQ(compose(f, "using \"#.##\";-0.5"), "-.50\n");
    EXPECT_EQ(compose(f, "using \"##.##\";0.05"), " 0.05\n");
    EXPECT_EQ(compose(f, "using \"##.##\";2.999"), " 3.00\n");  // the carry reaches the units
    EXPECT_EQ(compose(f, "using \"##.##\";-2.999"), "-3.00\n");
    EXPECT_EQ(compose(f, "using \"#.##\";9.999"), "%10.00\n");
    EXPECT_EQ(compose(f, "using \"##.#\";0.001"), " 0.0\n");
    EXPECT_EQ(compose(f, "using \"###.##\";123.456"), "123.46\n");
}

TEST(PrintUsing, StringFields) {
    RuntimeFixture f;
    EXPECT_EQ(compose(f, "using \"&  &\";\"abcdef\""), "abcd\n");
    EXPECT_EQ(compose(f, "using \"&  &|\";\"ab\""), "ab  |\n");
    EXPECT_EQ(compose(f, "using \"&  &|\";\"\""), "    |\n");
    EXPECT_EQ(compose(f, "using \"@!\";\"ab\""), "ab!\n");
    EXPECT_EQ(compose(f, "using \"&&\";\"\x82\xA0\x82\xA2\""), "\x82\xA0\n");
    EXPECT_EQ(compose(f, "using \"& &\";\"\x82\xA0\x82\xA2\""), "\x82\xA0 \n");  // no half
}

TEST(PrintUsing, PicturesAreWalkedByCharacters) {
    RuntimeFixture f;
    // The second bytes of "　" (81 40) and "ァ" (83 40) are "@": never a field.
    EXPECT_EQ(compose(f, "using \"\x8D\x87\x8C\x76\x81\x40###\x89\x7E\";42"),
              "\x8D\x87\x8C\x76\x81\x40 42\x89\x7E\n");
    EXPECT_EQ(compose(f, "using \"\x83\x40@\x83\x40#\";\"\x83\x40\";5"), "\x83\x40\x83\x40\x83\x40" "5\n");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(PrintUsing, ArgumentsRunOutOrAreLeftOver) {
    RuntimeFixture f;
    EXPECT_EQ(compose(f, "using \"@-@-##\";\"a\""), "a-- 0\n");
    EXPECT_EQ(compose(f, "using \"##\";1,2,3"), " 1\n");
    EXPECT_EQ(compose(f, "using \"a&b\";1"), "a&b\n");  // an & that opens no field
}

TEST(PrintList, ALiteralLeftOpenIsASyntaxError) {
    for (const char* args : {"1;\"abc", "\"abc", "1,\"a;b"}) {
        RuntimeFixture f;
        compose(f, args);
        EXPECT_TRUE(reported(f, kSyntaxError)) << args;  // never dropped in silence
    }
}

TEST(PrintUsing, PictureWithoutItsSemicolonIsASyntaxError) {
    RuntimeFixture f;
    compose(f, "using \"##\"");
    EXPECT_TRUE(reported(f, kSyntaxError));
}

}  // namespace
}  // namespace quillon::testing
