// Colour numbers and the COLOR statement.
#pragma once

#include <cstdint>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// 0..7 the eight palette colours, 8 and above black, a negative number the RGB value -n.
uint32_t colour_to_rgb(int32_t colour);
// The colour number of an RGB value: 0..7 for the palette colours, else -rgb.
int32_t rgb_to_colour(uint32_t rgb);

void color_statement(Runtime& rt, StatementContext& ctx);

}  // namespace quillon
