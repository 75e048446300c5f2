// Figures drawn into a canvas with the classic semantics: lines without their end pixel;
// rectangles and ellipses of a box (left, top) - (right, bottom) covering left..right-1 and
// top..bottom-1, outlined with a one-pixel pen and filled with a brush; arcs and pies running
// counter-clockwise from the start radial to the end radial. Every figure is clipped before a
// pixel is touched, so corners far outside the canvas cost no more than the visible part.
#pragma once

#include <cstdint>
#include <optional>

#include "graphics/canvas.h"

namespace quillon {

// A figure's box. 64-bit: corners such as centre ± radius need not fit 32 bits. A box given
// the wrong way round is normalised, as the classic primitives do.
struct Box {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
};

struct Point {
    int64_t x = 0;
    int64_t y = 0;
};

// Sides of a box beyond this are cut to it: far outside any canvas, small enough that the
// figure arithmetic cannot overflow.
inline constexpr int64_t kFigureCoordinateMax = int64_t{1} << 40;

// From (x1, y1) towards (x2, y2), the end pixel not set; nothing when both points are one.
void draw_line(Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t pen);

// The outline on columns left and right-1 and rows top and bottom-1; the brush inside.
void draw_rectangle(Canvas& canvas, Box box, uint32_t pen, std::optional<uint32_t> brush);

// The ellipse inscribed in the box: its outline in the pen, its inside in the brush.
void draw_ellipse(Canvas& canvas, Box box, uint32_t pen, std::optional<uint32_t> brush);

// The part of the ellipse's outline from the radial through `start` counter-clockwise to the
// radial through `end`; radials that coincide give the whole outline.
void draw_arc(Canvas& canvas, Box box, Point start, Point end, uint32_t pen);

// The arc plus the two radii, the sector between them filled with the brush.
void draw_pie(Canvas& canvas, Box box, Point start, Point end, uint32_t pen, uint32_t brush);

}  // namespace quillon
