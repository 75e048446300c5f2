// LINE, CIRCLE, PSET, PRESET and GMOVE: figures in colour numbers drawn into the window and the
// picture, and the last point that a LINE without a start point draws from.
#include <algorithm>
#include <cmath>
#include <string>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "graphics/colours.h"
#include "graphics/drawing.h"
#include "graphics/figures.h"
#include "graphics/graphics_arguments.h"
#include "graphics/graphics_statements.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr int32_t kDefaultColour = 7;
constexpr std::string_view kStepWord = "step(";
constexpr double kAngleMax = 628;   // hundredths of a radian: a whole turn
constexpr double kSquareHalf = 78;  // half-side of the square the angles are marked on

// ---- LINE ----

enum class LineMode { Line, Box, FilledBox };

struct LineFigure {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t colour = kDefaultColour;
    int32_t fill = kDefaultColour;
    LineMode mode = LineMode::Line;
};

// The end point after the "-": STEP( makes it relative to the start. Returns the index after
// its closing bracket, or npos after an error.
std::size_t read_end_point(Runtime& rt, std::string_view s, std::size_t at, LineFigure& f) {
    bool relative = word_at(s, at, kStepWord);
    std::size_t open = relative ? at + kStepWord.size() - 1 : at;
    if (!relative && (at >= s.size() || s[at] != '('))
        return report_error(rt, kSyntaxError), std::string_view::npos;
    auto point = point_text(s, open);
    if (!point) return report_error(rt, kSyntaxError), std::string_view::npos;
    if (!eval_point(rt, *point, f.x2, f.y2)) return std::string_view::npos;
    if (relative) {
        f.x2 = static_cast<int32_t>(static_cast<uint32_t>(f.x2) + static_cast<uint32_t>(f.x1));
        f.y2 = static_cast<int32_t>(static_cast<uint32_t>(f.y2) + static_cast<uint32_t>(f.y1));
    }
    return point->end;
}

// Colour, mode and fill colour after the end point; false after an error.
bool read_line_options(Runtime& rt, std::string_view rest, LineFigure& f) {
    bool more = false;
    f.colour = truncated_or(rt, next_piece(rest, more), kDefaultColour);
    if (rt.host.stop) return false;
    f.fill = f.colour;
    if (!more) return true;
    std::string_view mode = next_piece(rest, more);
    if (equals_ignoring_case(mode, "b"))
        f.mode = LineMode::Box;
    else if (equals_ignoring_case(mode, "bf"))
        f.mode = LineMode::FilledBox;
    else if (!omitted(mode))
        return report_error(rt, kSyntaxError), false;
    if (more) f.fill = truncated_or(rt, rest, f.colour);
    return !rt.host.stop;
}

void draw_line_figure(Canvas& c, const LineFigure& f) {
    const uint32_t pen = colour_to_rgb(f.colour);
    if (f.mode == LineMode::Line) return draw_line(c, f.x1, f.y1, f.x2, f.y2, pen);
    draw_line(c, f.x1, f.y1, f.x1, f.y2, pen);
    draw_line(c, f.x1, f.y2, f.x2, f.y2, pen);
    draw_line(c, f.x2, f.y2, f.x2, f.y1, pen);
    draw_line(c, f.x2, f.y1, f.x1, f.y1, pen);
    if (f.mode == LineMode::FilledBox)
        draw_rectangle(c, Box{f.x1, f.y1, f.x2, f.y2}, pen, colour_to_rgb(f.fill));
}

// ---- CIRCLE ----

struct CircleFigure {
    int32_t cx = 0, cy = 0;
    double radius = 0;
    int32_t colour = kDefaultColour;
    double start = 0, end = 0, aspect = 1;
    bool filled = false;
    int32_t fill = kDefaultColour;
};

// A radius as drawn: truncated, kept far beyond any canvas (NaN draws nothing).
int64_t drawn_radius(double r) {
    if (std::isnan(r)) return 0;
    const auto limit = static_cast<double>(kFigureCoordinateMax);
    return static_cast<int64_t>(std::trunc(std::clamp(r, -limit, limit)));
}

// The point on the square of half-side 78 around the centre that marks an angle given in
// hundredths of a radian (its sign ignored).
Point angle_point(const CircleFigure& f, double hundredths) {
    const double a = std::fabs(hundredths);
    double dx = kSquareHalf, dy = std::trunc(a);
    if (a > 549.5) {
        dx = kSquareHalf, dy = std::trunc(a - 549.5) - kSquareHalf;
    } else if (a > 392.5) {
        dx = std::trunc(a - 392.5) - kSquareHalf, dy = -kSquareHalf;
    } else if (a > 235.5) {
        dx = -kSquareHalf, dy = kSquareHalf - std::trunc(a - 235.5);
    } else if (a > 78.5) {
        dx = kSquareHalf - std::trunc(a - 78.5), dy = kSquareHalf;
    }
    return Point{f.cx + static_cast<int64_t>(dx), f.cy - static_cast<int64_t>(dy)};
}

// Pieces after the centre: radius, colour, start, end, aspect, then F and the fill colour.
// Blanks around F do not count: ", F , 4" fills in colour 4 as ",F,4" does.
bool read_circle_options(Runtime& rt, std::string_view rest, CircleFigure& f) {
    bool more = false;
    f.radius = number_or(rt, next_piece(rest, more), 0);
    if (more) f.colour = floored_or(rt, next_piece(rest, more), kDefaultColour);
    if (more && !rt.host.stop) f.start = number_or(rt, next_piece(rest, more), 0);
    if (more && !rt.host.stop) f.end = number_or(rt, next_piece(rest, more), 0);
    if (more && !rt.host.stop) f.aspect = number_or(rt, next_piece(rest, more), 1);
    if (rt.host.stop) return false;
    f.fill = f.colour;
    if (!more) return true;
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    if (rest.empty() || (rest[0] != 'f' && rest[0] != 'F')) return true;
    f.filled = true;
    f.fill = floored_or(rt, after_separator(rest.substr(1)), f.colour);
    return !rt.host.stop;
}

