// SCROLL: the character screen's text becomes part of the picture, the picture moves by
// (dx, dy) (positive values move it left and up), the window shows it, and the text is
// emptied down to its line breaks so that output goes on below the former last line. The strip
// the picture uncovers keeps its old pixels, as the block copy leaves them.
#include "expr/evaluator.h"
#include "graphics/graphics_statements.h"
#include "graphics/picture.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "host/text_scan.h"
#include "screen/char_screen.h"

namespace quillon {

void scroll_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    const std::size_t comma = first_comma(args, false);
    if (comma == std::string_view::npos) return report_error(rt, kSyntaxError);
    const int32_t dx = truncate_to_int32(eval_numeric(rt, args.substr(0, comma)));
    if (rt.host.stop) return;
    const int32_t dy = truncate_to_int32(eval_numeric(rt, args.substr(comma + 1)));
    if (rt.host.stop) return;
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        Canvas& picture = rt.graphics.picture;
        draw_screen_text_into(rt, picture);
        picture.blit(0, 0, picture.width(), picture.height(), picture, dx, dy);
        keep_only_line_breaks(rt);
        repaint_window(rt);
    }
    rt.platform.present();
}

}  // namespace quillon
