// The screen and window statements: LOCATE's columns and padding, CLS's modes on the text and
// the picture, WIDTH's view limit, MSGBOX's text and title, WINDOW's edges and modes, BEEP.
#include "screen/screen_statements.h"

#include <gtest/gtest.h>

#include "host/limits.h"

#include <climits>
#include <mutex>
#include <string>

#include "graphics/picture.h"
#include "host/error_report.h"
#include "kavpack/tokenizer.h"
#include "screen_fixture.h"

namespace quillon::testing {
namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlue = 0xFF0000;

struct ScreenStatementsTest : ::testing::Test {
    ScreenFixture f;

    // Runs statements as a program, on the screen as it stands.
    void run(std::string_view source) {
        auto result = kavpack::tokenize_source(source);
        ASSERT_TRUE(result.image) << result.error.message;
        f.rt.host.program = result.image->text;
        f.rt.host.position = 0;
        f.rt.host.stop = false;
        f.rt.host.cleaned_up = false;
        f.run();
    }
    std::string error_box() const {
        for (const auto& box : f.platform.boxes)
            if (box.title == "Basic - Error") return box.text.substr(0, box.text.find("\n\n"));
        return "";
    }
    void paint_picture(uint32_t rgb) {
        std::lock_guard lock(f.rt.graphics.display_mutex);
        f.rt.graphics.picture.fill(rgb);
        repaint_window(f.rt);
    }
};

const std::string kPair = "\x01L";

TEST_F(ScreenStatementsTest, LocatePadsAnEmptyScreen) {
    run("LOCATE 3,2");
    EXPECT_EQ(f.text(), "\n\n" + kPair + kPair + kPair);
    EXPECT_EQ(f.cursor(), static_cast<int32_t>(f.text().size()));
}

TEST_F(ScreenStatementsTest, LocatePadsAShortLineWhereItEnds) {
    f.set_text("ab\ncd", 0);
    run("LOCATE 5,0");
    EXPECT_EQ(f.text(), "ab" + kPair + kPair + kPair + "\ncd");
    EXPECT_EQ(f.cursor(), 8);
}

TEST_F(ScreenStatementsTest, LocateOnAnExistingColumnOverwritesFromThere) {
    f.set_text("x\nabcdef\n", 0);
    run("LOCATE 2,1:PRINT \"XY\";");
    EXPECT_EQ(f.text(), "x\nabXYef\n");
}

TEST_F(ScreenStatementsTest, LocateCountsAPairAsOneColumnAndADoubleByteAsTwo) {
    f.set_text(kPair +
                   "b\x93\xFA"
                   "c",
               0);
    run("LOCATE 2,0");
    EXPECT_EQ(f.cursor(), 3);
    run("LOCATE 4,0");
    EXPECT_EQ(f.cursor(), 5);
}

TEST_F(ScreenStatementsTest, LocateTakesNegativePlacesAsZero) {
    f.set_text("ab\ncd", 4);
    run("LOCATE -3,-1");
    EXPECT_EQ(f.cursor(), 0);
    EXPECT_EQ(f.text(), "ab\ncd");
}

TEST_F(ScreenStatementsTest, LocateBeyondTheScreenTextIsRefused) {
    f.set_text("ab", 1);
    run("LOCATE 5000,0");
    EXPECT_EQ(error_box(), error_message(5, ""));
    EXPECT_EQ(f.text(), "ab");
    f.platform.boxes.clear();
    run("LOCATE 0,2147483647");
    EXPECT_EQ(error_box(), error_message(5, ""));
    EXPECT_EQ(f.text(), "ab");
}

TEST_F(ScreenStatementsTest, LocateAndWidthNeedTheirComma) {
    run("LOCATE 3");
    EXPECT_EQ(error_box(), error_message(1, ""));
    f.platform.boxes.clear();
    run("WIDTH 40");
    EXPECT_EQ(error_box(), error_message(1, ""));
    EXPECT_FALSE(f.rt.screen.view.on);
}

// The padding is a blank through which the picture shows; a printed blank has its background.
TEST_F(ScreenStatementsTest, LocatePaddingShowsThePicture) {
    paint_picture(kRed);
    run("COLOR 7,1:LOCATE 2,0:PRINT \"A\":PRINT \"  A\"");
    EXPECT_EQ(f.surface_pixel(4, 8), kRed);    // padding on line 0
    EXPECT_EQ(f.surface_pixel(16, 0), kBlue);  // the A's background
    EXPECT_EQ(f.surface_pixel(4, 24), kBlue);  // a printed blank on line 1
}

TEST_F(ScreenStatementsTest, ClsModes) {
    f.set_text("hello\n", 6);
    paint_picture(kRed);
    run("CLS 2");
    EXPECT_EQ(f.text(), "hello\n");
    EXPECT_EQ(f.rt.graphics.picture.pixel(100, 100), 0u);
    EXPECT_NE(f.surface_pixel(3, 8), 0u);  // the text drawn over the black picture

    paint_picture(kRed);
    run("CLS");
    EXPECT_EQ(f.text(), "");
    EXPECT_EQ(f.cursor(), 0);
    EXPECT_EQ(f.rt.graphics.picture.pixel(100, 100), kRed);
    EXPECT_EQ(f.surface_pixel(3, 8), kRed);

    f.set_text("x", 1);
    run("CLS 3");
    EXPECT_EQ(f.text(), "");
    EXPECT_EQ(f.rt.graphics.picture.pixel(100, 100), 0u);
    EXPECT_EQ(f.surface_pixel(3, 8), 0u);

    f.set_text("y", 1);
    paint_picture(kRed);
    run("CLS 4");
    EXPECT_EQ(f.text(), "y");
    EXPECT_EQ(f.rt.graphics.picture.pixel(100, 100), kRed);
}

TEST_F(ScreenStatementsTest, WidthSetsTheViewLimitInLettersOfA) {
    dispatch_statement(f.rt, "\x10\x80 40,10");
    EXPECT_TRUE(f.rt.screen.view.on);
    EXPECT_EQ(f.rt.screen.view.width, 320);
    EXPECT_EQ(f.rt.screen.view.height, 160);
    dispatch_statement(f.rt, "\x10\x80 2147483647,-5");
    EXPECT_EQ(f.rt.screen.view.width, INT_MAX);
    EXPECT_EQ(f.rt.screen.view.height, 0);
}

// Four letters and three lines: abcdef takes two rows, so a third line scrolls the first away.
TEST_F(ScreenStatementsTest, WidthWrapsAndScrollsTheText) {
    run("WIDTH 4,3:PRINT \"abcdef\":PRINT \"g\"");
    EXPECT_EQ(f.text(), "g\n");
}

TEST_F(ScreenStatementsTest, MsgboxShowsItsTextAndTitle) {
    run("MSGBOX \"a,b\"+CHR$(34), \"T\"+\"1\":MSGBOX \"only\"");
    ASSERT_EQ(f.platform.boxes.size(), 2u);
    EXPECT_EQ(f.platform.boxes[0].text,
              "a,b\x01"
              "D");  // escape pairs as they stand
    EXPECT_EQ(f.platform.boxes[0].title, "T1");
    EXPECT_EQ(f.platform.boxes[0].icon, MessageIcon::None);
    EXPECT_EQ(f.platform.boxes[1].text, "only");
    EXPECT_EQ(f.platform.boxes[1].title, "");
}

TEST_F(ScreenStatementsTest, WindowMovesAndKeepsNegativeEdges) {
    f.platform.rect = Rect{10, 20, 300, 200};
    run("WINDOW -1,-1,640,480");
    EXPECT_EQ(f.platform.rect.left, 10);
    EXPECT_EQ(f.platform.rect.top, 20);
    EXPECT_EQ(f.platform.rect.right, 640);
    EXPECT_EQ(f.platform.rect.bottom, 480);
    EXPECT_GE(f.platform.invalidations, 1);
    EXPECT_TRUE(f.platform.shows.empty());
    run("WINDOW 0,0,100,100,1:WINDOW 0,0,100,100,2:WINDOW 0,0,100,100,(1+2)");
    EXPECT_EQ(f.platform.shows,
              (std::vector<WindowShow>{WindowShow::Maximized, WindowShow::Minimized}));
}

TEST_F(ScreenStatementsTest, WindowSizesAreKeptWithinTheLargestCanvas) {
    run("WINDOW 0,0,2147483647,5");
    EXPECT_EQ(f.platform.rect.right, kCanvasSideMax);
    EXPECT_EQ(f.platform.rect.bottom, 5);
    run("WINDOW 100,0,32768,65535");  // each side fits, the area would not
    EXPECT_EQ(f.platform.rect.right - f.platform.rect.left, kCanvasSideMax);
    EXPECT_EQ(f.platform.rect.bottom, kCanvasAreaMax / kCanvasSideMax);
    f.platform.rect = Rect{-2147483647, 0, 10, 10};  // a current edge far off keeps no overflow
    run("WINDOW -1,0,2147483647,10");
    EXPECT_EQ(f.platform.rect.left, -kCanvasSideMax);
    EXPECT_EQ(f.platform.rect.right, 0);
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST_F(ScreenStatementsTest, AFarOffWindowKeepsTheSizeItAsked) {
    run("WINDOW 100000,0,100300,300");
    EXPECT_EQ(f.platform.rect.left, kCanvasSideMax);
    EXPECT_EQ(f.platform.rect.right - f.platform.rect.left, 300);
    EXPECT_EQ(f.platform.rect.bottom - f.platform.rect.top, 300);
    run("WINDOW 20000,20000,20300,20200");
    EXPECT_EQ(f.platform.rect.top, kCanvasSideMax);
    EXPECT_EQ(f.platform.rect.right - f.platform.rect.left, 300);
    EXPECT_EQ(f.platform.rect.bottom - f.platform.rect.top, 200);
}

TEST_F(ScreenStatementsTest, WindowWithFewerThanFourEdgesIsError1) {
    f.platform.rect = Rect{10, 20, 300, 200};
    run("WINDOW 1,2,3");
    EXPECT_EQ(error_box(), error_message(1, ""));
    EXPECT_EQ(f.platform.rect.right, 300);
}

TEST_F(ScreenStatementsTest, BeepSoundsTheBeep) {
    run("BEEP:BEEP");
    EXPECT_EQ(f.platform.beeps, 2);
}

}  // namespace
}  // namespace quillon::testing
