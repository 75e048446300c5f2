// Figures and the flood fill on tiny canvases, pixel by pixel: lines without their end pixel,
// boxes covering left..right-1, ellipses, arcs and pies counter-clockwise, degenerate and
// far-away figures, and fills that need more waiting spans than a fixed queue would hold.
#include <gtest/gtest.h>

#include <string>

#include "canvas_rows.h"
#include "graphics/canvas.h"
#include "graphics/figures.h"
#include "graphics/flood_fill.h"

namespace quillon::testing {
namespace {

constexpr uint32_t kPen = 1;
constexpr uint32_t kBrush = 2;

std::string line(int w, int h, int x1, int y1, int x2, int y2) {
    Canvas c(w, h);
    draw_line(c, x1, y1, x2, y2, kPen);
    return rows(c);
}

TEST(Lines, StopBeforeTheirEndPixel) {
    EXPECT_EQ(line(5, 1, 0, 0, 3, 0), "11100/");
    EXPECT_EQ(line(5, 1, 3, 0, 0, 0), "01110/");
    EXPECT_EQ(line(1, 4, 0, 3, 0, 0), "0/1/1/1/");
    EXPECT_EQ(line(4, 4, 0, 0, 3, 3), "1000/0100/0010/0000/");
    EXPECT_EQ(line(2, 2, 1, 1, 1, 1), "00/00/");  // no length, no pixel
}

TEST(Lines, StepAlongTheLongerAxisRoundingHalfUp) {
    EXPECT_EQ(line(5, 3, 0, 0, 4, 2), "10000/01100/00010/");
    EXPECT_EQ(line(3, 5, 0, 0, 2, 4), "100/010/010/001/000/");
}

TEST(Lines, FarOutsideCostNothingAndKeepTheirCourse) {
    EXPECT_EQ(line(4, 3, -1000000000, 1, 1000000000, 1), "0000/1111/0000/");
    EXPECT_EQ(line(3, 3, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), "100/010/001/");
    EXPECT_EQ(line(3, 3, INT32_MAX, 0, INT32_MIN, 0), "111/000/000/");
    EXPECT_EQ(line(3, 3, -5, 10, 5, 10), "000/000/000/");  // below the canvas
    EXPECT_EQ(line(3, 3, 2, -1, -1, 2), "010/100/000/");   // corner cut
}

TEST(Rectangles, OutlineOnTheFirstAndLastColumnsAndRowsBrushInside) {
    Canvas c(5, 5);
    draw_rectangle(c, Box{1, 1, 4, 4}, kPen, kBrush);
    EXPECT_EQ(rows(c), "00000/01110/01210/01110/00000/");
    Canvas reversed(5, 5);
    draw_rectangle(reversed, Box{4, 4, 1, 1}, kPen, kBrush);
    EXPECT_EQ(rows(reversed), rows(c));
    Canvas hollow(4, 4);
    hollow.fill(7);
    draw_rectangle(hollow, Box{0, 0, 4, 3}, kPen, std::nullopt);
    EXPECT_EQ(rows(hollow), "1111/1771/1111/7777/");
}

TEST(Rectangles, DegenerateAndHugeBoxes) {
    Canvas c(3, 3);
    draw_rectangle(c, Box{1, 1, 1, 3}, kPen, kBrush);  // no width
    draw_rectangle(c, Box{0, 2, 3, 2}, kPen, kBrush);  // no height
    EXPECT_EQ(rows(c), "000/000/000/");
    draw_rectangle(c, Box{1, 1, 2, 2}, kPen, kBrush);  // one pixel: all pen
    EXPECT_EQ(rows(c), "000/010/000/");
    Canvas big(3, 3);
    draw_rectangle(big, Box{-4000000000, -1, 4000000000, 2}, kPen, kBrush);  // top row above
    EXPECT_EQ(rows(big), "222/111/000/");
    Canvas inside(3, 3);
    draw_rectangle(inside, Box{INT64_MIN, INT64_MIN, INT64_MAX, INT64_MAX}, kPen, kBrush);
    EXPECT_EQ(rows(inside), "222/222/222/");
}

TEST(Ellipses, OutlineAndBrushWithinTheBox) {
    Canvas c(4, 4);
    draw_ellipse(c, Box{0, 0, 4, 4}, kPen, kBrush);
    EXPECT_EQ(rows(c), "0110/1221/1221/0110/");
    Canvas circle(10, 10);
    draw_ellipse(circle, Box{1, 1, 9, 9}, kPen, std::nullopt);
    EXPECT_EQ(rows(circle),
              "0000000000/0001111000/0010000100/0100000010/0100000010/"
              "0100000010/0100000010/0010000100/0001111000/0000000000/");
}

TEST(Ellipses, WideTallTinyAndEmpty) {
    Canvas wide(8, 3);
    draw_ellipse(wide, Box{0, 0, 8, 3}, kPen, kBrush);
    EXPECT_EQ(rows(wide), "01111110/12222221/01111110/");
    Canvas tiny(3, 3);
    draw_ellipse(tiny, Box{1, 1, 2, 2}, kPen, kBrush);
    EXPECT_EQ(rows(tiny), "000/010/000/");
    draw_ellipse(tiny, Box{0, 0, 0, 3}, kPen, kBrush);
    EXPECT_EQ(rows(tiny), "000/010/000/");
    Canvas two(2, 2);
    draw_ellipse(two, Box{2, 2, 0, 0}, kPen, kBrush);  // reversed corners
    EXPECT_EQ(rows(two), "11/11/");
}

TEST(Ellipses, HugeEllipsesDrawOnlyTheirVisiblePart) {
    // A circle of radius 10^9 centred far to the left: its right edge is column 2.
    const int64_t r = 1000000000;
    Canvas c(6, 3);
    draw_ellipse(c, Box{-2 * r + 3, 1 - r, 3, 1 + r}, kPen, kBrush);
    EXPECT_EQ(rows(c), "221000/221000/221000/");
    Canvas outside(3, 3);
    draw_ellipse(outside, Box{-3 * r, -3 * r, -r, -r}, kPen, kBrush);
    EXPECT_EQ(rows(outside), "000/000/000/");
}

TEST(Arcs, RunCounterClockwiseFromStartToEnd) {
    Canvas full(8, 8), upper(8, 8), lower(8, 8);
    draw_ellipse(full, Box{0, 0, 8, 8}, kPen, std::nullopt);
    draw_arc(upper, Box{0, 0, 8, 8}, Point{8, 4}, Point{0, 4}, kPen);  // right to left via top
    draw_arc(lower, Box{0, 0, 8, 8}, Point{0, 4}, Point{8, 4}, kPen);  // left to right via bottom
    const std::string all = rows(full);
    EXPECT_EQ(rows(upper), all.substr(0, 36) + "00000000/00000000/00000000/00000000/");
    EXPECT_EQ(rows(lower), "00000000/00000000/00000000/00000000/" + all.substr(36));
    Canvas whole(8, 8);
    draw_arc(whole, Box{0, 0, 8, 8}, Point{0, 0}, Point{0, 0}, kPen);  // one radial: all
    EXPECT_EQ(rows(whole), all);
}

TEST(Pies, OutlineTheSectorAndFillIt) {
    Canvas c(8, 8);
    draw_pie(c, Box{0, 0, 8, 8}, Point{8, 4}, Point{4, 0}, kPen, kBrush);  // upper right
    EXPECT_EQ(rows(c), "00001100/00001210/00001221/00001111/00000000/00000000/00000000/00000000/");
    Canvas whole(4, 4);
    draw_pie(whole, Box{0, 0, 4, 4}, Point{9, 2}, Point{9, 2}, kPen, kBrush);
    EXPECT_EQ(rows(whole), "0110/1221/1211/0110/");  // the whole ellipse and one radius
}

TEST(FloodFill, FillsInsideTheBorderOnly) {
    Canvas c(5, 5);
    draw_rectangle(c, Box{0, 0, 5, 5}, 7, std::nullopt);
    c.set_pixel(2, 2, 7);
    flood_fill(c, 1, 1, 3, 7);
    EXPECT_EQ(rows(c), "77777/73337/73737/73337/77777/");
    flood_fill(c, 1, 1, 3, 7);  // already painted: nothing changes
    EXPECT_EQ(rows(c), "77777/73337/73737/73337/77777/");
    flood_fill(c, -1, 2, 5, 7);  // a seed outside paints nothing
    flood_fill(c, 2, 7, 5, 7);
    EXPECT_EQ(rows(c), "77777/73337/73737/73337/77777/");
}

TEST(FloodFill, ABorderThatNeverOccursLetsThePaintCoverEverything) {
    Canvas c(4, 3);
    draw_ellipse(c, Box{0, 0, 4, 3}, 7, std::nullopt);
    flood_fill(c, 0, 0, 2, 1);
    EXPECT_EQ(rows(c), "2222/2222/2222/");
}

// Pixels that already have the paint colour do not stop the fill, wherever a run starts: a
// line across the area and a column at the picture's edge.
TEST(FloodFill, PixelsOfThePaintColourDoNotStopIt) {
    Canvas c(6, 6);
    draw_rectangle(c, Box{0, 0, 6, 6}, 7, std::nullopt);
    draw_line(c, 1, 2, 5, 2, 3);
    c.set_pixel(2, 4, 3);
    flood_fill(c, 3, 3, 3, 7);
    EXPECT_EQ(rows(c), "777777/733337/733337/733337/733337/777777/");
    Canvas edge(4, 3);
    draw_line(edge, 0, 0, 0, 3, 2);
    flood_fill(edge, 2, 1, 2, 1);
    EXPECT_EQ(rows(edge), "2222/2222/2222/");
}

// Three thousand one-pixel pockets all wait in the queue at once; every one is filled.
TEST(FloodFill, EverySpanIsFilledHoweverManyWait) {
    const int pockets = 3000;
    Canvas c(2 * pockets, 3);
    for (int x = 0; x < 2 * pockets; x += 2) {
        c.set_pixel(x, 1, 7);
        c.set_pixel(x, 2, 7);
    }
    flood_fill(c, 1, 0, 4, 7);
    int unpainted = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < c.width(); ++x)
            unpainted += c.pixel(x, y) != 4 && c.pixel(x, y) != 7;
    EXPECT_EQ(unpainted, 0);
}

}  // namespace
}  // namespace quillon::testing
