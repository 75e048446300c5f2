// Writing to the character screen: overwriting, line ends, tabs, escape pairs, colours per
// byte, the transcript and the 8191-byte limit.
#include <gtest/gtest.h>

#include "host/limits.h"
#include "screen_fixture.h"

namespace quillon::testing {
namespace {

TEST(ScreenWrite, OverwritesFromTheCursor) {
    ScreenFixture f;
    f.set_text("xyz\nabc", 0);
    f.write("AB");
    EXPECT_EQ(f.text(), "ABz\nabc");
    EXPECT_EQ(f.cursor(), 2);
}

TEST(ScreenWrite, AtALineEndTheLineGrowsAndKeepsItsLineFeed) {
    ScreenFixture f;
    f.set_text("xyz\nabc", 3);
    f.write("AB");
    // The line feed moves right byte by byte; the pass after the last byte leaves one blank.
    EXPECT_EQ(f.text(), "xyzAB \nabc");
    EXPECT_EQ(f.cursor(), 5);
    f.write("C");
    EXPECT_EQ(f.text(), "xyzABC \nabc");
}

TEST(ScreenWrite, AppendsAtTheEndOfTheText) {
    ScreenFixture f;
    f.write("ab");
    f.write("cd");
    EXPECT_EQ(f.text(), "abcd");
    EXPECT_EQ(f.cursor(), 4);
}

TEST(ScreenWrite, LineFeedInTheMiddleMovesToTheNextLineWithoutErasing) {
    ScreenFixture f;
    f.set_text("abcdef\nghi", 0);
    f.write("X\n");
    EXPECT_EQ(f.text(), "Xbcdef\nghi");
    EXPECT_EQ(f.cursor(), 7);
}

TEST(ScreenWrite, LineFeedAtTheEndAppendsOne) {
    ScreenFixture f;
    f.set_text("abc", 3);
    f.write("X\n");
    EXPECT_EQ(f.text(), "abcX\n");
    EXPECT_EQ(f.cursor(), 5);
    f.write("\n");
    EXPECT_EQ(f.text(), "abcX\n\n");
    EXPECT_EQ(f.cursor(), 6);
}

TEST(ScreenWrite, LineFeedOnTheLastLineWithoutOneAppendsItAtTheEnd) {
    ScreenFixture f;
    f.set_text("abcdef", 1);
    f.write("X\n");
    EXPECT_EQ(f.text(), "aXcdef\n");
    EXPECT_EQ(f.cursor(), 7);
}

TEST(ScreenWrite, LineFeedsInsideTheTextAreWrittenAsBytes) {
    ScreenFixture f;
    f.write("a\nb\n");
    EXPECT_EQ(f.text(), "a\nb\n");
    f.set_text("xxxx\nyyyy", 0);
    f.write("a\nb");
    EXPECT_EQ(f.text(), "a\nbx\nyyyy");
    EXPECT_EQ(f.cursor(), 3);
}

TEST(ScreenWrite, CarriageReturnsBeforeLineFeedsVanish) {
    ScreenFixture f;
    f.write("a\r\nb\rc\r\n");
    EXPECT_EQ(f.text(), "a\nb\rc\n");
    EXPECT_EQ(f.platform.output, "a\nb\rc\n");
}

TEST(ScreenWrite, TabsFillToTheNextMultipleOfEightInTheLine) {
    ScreenFixture f;
    f.set_text("abc", 3);
    f.write("\tZ");
    EXPECT_EQ(f.text(), "abc     Z");  // column 3: five blanks
    f.set_text("abcdefgh", 8);
    f.write("\tZ");
    EXPECT_EQ(f.text(), "abcdefgh        Z");  // column 8: eight blanks
    f.set_text("xx\nab", 5);
    f.write("\t\t");
    EXPECT_EQ(f.text(), "xx\nab              ");  // counted from the line's start
}

TEST(ScreenWrite, TheTranscriptGetsTheExpandedText) {
    ScreenFixture f;
    f.write("ab\tc\r\n");
    EXPECT_EQ(f.platform.output, "ab      c\n");
}

TEST(ScreenWrite, APlainByteOverAnEscapePairReplacesTheWholePair) {
    ScreenFixture f;
    f.set_text("\x01LB", 0);
    f.write("A");
    EXPECT_EQ(f.text(), "AB");
}

TEST(ScreenWrite, AnEscapePairOverAPlainByteTakesOnePosition) {
    ScreenFixture f;
    f.set_text("ABC", 0);
    f.write(
        "\x01"
        "D");
    EXPECT_EQ(f.text(),
              "\x01"
              "DBC");
    EXPECT_EQ(f.cursor(), 2);
    f.set_text("\x01L\x01L", 0);
    f.write(
        "\x01"
        "D");
    EXPECT_EQ(f.text(),
              "\x01"
              "D\x01L");
}

TEST(ScreenWrite, TheLetterOfAWrittenPairIsNotTakenForANewPair) {
    ScreenFixture f;
    f.set_text("abc", 0);
    f.write("\x01\x01L");  // the byte 0x01, then the letter L: two positions
    EXPECT_EQ(f.text(), "\x01\x01Lc");
}

TEST(ScreenWrite, ANulEndsTheText) {
    ScreenFixture f;
    f.write(std::string_view("ab\0cd", 5));
    EXPECT_EQ(f.text(), "ab");
}

TEST(ScreenWrite, ACursorBeyondTheTextWritesNothing) {
    ScreenFixture f;
    f.set_text("ab", 5);
    f.write("X\n");
    EXPECT_EQ(f.text(), "ab");
    EXPECT_EQ(f.cursor(), 5);
    EXPECT_EQ(f.platform.output, "");
}

TEST(ScreenWrite, EachByteTakesTheCurrentColours) {
    ScreenFixture f;
    f.rt.graphics.text_colour = 0x0000FF;
    f.rt.graphics.background_colour = kTransparent;
    f.write("ab");
    f.rt.graphics.text_colour = 0xFF0000;
    f.rt.graphics.background_colour = 0x00FF00;
    f.write("\x82\xA0");
    const auto& text = f.rt.screen.text_colours;
    const auto& back = f.rt.screen.background_colours;
    EXPECT_EQ(text[0], 0x0000FFu);
    EXPECT_EQ(back[1], kTransparent);
    EXPECT_EQ(text[2], 0xFF0000u);
    EXPECT_EQ(text[3], 0xFF0000u);
    EXPECT_EQ(back[3], 0x00FF00);
}

TEST(ScreenWrite, ColoursMoveWithTheBytesWhenTheTextGrowsOrShrinks) {
    ScreenFixture f;
    f.set_text("xy\nz", 2);
    f.rt.screen.text_colours[3] = 0x123456;  // z
    f.write("Q");
    ASSERT_EQ(f.text(), "xyQ \nz");
    EXPECT_EQ(f.rt.screen.text_colours[5], 0x123456u);
    erase_screen_text(f.rt, 0, 2);
    EXPECT_EQ(f.rt.screen.text_colours[3], 0x123456u);
    EXPECT_EQ(f.text(), "Q \nz");
}

// The limit tests use a window without area, so that nothing scrolls the text away.
TEST(ScreenWrite, WritingStopsAtTheScreenLimit) {
    ScreenFixture f;
    f.rt.graphics.surface.resize(0, 0);
    f.set_text(std::string(kScreenTextMax - 1, 'a'), static_cast<int32_t>(kScreenTextMax - 1));
    f.write("BCD\n");
    EXPECT_EQ(f.text().size(), kScreenTextMax);
    EXPECT_EQ(f.text().back(), 'B');
    EXPECT_EQ(f.cursor(), static_cast<int32_t>(kScreenTextMax));
    EXPECT_EQ(f.platform.output, "B");
    f.write("E\n");
    EXPECT_EQ(f.text().size(), kScreenTextMax);
}

TEST(ScreenWrite, AFullScreenOverwritesButNeverGrows) {
    ScreenFixture f;
    f.rt.graphics.surface.resize(0, 0);
    std::string full = "ab\n" + std::string(kScreenTextMax - 3, 'c');
    f.set_text(full, 0);
    f.write("XY");  // the line feed under the cursor cannot move right
    EXPECT_EQ(f.text().substr(0, 3), "XY\n");
    EXPECT_EQ(f.cursor(), 2);
    f.write(
        "\x01"
        "D");  // a pair over a plain byte needs a byte more
    EXPECT_EQ(f.text().size(), kScreenTextMax);
    EXPECT_EQ(f.text().substr(0, 3), "XY\n");
    EXPECT_TRUE(insert_screen_text(f.rt, 0, ""));
    EXPECT_FALSE(insert_screen_text(f.rt, 0, "z"));
}

TEST(ScreenWrite, TextBeyondTheLimitIsCutBeforeAnythingIsWritten) {
    ScreenFixture f;
    f.rt.graphics.surface.resize(0, 0);
    f.set_text(std::string(kScreenTextMax + 100, 'a'), static_cast<int32_t>(kScreenTextMax + 50));
    f.write("b");
    EXPECT_EQ(f.text().size(), kScreenTextMax);
    EXPECT_EQ(f.text().find('b'), std::string::npos);
    EXPECT_FALSE(insert_screen_text(f.rt, kScreenTextMax + 1, ""));
}

TEST(ScreenWrite, ClearingEmptiesTheTextAndResetsTheCursor) {
    ScreenFixture f;
    f.write("abc\ndef");
    clear_screen_text(f.rt);
    EXPECT_EQ(f.text(), "");
    EXPECT_EQ(f.cursor(), 0);
}

TEST(ScreenText, EscapePairKinds) {
    EXPECT_EQ(escape_pair_kind("\x01\x01", 0), kPairEscape);
    EXPECT_EQ(escape_pair_kind("\x01L", 0), kPairBlank);
    EXPECT_EQ(escape_pair_kind("\x01"
                               "D",
                               0),
              kPairQuote);
    EXPECT_EQ(escape_pair_kind("\x01Z", 0), kPairNul);
    EXPECT_EQ(escape_pair_kind("\x01X", 0), kNoPair);
    EXPECT_EQ(escape_pair_kind("\x01", 0), kNoPair);
    EXPECT_EQ(escape_pair_kind("a\x01L", 0), kNoPair);
}

TEST(ScreenText, DecodingShowsEachPairAsItsByte) {
    EXPECT_EQ(decode_screen_pairs("a\x01L"
                                  "b\x01"
                                  "D\x01\x01\x01X"),
              std::string("a b\"\x01\x01X"));
    EXPECT_EQ(decode_screen_pairs(std::string_view("\x01Z", 2)), std::string(1, '\0'));
}

}  // namespace
}  // namespace quillon::testing
