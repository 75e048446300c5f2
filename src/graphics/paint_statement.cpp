// PAINT: floods the picture around a point up to a border colour, then shows the picture in
// the window with the character screen over it.
#include "expr/evaluator.h"
#include "graphics/colours.h"
#include "graphics/flood_fill.h"
#include "graphics/graphics_arguments.h"
#include "graphics/graphics_statements.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

constexpr int32_t kNoBorder = -1;  // an RGB value of 1, which hardly ever occurs

}  // namespace

void paint_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    auto point = point_text(args, 0);
    if (!point) return report_error(rt, kSyntaxError);
    int32_t x = 0, y = 0;
    if (!eval_point(rt, *point, x, y)) return;
    std::string_view rest = after_separator(args.substr(point->end));
    bool more = false;
    const int32_t paint = truncate_to_int32(eval_numeric(rt, next_piece(rest, more)));
    if (rt.host.stop) return;
    const int32_t border = more ? truncate_to_int32(eval_numeric(rt, rest)) : kNoBorder;
    if (rt.host.stop) return;
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        flood_fill(rt.graphics.picture, x, y, colour_to_rgb(paint), colour_to_rgb(border));
        repaint_window(rt);
    }
    rt.platform.present();
}

}  // namespace quillon
