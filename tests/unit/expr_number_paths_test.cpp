// Variables read and written as numbers (get_number, set_number) against the value-text path
// they stand for: get_variable's text read back, and set_variable with the "%g" text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "expr/value_text.h"
#include "expr_fixture.h"

namespace quillon::testing {
namespace {

bool same_number(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

// Values of every kind a slot can hold: text read from programs holds more than six digits.
std::vector<double> sample_values() {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> values = {
        0.0,           -0.0,    1,        -1,   0.25,
        -0.3,          1234567, 999999.5, 1e-5, 2147483648.0,
        -2147483649.0, 1e300,   inf,      -inf, std::numeric_limits<double>::quiet_NaN(),
        5e-324,        123456.5};
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> exponent(-9, 12);
    std::uniform_int_distribution<int> digits(0, 99999999);
    for (int k = 0; k < 200000; ++k) {
        double v = std::pow(10.0, exponent(random));
        values.push_back(k % 2 ? v : -v);
        values.push_back(digits(random) / std::pow(10.0, k % 9));
    }
    return values;
}

class NumberPaths : public ExprTest {
  protected:
    // Reads `reference` both ways; both must agree on the value, the result and the error.
    void expect_same_read(std::string_view reference) {
        double number = 0;
        bool number_ok = get_number(rt, reference, number);
        int number_error = last_error();
        std::string text;
        bool text_ok = get_variable(rt, reference, text);
        int text_error = last_error();
        double from_text = parse_decimal(text);
        EXPECT_TRUE(same_number(number, from_text))
            << reference << ": " << number << " vs " << text;
        EXPECT_EQ(number_ok, text_ok) << reference;
        EXPECT_EQ(number_error, text_error) << reference;
    }

    // The slot value stored under a plain name (NaN when there is none).
    double slot_of(std::string_view name) {
        int64_t slot = find_slot(rt, name, Subscripts{});
        return slot < 0 ? std::numeric_limits<double>::quiet_NaN()
                        : rt.expr.variables.values[static_cast<std::size_t>(slot)];
    }
};

TEST_F(NumberPaths, ReadingAnyStoredValue) {
    set("v", "0");
    int64_t slot = find_slot(rt, "v", Subscripts{});
    ASSERT_GE(slot, 0);
    int failures = 0;
    for (double value : sample_values()) {
        rt.expr.variables.values[static_cast<std::size_t>(slot)] = value;
        double number = 0;
        EXPECT_TRUE(get_number(rt, "v", number));
        if (!same_number(number, parse_decimal(get("v"))) && ++failures <= 10)
            ADD_FAILURE() << "value " << value << " reads " << number << ", text " << get("v");
    }
}

TEST_F(NumberPaths, ReadingElementsMissingNamesFunctionsAndErrors) {
    run("\x10\x60 a(5),b(2,3)");
    set("a(3)", "2.5");
    set("b(1,2)", "1234567");
    set("e(7)", "0.125");
    set("q%", "3");
    set("r!", "0.1");
    set("s$", "abc");
    run("\x10\x77 fnk=7/3");
    run("\x10\x62 str z");
    ASSERT_EQ(get("fnk"), "2.33333");
    for (std::string_view reference :
         {"a(3)", "a(1+2)", "b(1,2)", "e(7)", "e(8)", "q%", "r!", "missing", "fnk", "fnx", "s$",
          "z", "zed", "a(9)", "a(-1)", "b(1)", "a(1", "x)"})
        expect_same_read(reference);
}

TEST_F(NumberPaths, ReadingRndTakesTheSameNextNumber) {
    RandomState saved = rt.expr.random;
    double number = 0;
    get_number(rt, "RnD", number);
    rt.expr.random = saved;
    EXPECT_TRUE(same_number(number, parse_decimal(get("RnD"))));
}

TEST_F(NumberPaths, WritingEveryNumericType) {
    int failures = 0;
    for (std::string_view suffix : {"", "#", "!", "%"}) {
        std::string direct = "n" + std::string(suffix);
        std::string through_text = "t" + std::string(suffix);
        for (double value : sample_values()) {
            bool direct_ok = set_number(rt, direct, value);
            int direct_error = last_error();
            bool text_ok = set_variable(rt, through_text, format_general(value));
            int text_error = last_error();
            bool same = direct_ok == text_ok && direct_error == text_error &&
                        same_number(slot_of(direct), slot_of(through_text));
            if (!same && ++failures <= 10)
                ADD_FAILURE() << direct << " = " << value << ": " << slot_of(direct) << " vs "
                              << slot_of(through_text) << ", errors " << direct_error << " "
                              << text_error;
        }
    }
}

TEST_F(NumberPaths, WritingStringsElementsAndBadNames) {
    run("\x10\x60 a(5)");
    run("\x10\x62 str z");
    EXPECT_TRUE(set_number(rt, "a(2)", 0.1));
    EXPECT_EQ(get("a(2)"), ".1");
    EXPECT_TRUE(set_number(rt, "e(4)", 1234567));
    EXPECT_EQ(get("e(4)"), "1.23457e+06");
    EXPECT_TRUE(set_number(rt, "z", 2.5));  // a string-typed name takes the text
    EXPECT_EQ(get("z"), "\"2.5\"");
    EXPECT_FALSE(set_number(rt, "a(9)", 1));
    EXPECT_EQ(last_error(), 14);
    EXPECT_FALSE(set_number(rt, "1x", 1));
    EXPECT_EQ(last_error(), 3);
    EXPECT_FALSE(set_number(rt, "i%", 3e9));
    EXPECT_EQ(last_error(), 5);
}

}  // namespace
}  // namespace quillon::testing
