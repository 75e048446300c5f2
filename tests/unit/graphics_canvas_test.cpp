// The raster on tiny canvases: clipping, block transfer with its raster operations and
// overlapping areas, and resizing.
#include <gtest/gtest.h>

#include "canvas_rows.h"
#include "graphics/canvas.h"
#include "host/limits.h"

namespace quillon::testing {
namespace {

Canvas numbered(int width, int height) {
    Canvas c(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            c.set_pixel(x, y, static_cast<uint32_t>(y * width + x + 1));
    return c;
}

TEST(Canvas, FillRectCoversUpToButNotIncludingItsFarEdges) {
    Canvas c(4, 3);
    c.fill_rect(1, 0, 3, 2, 7);
    EXPECT_EQ(rows(c), "0770/0770/0000/");
}

TEST(Canvas, FillRectClipsToTheCanvas) {
    Canvas c(3, 2);
    c.fill_rect(-5, -5, 2, 100, 4);
    EXPECT_EQ(rows(c), "440/440/");
    c.fill_rect(5, 0, 1, 2, 9);  // an empty rectangle
    EXPECT_EQ(rows(c), "440/440/");
    // Wholly right of a narrower canvas (a window surface smaller than the picture): no pixel
    // is indexed, not even one past the end (the sanitizer build checks every index).
    c.fill_rect(4, 1, 1024, 768, 9);
    c.fill_rect(0, 2, 3, 768, 9);
    EXPECT_EQ(rows(c), "440/440/");
}

TEST(Canvas, PixelsOutsideReadBlackAndIgnoreWrites) {
    Canvas c(2, 2);
    c.set_pixel(-1, 0, 5);
    c.set_pixel(2, 1, 5);
    EXPECT_EQ(c.pixel(-1, 0), 0u);
    EXPECT_EQ(c.pixel(0, 2), 0u);
    EXPECT_EQ(rows(c), "00/00/");
}

TEST(Canvas, BlitCopiesAndClipsBothSides) {
    Canvas source = numbered(3, 3);  // 123/456/789
    Canvas c(3, 3);
    c.blit(1, 1, 3, 3, source, 0, 0);
    EXPECT_EQ(rows(c), "000/012/045/");
    Canvas d(3, 3);
    d.blit(0, 0, 3, 3, source, -1, 1);  // source left of its edge: destination shifts right
    EXPECT_EQ(rows(d), "045/078/000/");
}

TEST(Canvas, BlitCombinesWithOrAndXor) {
    Canvas source(1, 1);
    source.set_pixel(0, 0, 0b0110);
    Canvas c(2, 1);
    c.fill(0b0011);
    c.blit(0, 0, 1, 1, source, 0, 0, RasterOp::Or);
    c.blit(1, 0, 1, 1, source, 0, 0, RasterOp::Xor);
    EXPECT_EQ(c.pixel(0, 0), 0b0111u);
    EXPECT_EQ(c.pixel(1, 0), 0b0101u);
}

TEST(Canvas, BlitWithinOneCanvasHandlesOverlap) {
    Canvas down = numbered(2, 3);  // 12/34/56
    down.blit(0, 1, 2, 2, down, 0, 0);
    EXPECT_EQ(rows(down), "12/12/34/");
    Canvas up = numbered(2, 3);
    up.blit(0, 0, 2, 2, up, 0, 1);
    EXPECT_EQ(rows(up), "34/56/56/");
    Canvas right = numbered(3, 1);  // 123
    right.blit(1, 0, 2, 1, right, 0, 0);
    EXPECT_EQ(rows(right), "112/");
}

TEST(Canvas, ResizeKeepsWhatStillFitsAndBlackensTheRest) {
    Canvas c = numbered(2, 2);  // 12/34
    c.resize(3, 1);
    EXPECT_EQ(rows(c), "120/");
    c.resize(-4, 2);
    EXPECT_EQ(c.width(), 0);
    EXPECT_EQ(rows(c), "//");
}

TEST(Canvas, ResizeIsBoundedByTheLargestCanvas) {
    Canvas c(2, 2);
    c.resize(2147483647, 5);
    EXPECT_EQ(c.width(), kCanvasSideMax);
    EXPECT_EQ(c.height(), 5);
    c.resize(40, 2147483647);
    EXPECT_EQ(c.height(), kCanvasSideMax);
}

}  // namespace
}  // namespace quillon::testing
