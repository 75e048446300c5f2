// Laying out and drawing the character screen with a box font of 8 and 16 pixel cells, 16
// high, in a 640 x 400 window: positions, wrapping, scrolling, the caret, escape pairs,
// colours and what a write draws.
#include <gtest/gtest.h>

#include "graphics/picture.h"
#include "screen_fixture.h"

namespace quillon::testing {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

std::string lines(int count) {
    std::string out;
    for (int k = 0; k < count; ++k)
        out += "L" + std::to_string(k) + "\n";
    return out;
}

TEST(ScreenLayout, CharactersFollowEachOtherAndLinesStack) {
    ScreenFixture f;
    f.write("ab\ncd");
    ASSERT_EQ(f.font->drawn.size(), 4u);
    EXPECT_EQ(f.font->drawn[1].x, 8);
    EXPECT_EQ(f.font->drawn[2].x, 0);
    EXPECT_EQ(f.font->drawn[2].y, 16);
    EXPECT_EQ(f.font->drawn[3].x, 8);
}

TEST(ScreenLayout, TheCaretStandsUnderTheCursorsCell) {
    ScreenFixture f;
    layout_and_draw(f.rt, 0, 0);
    EXPECT_EQ(f.rt.screen.caret_x, 0);
    EXPECT_EQ(f.rt.screen.caret_y, 16);
    f.set_text("ab\ncd", 4);
    layout_and_draw(f.rt, 0, 0);
    EXPECT_EQ(f.rt.screen.caret_x, 8);
    EXPECT_EQ(f.rt.screen.caret_y, 32);
}

TEST(ScreenLayout, TheInputMethodFollowsTheCaret) {
    ScreenFixture f;
    f.write("ab\ncd");
    EXPECT_EQ(f.platform.ime.x, 16);
    EXPECT_EQ(f.platform.ime.y, 16);  // caret y less the font's height
    EXPECT_EQ(f.platform.ime.height, 16);
}

TEST(ScreenLayout, TheBackEndHearsOfTheCaretOnlyWhileItMayShow) {
    ScreenFixture f;
    f.platform.caret_changes = 0;
    f.write("a");
    EXPECT_EQ(f.platform.caret_changes, 0);
    f.rt.screen.caret_flag = true;
    f.write("b");
    EXPECT_EQ(f.platform.caret_changes, 1);
}

TEST(ScreenLayout, LinesWrapBeforeACellWouldReachTheRightEdge) {
    ScreenFixture f;
    f.write(std::string(79, 'A') + "B");
    // After 79 cells x is 632, and 632 + 8 reaches the 640-pixel edge.
    EXPECT_EQ(f.font->drawn[78].x, 624);
    EXPECT_EQ(f.font->drawn[78].y, 0);
    EXPECT_EQ(f.font->drawn[79].x, 0);
    EXPECT_EQ(f.font->drawn[79].y, 16);
}

TEST(ScreenLayout, ADoubleWidthCharacterIsOneCellTwiceAsWide) {
    ScreenFixture f;
    f.rt.graphics.surface.resize(64, 400);
    f.write(
        "AAAAAA\x8A\xBF"
        "B");
    ASSERT_EQ(f.font->drawn.size(), 8u);
    EXPECT_EQ(f.font->drawn[6].code, 0x8ABFu);
    EXPECT_EQ(f.font->drawn[6].x, 48);  // drawn whole at the row's end
    EXPECT_EQ(f.font->drawn[7].x, 0);
    EXPECT_EQ(f.font->drawn[7].y, 16);
    EXPECT_EQ(f.surface_pixel(61, 8), kWhite);  // its right half is on the first row
}

TEST(ScreenLayout, ALeadByteWithoutATrailByteStandsAlone) {
    ScreenFixture f;
    f.write("\x8A\nB");
    ASSERT_EQ(f.font->drawn.size(), 2u);
    EXPECT_EQ(f.font->drawn[0].code, 0x8Au);
    EXPECT_EQ(f.font->drawn[1].y, 16);
}

TEST(ScreenLayout, TheViewLimitWrapsAndScrollsAtItsSize) {
    ScreenFixture f;
    f.rt.screen.view = ViewLimit{true, 40 * 8, 10 * 16};
    f.write(std::string(40, 'A') + "B");
    EXPECT_EQ(f.font->drawn[39].x, 312);
    EXPECT_EQ(f.font->drawn[40].x, 0);
    EXPECT_EQ(f.font->drawn[40].y, 16);

    clear_screen_text(f.rt);
    f.write(lines(9) + "L9");  // ten lines fit
    EXPECT_EQ(f.text().substr(0, 3), "L0\n");
    f.write("\n");  // the eleventh line starts: the first one goes
    EXPECT_EQ(f.text(), lines(10).substr(3));
}

TEST(ScreenLayout, TextTallerThanTheWindowLosesItsFirstLines) {
    ScreenFixture f;
    f.write(lines(24));  // 25 rows of 16 pixels fill 400
    EXPECT_EQ(f.text(), lines(24));
    f.write("L24\n");
    EXPECT_EQ(f.text(), lines(25).substr(3));
    EXPECT_EQ(f.cursor(), static_cast<int32_t>(f.text().size()));
}

TEST(ScreenLayout, ScrollingPutsTheCursorAtTheEnd) {
    ScreenFixture f;
    f.rt.screen.view = ViewLimit{true, 640, 2 * 16};
    f.set_text("a\nb\nc", 0);
    f.write("X");
    EXPECT_EQ(f.text(), "b\nc");
    EXPECT_EQ(f.cursor(), 3);
}

TEST(ScreenLayout, ALineWithoutLineFeedThatIsTooTallIsDroppedWhole) {
    ScreenFixture f;
    f.rt.screen.view = ViewLimit{true, 80, 16};
    f.write(std::string(25, 'A'));
    EXPECT_EQ(f.text(), "");
    EXPECT_EQ(f.cursor(), 0);
}

TEST(ScreenLayout, ANegativeViewHeightEmptiesTheScreenAndStops) {
    ScreenFixture f;
    f.rt.screen.view = ViewLimit{true, 80, -5};
    f.write("a\nb\n");
    EXPECT_EQ(f.text(), "");
}

TEST(ScreenLayout, AWindowWithoutAreaScrollsNothingAway) {
    ScreenFixture f;
    f.rt.graphics.surface.resize(0, 0);
    f.write(lines(40));
    EXPECT_EQ(f.text(), lines(40));
}

TEST(ScreenLayout, AScrollLeavesTheWindowToOneFullRepaint) {
    ScreenFixture f;
    f.rt.graphics.picture.fill(kGreen);
    f.platform.invalidations = 0;
    f.write("LONGLINE\n" + lines(24));
    EXPECT_EQ(f.text(), lines(24));
    EXPECT_EQ(f.platform.invalidations, 1);
    f.write("more\n");  // scrolls again; nothing is drawn until the repaint
    f.write("x");
    EXPECT_TRUE(f.font->drawn.empty());
    EXPECT_EQ(f.text(), lines(24).substr(3) + "more\nx");
    {
        std::lock_guard lock(f.rt.graphics.display_mutex);
        update_surface(f.rt);
    }
    EXPECT_EQ(f.surface_pixel(3, 5), kWhite);             // row 0 now holds L1
    EXPECT_EQ(f.surface_pixel(43, 5), kGreen);            // where LONGLINE had its sixth letter
    EXPECT_EQ(f.surface_pixel(3, 24 * 16 + 5), kWhite);   // the x on the last row
    EXPECT_EQ(f.surface_pixel(20, 24 * 16 + 5), kGreen);  // and nothing after it
    f.write("y");  // the window is up to date again: writes draw what they wrote
    EXPECT_EQ(f.drawn_codes(), "y");
}

TEST(ScreenLayout, PresentingTheSurfaceRepaintsItFirst) {
    ScreenFixture f;
    f.write(lines(30));
    uint32_t top_left = 0;
    present_surface(f.rt, [&](const PixelView& view) {
        EXPECT_EQ(view.width, 640);
        top_left = view.pixels[5 * view.width + 3];
    });
    EXPECT_EQ(top_left, kWhite);
    EXPECT_FALSE(f.rt.screen.surface_stale);
}

TEST(ScreenLayout, AWriteDrawsOnlyWhatItWrote) {
    ScreenFixture f;
    f.write("ab");
    f.write("cd");
    EXPECT_EQ(f.drawn_codes(), "cd");
    EXPECT_EQ(f.font->drawn[0].x, 16);
    f.write("\n");  // nothing written: everything is drawn again
    EXPECT_EQ(f.drawn_codes(), "abcd");
}

TEST(ScreenLayout, EscapePairsShowWhatTheyStandForInOnePosition) {
    ScreenFixture f;
    f.write(
        "A\x01"
        "DB\x01Z\x01\x01\x01X");
    ASSERT_EQ(f.font->drawn.size(), 7u);
    EXPECT_EQ(f.font->drawn[1].code, static_cast<unsigned>('"'));
    EXPECT_EQ(f.font->drawn[1].x, 8);
    EXPECT_EQ(f.font->drawn[2].x, 16);
    EXPECT_EQ(f.font->drawn[3].code, 0u);
    EXPECT_EQ(f.font->drawn[4].code, 1u);
    EXPECT_EQ(f.font->drawn[5].code, 1u);  // 0x01 X is no pair: two characters
    EXPECT_EQ(f.font->drawn[6].code, static_cast<unsigned>('X'));
    EXPECT_EQ(f.font->drawn[6].x, 48);
}

TEST(ScreenLayout, ABlankPairShowsThePictureThrough) {
    ScreenFixture f;
    f.rt.graphics.picture.fill(kGreen);
    f.rt.graphics.surface.fill(kRed);
    f.write("A\x01LB");
    EXPECT_EQ(f.drawn_codes(), "AB");
    EXPECT_EQ(f.surface_pixel(8, 0), kGreen);
    EXPECT_EQ(f.surface_pixel(15, 15), kGreen);
    EXPECT_EQ(f.surface_pixel(16, 0), kBlack);  // B's own cell
    EXPECT_EQ(f.surface_pixel(24, 0), kRed);
    EXPECT_EQ(f.font->drawn[1].x, 16);
    // Later writes elsewhere still let the picture through it.
    f.rt.graphics.surface.fill(kRed);
    f.write("C");
    EXPECT_EQ(f.surface_pixel(8, 0), kGreen);
}

TEST(ScreenLayout, EachCharacterIsDrawnInItsOwnColours) {
    ScreenFixture f;
    f.rt.graphics.text_colour = kRed;
    f.rt.graphics.background_colour = kTransparent;
    f.write("a");
    f.rt.graphics.text_colour = kGreen;
    f.rt.graphics.background_colour = 0xFF0000;
    f.write("b");
    f.write("\n");
    ASSERT_EQ(f.font->drawn.size(), 2u);
    EXPECT_EQ(f.font->drawn[0].colour, kRed);
    EXPECT_EQ(f.font->drawn[0].background, kTransparent);
    EXPECT_EQ(f.font->drawn[1].colour, kGreen);
    EXPECT_EQ(f.font->drawn[1].background, 0xFF0000);
    EXPECT_EQ(f.surface_pixel(8, 0), 0xFF0000u);  // opaque background around the glyph
}

TEST(ScreenLayout, RepaintPutsThePictureUnderTheWholeText) {
    ScreenFixture f;
    f.write("ab");
    f.rt.graphics.picture.fill(kGreen);
    f.font->drawn.clear();
    {
        std::lock_guard lock(f.rt.graphics.display_mutex);
        repaint_window(f.rt);
    }
    EXPECT_EQ(f.drawn_codes(), "ab");
    EXPECT_EQ(f.surface_pixel(3, 5), kWhite);
    EXPECT_EQ(f.surface_pixel(0, 0), kBlack);  // the cell's opaque black background
    EXPECT_EQ(f.surface_pixel(20, 5), kGreen);
    EXPECT_EQ(f.surface_pixel(639, 399), kGreen);
}

TEST(ScreenLayout, TextMergedIntoThePictureKeepsItsPlaces) {
    ScreenFixture f;
    f.write("a\nb");
    {
        std::lock_guard lock(f.rt.graphics.display_mutex);
        draw_screen_text_into(f.rt, f.rt.graphics.picture);
    }
    EXPECT_EQ(f.rt.graphics.picture.pixel(3, 5), kWhite);
    EXPECT_EQ(f.rt.graphics.picture.pixel(3, 21), kWhite);
    EXPECT_EQ(f.text(), "a\nb");
}

TEST(ScreenLayout, TheLineHeightComesFromTheFont) {
    ScreenFixture f;
    f.use_font(std::make_unique<BoxFont>(20));
    f.write("a\nb");
    EXPECT_EQ(f.rt.screen.caret_y, 40);
    f.write(lines(19));  // 21 rows of 20 pixels exceed 400; of 16 they would not
    EXPECT_EQ(f.text().substr(0, 4), "bL0\n");
}

TEST(PictureSetUp, PictureAtTheDisplaySizeSurfaceAtTheClientSize) {
    ScreenFixture f;
    f.platform.display = {320, 200};
    f.platform.client = {160, 100};
    f.rt.screen.cursor = 5;
    create_picture(f.rt);
    EXPECT_EQ(f.rt.graphics.picture.width(), 320);
    EXPECT_EQ(f.rt.graphics.picture.height(), 200);
    EXPECT_EQ(f.rt.graphics.surface.width(), 160);
    EXPECT_EQ(f.rt.graphics.surface.height(), 100);
    EXPECT_EQ(f.rt.screen.cursor, 0);
    resize_surface(f.rt, 200, 120);
    EXPECT_EQ(f.rt.graphics.surface.width(), 200);
    EXPECT_EQ(f.rt.graphics.picture.width(), 320);
}

TEST(PictureSetUp, ClearingTheGraphicsBlackensThePictureAndRedrawsTheText) {
    ScreenFixture f;
    f.write("ab");
    f.rt.graphics.picture.fill(kGreen);
    f.rt.graphics.surface.fill(kGreen);
    clear_graphics_screen(f.rt);
    EXPECT_EQ(f.rt.graphics.picture.pixel(100, 100), kBlack);
    EXPECT_EQ(f.surface_pixel(100, 100), kBlack);
    EXPECT_EQ(f.surface_pixel(3, 5), kWhite);
    EXPECT_EQ(f.text(), "ab");
}

TEST(PictureSetUp, AWindowLargerThanThePictureShowsBlackBeyondIt) {
    ScreenFixture f;
    f.rt.graphics.picture = Canvas(4, 4);
    f.rt.graphics.picture.fill(kGreen);
    f.rt.graphics.surface = Canvas(8, 6);
    f.rt.graphics.surface.fill(kRed);
    copy_picture_to_surface(f.rt);
    EXPECT_EQ(f.surface_pixel(3, 3), kGreen);
    EXPECT_EQ(f.surface_pixel(4, 0), kBlack);
    EXPECT_EQ(f.surface_pixel(0, 4), kBlack);
    EXPECT_EQ(f.surface_pixel(7, 5), kBlack);
}

}  // namespace
}  // namespace quillon::testing