Box circle_box(const CircleFigure& f) {
    double rx = f.radius, ry = f.radius;
    if (f.aspect >= 1)
        rx = f.radius / f.aspect;
    else if (f.aspect < 1)
        ry = f.radius * f.aspect;
    const int64_t x = drawn_radius(rx), y = drawn_radius(ry);
    return Box{f.cx - x, f.cy - y, f.cx + x, f.cy + y};
}

// ---- PRESET and GMOVE ----

// "(x,y)" exactly: the text begins with "(" and ends with ")", x runs to the first comma
// outside brackets and y is the rest. False after an error.
bool enclosed_point(Runtime& rt, std::string_view args, int32_t& x, int32_t& y) {
    if (args.size() < 2 || args.front() != '(' || args.back() != ')')
        return report_error(rt, kSyntaxError), false;
    std::string_view inner = args.substr(1, args.size() - 2);
    const std::size_t comma = first_comma(inner, false);
    if (comma == std::string_view::npos) return report_error(rt, kSyntaxError), false;
    return eval_point(rt, PointText{inner.substr(0, comma), inner.substr(comma + 1), args.size()},
                      x, y);
}

}  // namespace

void line_figure(Runtime& rt, StatementContext& ctx) {
    std::string s;
    strip_blanks(ctx.args, s);
    LineFigure f;
    std::size_t dash = 0;
    if (s.empty() || s[0] != '-') {
        auto start = point_text(s, 0);
        if (!start) return report_error(rt, kSyntaxError);
        if (!eval_point(rt, *start, f.x1, f.y1)) return;
        rt.graphics.last_x = f.x1, rt.graphics.last_y = f.y1;
        dash = start->end;
        if (dash >= s.size() || s[dash] != '-') return report_error(rt, kSyntaxError);
    }
    f.x1 = rt.graphics.last_x, f.y1 = rt.graphics.last_y;
    const std::size_t after = read_end_point(rt, s, dash + 1, f);
    if (after == std::string_view::npos) return;
    if (after < s.size() && !read_line_options(rt, std::string_view(s).substr(after + 1), f))
        return;
    draw_on_both(rt, [&](Canvas& c) { draw_line_figure(c, f); });
    rt.graphics.last_x = f.x2, rt.graphics.last_y = f.y2;
}

void circle_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    CircleFigure f;
    auto centre = point_text(args, 0);
    if (!centre || centre->end >= args.size() || args[centre->end] != ',')
        return report_error(rt, kSyntaxError);
    if (!eval_point(rt, *centre, f.cx, f.cy)) return;
    if (!read_circle_options(rt, args.substr(centre->end + 1), f)) return;
    const Box box = circle_box(f);
    const uint32_t pen = colour_to_rgb(f.colour), brush = colour_to_rgb(f.fill);
    if (f.start == 0 && f.end == 0) {
        auto fill = f.filled ? std::optional<uint32_t>(brush) : std::nullopt;
        return draw_on_both(rt, [&](Canvas& c) { draw_ellipse(c, box, pen, fill); });
    }
    const double start = f.start * 100, end = f.end * 100;
    if (!(std::fabs(start) <= kAngleMax) || !(std::fabs(end) <= kAngleMax))
        return report_error(rt, kOutOfRange);
    const Point from = angle_point(f, start), to = angle_point(f, end);
    if (start < 0 || end < 0)
        draw_on_both(rt, [&](Canvas& c) { draw_pie(c, box, from, to, pen, brush); });
    else
        draw_on_both(rt, [&](Canvas& c) { draw_arc(c, box, from, to, pen); });
}

void pset_statement(Runtime& rt, StatementContext& ctx) {
    std::string s;
    strip_blanks(ctx.args, s);
    auto point = point_text(s, 0);
    if (!point) return report_error(rt, kSyntaxError);
    int32_t x = 0, y = 0;
    if (!eval_point(rt, *point, x, y)) return;
    int32_t colour = kDefaultColour;
    if (point->end < s.size())
        colour = floored_or(rt, std::string_view(s).substr(std::min(point->end + 1, s.size())),
                            kDefaultColour);
    if (rt.host.stop) return;
    const uint32_t rgb = colour_to_rgb(colour);
    draw_on_both(rt, [&](Canvas& c) { c.set_pixel(x, y, rgb); });
    rt.graphics.last_x = x, rt.graphics.last_y = y;
}

// A transparent background (-1) sets no pixel.
void preset_statement(Runtime& rt, StatementContext& ctx) {
    int32_t x = 0, y = 0;
    if (!enclosed_point(rt, ctx.args, x, y)) return;
    int32_t background = 0;
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        background = rt.graphics.background_colour;
    }
    if (background == kTransparent) return;
    const auto rgb = static_cast<uint32_t>(background);
    draw_on_both(rt, [&](Canvas& c) { c.set_pixel(x, y, rgb); });
}

void gmove_statement(Runtime& rt, StatementContext& ctx) {
    int32_t x = 0, y = 0;
    if (!enclosed_point(rt, ctx.args, x, y)) return;
    rt.graphics.last_x = x, rt.graphics.last_y = y;
}

}  // namespace quillon
