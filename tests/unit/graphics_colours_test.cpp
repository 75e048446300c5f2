// Colour numbers and the COLOR statement.
#include <gtest/gtest.h>

#include "graphics/colours.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

TEST(ColourNumbers, TheEightColoursThenBlack) {
    EXPECT_EQ(colour_to_rgb(0), 0x000000u);
    EXPECT_EQ(colour_to_rgb(1), 0xFF0000u);  // blue, in 0x00BBGGRR
    EXPECT_EQ(colour_to_rgb(2), 0x0000FFu);
    EXPECT_EQ(colour_to_rgb(6), 0x00FFFFu);
    EXPECT_EQ(colour_to_rgb(7), 0xFFFFFFu);
    EXPECT_EQ(colour_to_rgb(8), 0x000000u);
    EXPECT_EQ(colour_to_rgb(9), 0x000000u);
    EXPECT_EQ(colour_to_rgb(INT32_MAX), 0x000000u);
}

TEST(ColourNumbers, NegativeNumbersAreRgbValues) {
    EXPECT_EQ(colour_to_rgb(-255), 0x0000FFu);
    EXPECT_EQ(colour_to_rgb(-0x123456), 0x123456u);
    // Pixels hold 24 bits: higher bits of the value are dropped.
    EXPECT_EQ(colour_to_rgb(-0x1123456), 0x123456u);
    EXPECT_EQ(colour_to_rgb(INT32_MIN), 0x000000u);
}

TEST(ColourNumbers, PixelsMapBackToNumbers) {
    EXPECT_EQ(rgb_to_colour(0xFF00FF), 3);
    EXPECT_EQ(rgb_to_colour(0x000000), 0);
    EXPECT_EQ(rgb_to_colour(0x000080), -0x80);
    EXPECT_EQ(colour_to_rgb(rgb_to_colour(0x123456)), 0x123456u);
}

void color(RuntimeFixture& f, const char* args) {
    StatementContext ctx;
    ctx.args = args;
    color_statement(f.rt, ctx);
}

TEST(ColorStatement, TextColourAloneGivesABlackBackground) {
    RuntimeFixture f;
    f.rt.graphics.background_colour = kTransparent;
    color(f, "2");
    EXPECT_EQ(f.rt.graphics.text_colour, 0x0000FFu);
    EXPECT_EQ(f.rt.graphics.background_colour, 0);
}

TEST(ColorStatement, MinusOneMakesTheBackgroundTransparent) {
    RuntimeFixture f;
    color(f, "7,-1");
    EXPECT_EQ(f.rt.graphics.text_colour, 0xFFFFFFu);
    EXPECT_EQ(f.rt.graphics.background_colour, kTransparent);
}

TEST(ColorStatement, BothColoursByNumber) {
    RuntimeFixture f;
    color(f, "2,1");
    EXPECT_EQ(f.rt.graphics.text_colour, 0x0000FFu);
    EXPECT_EQ(f.rt.graphics.background_colour, 0xFF0000);
    color(f, "-255,9");
    EXPECT_EQ(f.rt.graphics.text_colour, 0x0000FFu);
    EXPECT_EQ(f.rt.graphics.background_colour, 0);
}

}  // namespace
}  // namespace quillon::testing
