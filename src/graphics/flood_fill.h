// Flood fill of a canvas by spans: from a seed pixel, every pixel reachable through pixels that
// are not the border colour is painted, row run by row run.
#pragma once

#include <cstdint>

#include "graphics/canvas.h"

namespace quillon {

// Paints the area around (x, y) bounded by pixels of exactly `border` (and by the canvas's
// edges) with `paint`. Spans wait in first-in, first-out order in a queue that grows as
// needed, so every reachable span is filled; pixels that have the paint colour already do not
// stop the fill. A seed outside the canvas, or one in the paint colour, paints nothing.
void flood_fill(Canvas& canvas, int x, int y, uint32_t paint, uint32_t border);

}  // namespace quillon
