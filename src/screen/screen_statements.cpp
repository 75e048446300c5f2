// LOCATE, CLS, WIDTH, MSGBOX, WINDOW and BEEP: small statements on the character screen, the
// picture and the window. Numeric arguments are evaluated and truncated toward zero; an
// argument ends at the first comma outside brackets.
#include "screen/screen_statements.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "expr/builtins.h"
#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "graphics/picture.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/text_scan.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

constexpr char kBlankPair[] = "\x01L";  // a blank through which the picture shows
constexpr std::size_t kBlankPairSize = 2;
constexpr int kWindowEdges = 4;
constexpr int kMaximize = 1;
constexpr int kMinimize = 2;

// Two numeric arguments "a, b"; false after error 1 (no comma) or an evaluation error.
bool two_integers(Runtime& rt, std::string_view args, int32_t& a, int32_t& b) {
    std::size_t comma = first_comma(args, false);
    if (comma == std::string_view::npos) return report_error(rt, kSyntaxError), false;
    a = eval_integer(rt, args.substr(0, comma));
    if (rt.host.stop) return false;
    b = eval_integer(rt, args.substr(comma + 1));
    return !rt.host.stop;
}

// A string expression's value without its quotes (escape pairs kept, as the box shows them).
std::string string_argument_text(Runtime& rt, std::string_view text) {
    std::string value;
    eval_string(rt, text, value);
    if (!is_quoted(value)) return {};
    return value.substr(1, value.size() - 2);
}

int clamp_to_int(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, 0, std::numeric_limits<int>::max()));
}

// CLS's mode: 1 for nothing or a leading "1", 2 or 3 for those digits, 0 for anything else.
int clear_mode(std::string_view args) {
    if (args.empty() || args[0] == '1') return 1;
    if (args[0] == '2') return 2;
    if (args[0] == '3') return 3;
    return 0;
}

// The window kept where one can be: its size (right - left, bottom - top) within the largest
// canvas (a huge size would allocate a surface without bound), then its position within a
// canvas side either way. The size is taken from the edges as given, so a far-off window
// keeps the size it asked for.
Rect bounded_window(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    int64_t width = std::clamp<int64_t>(right - left, 0, kCanvasSideMax);
    int64_t height = std::clamp<int64_t>(bottom - top, 0, kCanvasSideMax);
    left = std::clamp<int64_t>(left, -kCanvasSideMax, kCanvasSideMax);
    top = std::clamp<int64_t>(top, -kCanvasSideMax, kCanvasSideMax);
    if (width * height > kCanvasAreaMax) height = kCanvasAreaMax / width;
    return Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(left + width),
                static_cast<int>(top + height)};
}

}  // namespace

bool place_cursor(Runtime& rt, int32_t column, int32_t line) {
    std::string& text = rt.screen.text;
    const auto columns = static_cast<std::size_t>(std::max(column, 0));
    std::size_t pos = 0;
    std::size_t missing_lines = static_cast<std::size_t>(std::max(line, 0));
    for (; missing_lines > 0; --missing_lines) {
        std::size_t lf = text.find('\n', pos);
        if (lf == std::string::npos) break;
        pos = lf + 1;
    }
    if (missing_lines > 0) pos = text.size();
    std::size_t column_at = 0;  // walk along the line, an escape pair being one column
    while (missing_lines == 0 && column_at < columns && pos < text.size() && text[pos] != '\n') {
        pos += escape_pair_kind(text, pos) != kNoPair ? 2 : 1;
        ++column_at;
    }
    const std::size_t pairs = columns - column_at;
    const std::size_t room = kScreenTextMax - text.size();
    if (missing_lines > room || pairs > (room - missing_lines) / kBlankPairSize) return false;
    std::string padding(missing_lines, '\n');
    for (std::size_t k = 0; k < pairs; ++k)
        padding += kBlankPair;
    insert_screen_text(rt, pos, padding);
    rt.screen.cursor = static_cast<int32_t>(pos + padding.size());
    return true;
}

// A place the text cannot reach within its 8191 bytes is refused with error 5.
void locate_statement(Runtime& rt, StatementContext& ctx) {
    int32_t column = 0, line = 0;
    if (!two_integers(rt, ctx.args, column, line)) return;
    bool placed = false;
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        placed = place_cursor(rt, column, line);
    }
    if (!placed) report_error(rt, kOutOfRange);
}

void cls_statement(Runtime& rt, StatementContext& ctx) {
    const int mode = clear_mode(ctx.args);
    if (mode == 0) return;
    if (mode != 2) clear_screen_text(rt);
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        if (mode != 1) clear_picture(rt);
        copy_picture_to_surface(rt);
    }
    write_text(rt, "");  // lays out and draws all the text that remains over the picture
    if (mode != 2) rt.platform.caret_changed();
}

// The view limit in pixels: columns and lines of the letter A.
void width_statement(Runtime& rt, StatementContext& ctx) {
    int32_t columns = 0, lines = 0;
    if (!two_integers(rt, ctx.args, columns, lines)) return;
    std::lock_guard lock(rt.graphics.display_mutex);
    if (!rt.screen.font) return;
    const Font& font = *rt.screen.font;
    ViewLimit& view = rt.screen.view;
    view.width = clamp_to_int(int64_t{columns} * font.advance('A'));
    view.height = clamp_to_int(int64_t{lines} * font.metrics().height);
    view.on = true;
}

void msgbox_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    std::size_t comma = first_comma(args, true);
    std::string text = string_argument_text(rt, args.substr(0, comma));
    if (rt.host.stop) return;
    std::string title;
    if (comma != std::string_view::npos) title = string_argument_text(rt, args.substr(comma + 1));
    if (rt.host.stop) return;
    rt.platform.message_box(text, title, MessageIcon::None);
}

// Edges in screen pixels, a negative one keeping the window's own; mode 1 maximises and 2
// minimises. Fewer than four edges is refused with error 1.
void window_statement(Runtime& rt, StatementContext& ctx) {
    std::vector<std::string_view> items;
    for_each_argument(ctx.args, [&](std::string_view item) { items.push_back(item); });
    if (items.size() < kWindowEdges) return report_error(rt, kSyntaxError);
    int32_t values[kWindowEdges + 1] = {};
    for (std::size_t k = 0; k < kWindowEdges + 1 && k < items.size(); ++k) {
        values[k] = eval_integer(rt, items[k]);
        if (rt.host.stop) return;
    }
    const Rect now = rt.platform.window_rect();
    auto edge = [](int32_t value, int current) { return int64_t{value < 0 ? current : value}; };
    rt.platform.move_window(bounded_window(edge(values[0], now.left), edge(values[1], now.top),
                                           edge(values[2], now.right),
                                           edge(values[3], now.bottom)));
    rt.platform.invalidate();
    if (values[kWindowEdges] == kMaximize) rt.platform.show_window(WindowShow::Maximized);
    if (values[kWindowEdges] == kMinimize) rt.platform.show_window(WindowShow::Minimized);
}

void beep_statement(Runtime& rt, StatementContext&) {
    rt.platform.beep();
}

}  // namespace quillon
