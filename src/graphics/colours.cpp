// Colour numbers: the eight palette colours, black above them, negated RGB values below zero.
#include "graphics/colours.h"

#include <array>

#include "expr/evaluator.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr uint32_t kRgbMask = 0xFFFFFF;  // pixels hold 24-bit colours

// Black, blue, red, magenta, green, cyan, yellow, white as 0x00BBGGRR.
constexpr std::array<uint32_t, 8> kPalette = {0x000000, 0xFF0000, 0x0000FF, 0xFF00FF,
                                              0x00FF00, 0xFFFF00, 0x00FFFF, 0xFFFFFF};

}  // namespace

// A negated value keeps its low 24 bits: pixels have no room for more.
uint32_t colour_to_rgb(int32_t colour) {
    if (colour < 0) return static_cast<uint32_t>(-static_cast<int64_t>(colour)) & kRgbMask;
    if (colour < 8) return kPalette[static_cast<std::size_t>(colour)];
    return kBlack;
}

int32_t rgb_to_colour(uint32_t rgb) {
    for (std::size_t k = 0; k < kPalette.size(); ++k)
        if (kPalette[k] == rgb) return static_cast<int32_t>(k);
    return -static_cast<int32_t>(rgb & kRgbMask);
}

void color_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    std::size_t comma = first_comma(args, false);
    int32_t background = kBlack;
    if (comma != std::string_view::npos) {
        int32_t value = eval_integer(rt, args.substr(comma + 1));
        if (rt.host.stop) return;
        background = value == -1 ? kTransparent : static_cast<int32_t>(colour_to_rgb(value));
        args = args.substr(0, comma);
    }
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        rt.graphics.background_colour = background;
    }
    uint32_t text = colour_to_rgb(eval_integer(rt, args));
    if (rt.host.stop) return;
    std::lock_guard lock(rt.graphics.display_mutex);
    rt.graphics.text_colour = text;
}

}  // namespace quillon
