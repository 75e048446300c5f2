// GPRINT: one string drawn at a pixel position into the window and the picture, in a font made
// for this statement from the program's font and the statement's arguments (colour,
// background, height, width, face, ITALIC / BOLD / ALLSET). The text runs along the program
// font's escapement; each character is drawn by the font, as the character screen's are.
#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "graphics/colours.h"
#include "graphics/drawing.h"
#include "graphics/graphics_arguments.h"
#include "graphics/graphics_statements.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "host/shift_jis.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr int kProgramHeight = -1;  // a height of -1 keeps the program font's height
constexpr int kBoldWeight = 700;
constexpr uint8_t kDefaultCharset = 1;
constexpr std::size_t kFaceMax = 31;       // bytes of a face name
constexpr double kOffCanvasMargin = 4096;  // beyond this no glyph of any size reaches the canvas

struct GprintRequest {
    int32_t x = 0, y = 0;
    std::string text;  // raw Shift-JIS bytes
    uint32_t colour = kWhite;
    int32_t background = kTransparent;
    FontRecord font;
};

// A face name cut to its 31 bytes without splitting a double-byte character.
std::string face_name(std::string face) {
    std::size_t k = 0;
    while (k < face.size()) {
        std::size_t width = is_sjis_lead(static_cast<uint8_t>(face[k])) ? 2 : 1;
        if (k + width > kFaceMax) break;
        k += width;
    }
    face.resize(std::min(k, face.size()));
    return face;
}

// The pieces after the text: colour, background, height, width, face and style. Empty pieces
// keep their defaults. False after an error.
bool read_font_arguments(Runtime& rt, std::string_view rest, bool more, GprintRequest& r) {
    if (more) {
        std::string_view piece = next_piece(rest, more);
        if (!omitted(piece)) r.colour = colour_to_rgb(truncated_or(rt, piece, 0));
    }
    if (more && !rt.host.stop) {
        const int32_t v = truncated_or(rt, next_piece(rest, more), kTransparent);
        r.background = v == kTransparent ? kTransparent : static_cast<int32_t>(colour_to_rgb(v));
    }
    if (more && !rt.host.stop) {
        const int32_t v = truncated_or(rt, next_piece(rest, more), kProgramHeight);
        if (v != kProgramHeight) r.font.height = v;
    }
    if (more && !rt.host.stop) r.font.width = truncated_or(rt, next_piece(rest, more), 0);
    if (more && !rt.host.stop) {
        std::string face;
        std::string_view piece = next_piece(rest, more, true);
        if (!omitted(piece) && !eval_raw_string(rt, piece, face)) return false;
        if (!face.empty()) r.font.face = face_name(std::move(face));
    }
    if (rt.host.stop) return false;
    if (!more || omitted(rest)) return true;
    if (equals_ignoring_case(rest, "italic")) {
        r.font.italic = 1;
    } else if (equals_ignoring_case(rest, "bold")) {
        r.font.weight = kBoldWeight;
    } else if (equals_ignoring_case(rest, "allset")) {
        r.font.italic = 1;
        r.font.weight = kBoldWeight;
    } else {
        return report_error(rt, kSyntaxError), false;
    }
    return true;
}

// The program's font as GPRINT starts from it: its height, escapement, precisions, quality,
// pitch and face; default weight and width, no italic or lines, the default character set.
FontRecord statement_font(const FontRecord& program) {
    FontRecord f = program;
    f.width = 0;
    f.weight = 0;
    f.italic = f.underline = f.strike_out = 0;
    f.charset = kDefaultCharset;
    return f;
}

// True when the pen lies beyond the canvas (and the margin any glyph needs) on a side it is
// moving away from: no later character can reach the canvas.
bool gone_for_good(const Canvas& canvas, double px, double py, double ux, double uy) {
    return (px > canvas.width() + kOffCanvasMargin && ux >= 0) ||
           (px < -kOffCanvasMargin && ux <= 0) ||
           (py > canvas.height() + kOffCanvasMargin && uy >= 0) ||
           (py < -kOffCanvasMargin && uy <= 0);
}

// Draws the text character by character along the escapement, the top-left of the first
// cell at (x, y). Characters that cannot reach the canvas are neither drawn nor measured.
void draw_run(Canvas& canvas, const Font& font, const GprintRequest& r) {
    const double angle = r.font.escapement * std::numbers::pi / 1800;
    const double ux = std::cos(angle), uy = -std::sin(angle);
    double px = r.x, py = r.y;
    const std::string& text = r.text;
    for (std::size_t k = 0; k < text.size();) {
        if (gone_for_good(canvas, px, py, ux, uy)) return;
        unsigned code = static_cast<uint8_t>(text[k]);
        if (is_sjis_lead(static_cast<uint8_t>(code)) && k + 1 < text.size()) {
            code = code * 256 + static_cast<uint8_t>(text[k + 1]);
            k += 2;
        } else {
            k += 1;
        }
        const bool near = px > -kOffCanvasMargin && py > -kOffCanvasMargin &&
                          px < canvas.width() + kOffCanvasMargin &&
                          py < canvas.height() + kOffCanvasMargin;
        if (near)
            font.draw(canvas.view(), static_cast<int>(std::lround(px)),
                      static_cast<int>(std::lround(py)), code, r.colour, r.background);
        const double advance = font.advance(code);
        px += advance * ux;
        py += advance * uy;
    }
}

}  // namespace

void gprint_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view rest = ctx.args;
    bool more = false;
    std::string_view x_text = next_piece(rest, more);
    if (!more) return report_error(rt, kSyntaxError);
    std::string_view y_text = next_piece(rest, more);
    if (!more) return report_error(rt, kSyntaxError);
    GprintRequest r;
    if (!eval_point(rt, PointText{x_text, y_text, 0}, r.x, r.y)) return;
    if (!eval_raw_string(rt, next_piece(rest, more, true), r.text)) return;
    r.font = statement_font(rt.host.font);
    if (!read_font_arguments(rt, rest, more, r)) return;
    std::unique_ptr<Font> font = rt.platform.open_font(r.font);
    if (!font) return;
    draw_on_both(rt, [&](Canvas& c) { draw_run(c, *font, r); });
}

}  // namespace quillon
