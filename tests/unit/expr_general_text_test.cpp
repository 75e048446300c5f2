// The direct "%g" path: write_general and round_general against the library formatter (and
// printf) over millions of values, the edges of the direct cases included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "expr/value_text.h"

namespace quillon::testing {
namespace {

std::string fast_text(double value) {
    char buffer[kGeneralTextMax];
    return std::string(buffer, write_general(buffer, value));
}

std::string full_text(double value) {
    char buffer[kGeneralTextMax];
    return std::string(buffer, write_general_full(buffer, value));
}

std::string printf_text(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

// The number the general text reads back as.
double read_back(double value) {
    return parse_decimal(full_text(value));
}

bool same_number(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

// Checks one value and its negation; counts failures instead of flooding the output.
struct Checker {
    int failures = 0;
    void check(double value) {
        for (double v : {value, -value}) {
            std::string fast = fast_text(v);
            std::string full = full_text(v);
            bool ok = fast == full && same_number(round_general(v), read_back(v));
            if (!ok && ++failures <= 10)
                ADD_FAILURE() << "value " << printf_text(v) << " (" << std::hexfloat << v
                              << std::defaultfloat << "): fast " << fast << ", general " << full;
        }
    }
};

TEST(GeneralText, LibraryFormatterIsPrintfs) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-12, 12);
    for (int k = 0; k < 20000; ++k) {
        double v = std::pow(10.0, exponent(random));
        EXPECT_EQ(full_text(v), printf_text(v));
        EXPECT_EQ(full_text(-v), printf_text(-v));
    }
}

TEST(GeneralText, EdgeCases) {
    Checker checker;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {0.0,
                     -0.0,
                     1.0,
                     0.5,
                     0.25,
                     999999.0,
                     999999.4,
                     999999.5,
                     999999.49999999,
                     999999.50000001,
                     1e6,
                     1e6 + 1,
                     1e-4,
                     1e-5,
                     9.99995e-5,
                     9.999949e-5,
                     0.000100000,
                     0.00012345,
                     0.000123455,
                     123456.5,
                     123457.5,
                     12345.65,
                     2147483648.0,
                     4294967296.0 + 0.5,
                     1e15,
                     1e300,
                     1e-300,
                     5e-324,
                     inf,
                     nan,
                     std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::min(),
                     0.1,
                     0.2,
                     0.3,
                     1.0 / 3,
                     2.0 / 3,
                     100000.5,
                     99999.95,
                     99999.94999,
                     9.5,
                     0.95,
                     0.095,
                     0.0095,
                     0.00095,
                     0.000095})
        checker.check(v);
    EXPECT_EQ(fast_text(-0.0), "-0");
    EXPECT_EQ(fast_text(999999.5), "1e+06");
    EXPECT_EQ(fast_text(1e-5), "1e-05");
    EXPECT_EQ(fast_text(0.0001), "0.0001");
    EXPECT_EQ(fast_text(123456.5), "123456");  // a tie goes to even
    EXPECT_EQ(fast_text(1.0 / 3), "0.333333");
    EXPECT_EQ(fast_text(2147483648.0), "2.14748e+09");
    EXPECT_EQ(fast_text(nan), full_text(nan));
    EXPECT_TRUE(std::isnan(round_general(nan)));
}

TEST(GeneralText, WholeNumbersAroundEveryPowerOfTen) {
    Checker checker;
    for (double v = 0; v < 2e6; ++v)
        checker.check(v);
    for (int e = 6; e < 20; ++e)
        for (double d = -3; d <= 3; ++d)
            checker.check(std::pow(10.0, e) + d);
    for (int64_t v = 2147483640; v < 2147483660; ++v)
        checker.check(static_cast<double>(v));
}

TEST(GeneralText, ShortDecimalFractions) {
    Checker checker;
    for (int decimals = 1; decimals <= 9; ++decimals) {
        double scale = std::pow(10.0, decimals);
        for (int n = 1; n < 200000; ++n)
            checker.check(n / scale);
    }
}

TEST(GeneralText, NearRoundingTies) {
    Checker checker;
    for (int exponent = -6; exponent <= 7; ++exponent) {
        double unit = std::pow(10.0, exponent);
        for (int n = 100000; n < 1000000; n += 37) {
            double tie = (n + 0.5) * unit;
            checker.check(tie);
            checker.check(std::nextafter(tie, 0.0));
            checker.check(std::nextafter(tie, 1e300));
            checker.check(n * unit);
        }
    }
}

TEST(GeneralText, RandomValuesOfEveryMagnitude) {
    Checker checker;
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> exponent(-8, 9);
    for (int k = 0; k < 1500000; ++k)
        checker.check(std::pow(10.0, exponent(random)));
    std::uniform_int_distribution<uint64_t> bits;
    for (int k = 0; k < 500000; ++k) {
        uint64_t b = bits(random);
        double v = 0;
        std::memcpy(&v, &b, sizeof v);
        checker.check(v);
    }
}

TEST(GeneralText, ArithmeticResultsOfSixDigitValues) {
    Checker checker;
    std::mt19937 random(99);
    std::uniform_int_distribution<int> digits(1, 999999);
    std::uniform_int_distribution<int> shift(0, 6);
    for (int k = 0; k < 500000; ++k) {
        double a = digits(random) / std::pow(10.0, shift(random));
        double b = digits(random) / std::pow(10.0, shift(random));
        checker.check(a * b);
        checker.check(a / b);
        checker.check(a + b);
        checker.check(a - b);
    }
}

}  // namespace
}  // namespace quillon::testing
