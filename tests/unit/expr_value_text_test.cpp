// Value text: blank removal, operator tests, the exponent-sign rule, number formats checked
// against the C library, number reading, the leading-zero rule and the string escapes.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <string>

#include "expr/value_text.h"
#include "expr_fixture.h"

namespace quillon::testing {
namespace {

std::string printf_text(const char* format, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

TEST(StripBlanks, DropsBlanksAndTabsOutsideQuotesOnly) {
    std::string out;
    strip_blanks(" a + \tb = \" x  y \" + c ", out);
    EXPECT_EQ(out, "a+b=\" x  y \"+c");
    strip_blanks("\"open  quote", out);
    EXPECT_EQ(out, "\"open  quote");
}

TEST(StripBlanks, FixedBufferRefusesWhatDoesNotFit) {
    char buffer[8];
    EXPECT_EQ(strip_blanks("1 + 2", buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "1+2");
    EXPECT_EQ(strip_blanks("12345678", buffer, sizeof buffer), std::string_view::npos);
    EXPECT_EQ(strip_blanks("1234567 ", buffer, sizeof buffer), 7u);
}

TEST(Operators, OneCharacterAndTokenOperators) {
    for (char c : std::string("^*/\\+-"))
        EXPECT_TRUE(is_operator(std::string(1, c), 0)) << c;
    EXPECT_FALSE(is_operator("=", 0));
    EXPECT_FALSE(is_operator("(", 0));
    EXPECT_TRUE(is_operator("\x01m", 0));
    EXPECT_FALSE(is_logical_operator("\x01m", 0));
    for (char c : std::string("&|e!")) {
        std::string token = {'\x01', c};
        EXPECT_TRUE(is_logical_operator(token, 0)) << c;
        EXPECT_TRUE(is_operator(token, 0)) << c;
    }
    EXPECT_FALSE(is_operator("\x01", 0));  // an escape without its letter
    EXPECT_FALSE(
        is_operator("\x01"
                    "a",
                    0));  // a hidden bracket is no operator
}

TEST(Operators, ExponentSignBelongsToANumberThatFollowsAnOperatorOrStartsTheText) {
    EXPECT_TRUE(is_exponent_sign("1e-3", 2));
    EXPECT_TRUE(is_exponent_sign("2+1e-3", 4));
    EXPECT_TRUE(is_exponent_sign("2*.5E+3", 4));
    EXPECT_TRUE(
        is_exponent_sign("7\x01m"
                         "1e-3",
                         5));
    EXPECT_FALSE(is_exponent_sign("x1e-3", 3));
    EXPECT_FALSE(is_exponent_sign("e-3", 1));
    EXPECT_FALSE(is_exponent_sign("ae-3", 2));
}

TEST(Operators, NameCharacters) {
    for (char c : std::string("aZ09!#$%,."))
        EXPECT_TRUE(is_name_char(c)) << c;
    for (char c : std::string("+-()\"= "))
        EXPECT_FALSE(is_name_char(c)) << c;
}

TEST(NumberFormat, GeneralMatchesPrintfG) {
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -1.5,
                             0.25,
                             1234567.0,
                             123456.0,
                             1e6,
                             999999.5,
                             0.0001,
                             0.00001,
                             1e-5 * 3,
                             1.0 / 3.0,
                             2.0 / 3,
                             1e100,
                             -1e-300,
                             1e+07,
                             65535.0,
                             3.14159265358979,
                             4294967296.0,
                             -2147483648.0,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double v : values)
        EXPECT_EQ(format_general(v), printf_text("%g", v)) << v;
    EXPECT_EQ(format_general(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(NumberFormat, FixedSingleAndInteger) {
    for (double v : {0.0, -1.0, 0.333333, 1234567.891, -0.0000005, 1e20})
        EXPECT_EQ(format_fixed(v), printf_text("%f", v)) << v;
    // Seven decimals of the value itself: no float in between (16777217 is no float).
    for (double v : {0.333333, 1.0 / 3.0, -2.5, 16777217.0, 0.1, 1e39})
        EXPECT_EQ(format_single(v), printf_text("%.7f", v)) << v;
    EXPECT_EQ(format_integer(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(format_integer(42), "42");
}

TEST(NumberFormat, DoesNotFollowTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    // A locale with a decimal comma, when the machine has one; the check holds either way.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(format_general(2.5), "2.5");
    EXPECT_EQ(format_single(0.5), "0.5000000");
    EXPECT_DOUBLE_EQ(parse_decimal("2.5"), 2.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberReading, DecimalLikeAtof) {
    EXPECT_DOUBLE_EQ(parse_decimal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(parse_decimal("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(parse_decimal("5e-1"), 0.5);
    EXPECT_DOUBLE_EQ(parse_decimal("-.25"), -0.25);
    EXPECT_DOUBLE_EQ(parse_decimal("+7"), 7.0);
    EXPECT_DOUBLE_EQ(parse_decimal("12abc"), 12.0);
    EXPECT_DOUBLE_EQ(parse_decimal("1e"), 1.0);
    EXPECT_DOUBLE_EQ(parse_decimal("1.23457e+06"), 1234570.0);
    EXPECT_DOUBLE_EQ(parse_decimal("abc"), 0.0);
    EXPECT_DOUBLE_EQ(parse_decimal(""), 0.0);
    EXPECT_DOUBLE_EQ(parse_decimal("+-5"), 0.0);
    EXPECT_DOUBLE_EQ(parse_decimal(" -.5"), -0.5);  // white space first, as atof skips it
    EXPECT_DOUBLE_EQ(parse_decimal("\t\r\n 42"), 42.0);
    EXPECT_DOUBLE_EQ(parse_decimal(" - 5"), 0.0);  // but not between the sign and the digits
    EXPECT_DOUBLE_EQ(parse_decimal("0x1A"), 26.0);
    EXPECT_EQ(parse_decimal("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parse_decimal("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(parse_decimal("1e-999"), 0.0);
    EXPECT_EQ(parse_decimal("0.0000000001e-320"), 0.0);
    EXPECT_EQ(parse_decimal("inf"), std::numeric_limits<double>::infinity());
}

TEST(NumberReading, RadixLikeStrtolWithThirtyTwoBits) {
    EXPECT_EQ(parse_radix("1F", 16), 31);
    EXPECT_EQ(parse_radix("1f", 16), 31);
    EXPECT_EQ(parse_radix("17", 8), 15);
    EXPECT_EQ(parse_radix("8000", 16), 32768);
    EXPECT_EQ(parse_radix("FFFFFFFF", 16), 2147483647);
    EXPECT_EQ(parse_radix("7FFFFFFF", 16), 2147483647);
    EXPECT_EQ(parse_radix("-80000000", 16), -2147483647 - 1);
    EXPECT_EQ(parse_radix("-FFFFFFFFF", 16), -2147483647 - 1);
    EXPECT_EQ(parse_radix("19", 8), 1);  // stops at the first digit outside the base
    EXPECT_EQ(parse_radix("", 16), 0);
    EXPECT_EQ(parse_radix("0x10", 16), 16);
    EXPECT_EQ(parse_radix("0xg", 16), 0);
}

TEST(LeadingZero, DroppedBeforeThePointOnly) {
    std::string text = "0.25";
    trim_leading_zero(text);
    EXPECT_EQ(text, ".25");
    text = "-0.5";
    trim_leading_zero(text);
    EXPECT_EQ(text, "-.5");
    for (const char* kept : {"0", "-0", "10.5", "1e-05", "0e5"}) {
        text = kept;
        trim_leading_zero(text);
        EXPECT_EQ(text, kept);
    }
}

class Escapes : public ExprTest {};

TEST_F(Escapes, EncodeEscapesTheFourSpecialBytes) {
    std::string out;
    encode_char('"', out, true);
    EXPECT_EQ(out,
              "\"\x01"
              "D\"");
    out.clear();
    encode_char(0x01, out, false);
    encode_char(0x00, out, false);
    encode_char(' ', out, false);
    encode_char('A', out, false);
    encode_char(0x82, out, false);
    EXPECT_EQ(out, std::string("\x01\x01\x01Z A\x82", 7));
}

TEST_F(Escapes, DecodeRoundTripsEveryByte) {
    std::string escaped;
    for (int c = 0; c < 256; ++c)
        encode_char(static_cast<uint8_t>(c), escaped, false);
    std::string raw;
    ASSERT_TRUE(decode_string(rt, escaped, raw));
    ASSERT_EQ(raw.size(), 256u);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(static_cast<uint8_t>(raw[c]), c);
    EXPECT_EQ(last_error(), 0);
}

TEST_F(Escapes, UnknownOrCutEscapeIsError4) {
    std::string raw;
    EXPECT_FALSE(decode_string(rt, "ab\x01Q", raw));
    EXPECT_EQ(last_error(), 4);
    EXPECT_FALSE(decode_string(rt, "ab\x01", raw));
    EXPECT_EQ(last_error(), 4);
}

}  // namespace
}  // namespace quillon::testing
