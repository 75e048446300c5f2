// The image table and its statements: PICLOAD loads a bitmap or PNG file as an image, GET
// copies a rectangle of the picture into a new image, PUT draws an image into the window and
// the picture with PSET (copy), OR or XOR. Images are numbered from 0 in the order they are
// made; the statement assigns the number to the variable it names.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "devices/file_names.h"
#include "expr/assignment.h"
#include "expr/value_text.h"
#include "graphics/drawing.h"
#include "graphics/graphics_arguments.h"
#include "graphics/graphics_statements.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr std::string_view kStepWord = "step(";

// The file forms ("#") do nothing; "@" is dropped; blanks outside quotes are removed. False
// when the statement is to do nothing.
bool block_arguments(std::string_view args, std::string& out) {
    if (!args.empty() && args[0] == '#') return false;
    if (!args.empty() && args[0] == '@') args.remove_prefix(1);
    strip_blanks(args, out);
    return true;
}

// A further image fits the table: at most 1024 a run (error 5), and the pixels of all of them
// within the memory they may take (error 15).
bool room_for_image(Runtime& rt, int64_t pixels) {
    if (rt.graphics.images.size() >= static_cast<std::size_t>(kImageSlots))
        return report_error(rt, kOutOfRange), false;
    if (pixels > kImageTablePixelsMax - rt.graphics.image_pixels)
        return report_error(rt, kInternalMemory), false;
    return true;
}

// "NAME=number" through the assignment statement, as a program would write it.
void assign_image_number(Runtime& rt, std::string_view name) {
    std::string text(name);
    text += '=';
    text += std::to_string(rt.graphics.images.size());
    assign(rt, text);
}

void add_image(Runtime& rt, Canvas image) {
    rt.graphics.image_pixels += int64_t{image.width()} * image.height();
    rt.graphics.images.push_back(std::move(image));
}

// The two corners of GET: (x1,y1)-(x2,y2) or (x1,y1)-STEP(dx,dy). Returns the index after the
// second point, or npos after an error.
std::size_t read_corners(Runtime& rt, std::string_view s, int32_t& x1, int32_t& y1, int32_t& x2,
                         int32_t& y2) {
    constexpr auto npos = std::string_view::npos;
    auto first = point_text(s, 0);
    if (!first || first->end >= s.size() || s[first->end] != '-')
        return report_error(rt, kSyntaxError), npos;
    const std::size_t at = first->end + 1;
    const bool relative = word_at(s, at, kStepWord);
    const std::size_t open = relative ? at + kStepWord.size() - 1 : at;
    if (!relative && (at >= s.size() || s[at] != '(')) return report_error(rt, kSyntaxError), npos;
    auto second = point_text(s, open);
    if (!second) return report_error(rt, kSyntaxError), npos;
    if (!eval_point(rt, *first, x1, y1) || !eval_point(rt, *second, x2, y2)) return npos;
    if (relative) {
        x2 = static_cast<int32_t>(static_cast<uint32_t>(x2) + static_cast<uint32_t>(x1));
        y2 = static_cast<int32_t>(static_cast<uint32_t>(y2) + static_cast<uint32_t>(y1));
    }
    return second->end;
}

std::optional<RasterOp> put_mode(std::string_view word) {
    if (equals_ignoring_case(word, "pset")) return RasterOp::Copy;
    if (equals_ignoring_case(word, "or")) return RasterOp::Or;
    if (equals_ignoring_case(word, "xor")) return RasterOp::Xor;
    return std::nullopt;
}

}  // namespace

// The variable holds the image's number before the file is read, so after error 8 it names the
// number the image would have had.
void picload_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    const std::size_t comma = first_comma(args, true);
    if (comma == std::string_view::npos) return report_error(rt, kSyntaxError);
    std::string name;
    if (!eval_raw_string(rt, args.substr(0, comma), name)) return;
    if (!room_for_image(rt, 0)) return;
    assign_image_number(rt, args.substr(comma + 1));
    if (rt.host.stop) return;
    auto path = device_file_path(rt, std::move(name));
    auto picture = path ? rt.platform.load_image(*path) : std::nullopt;
    if (!picture) return report_error(rt, kCannotOpen);
    Canvas image(picture->width, picture->height, std::move(picture->pixels));
    if (!room_for_image(rt, int64_t{image.width()} * image.height())) return;
    add_image(rt, std::move(image));
}

// Corners given the wrong way round take the same rectangle (the image is never of negative
// size); a rectangle without width or height makes an empty image, which PUT draws as nothing.
// Parts of the rectangle outside the picture are black.
void get_statement(Runtime& rt, StatementContext& ctx) {
    std::string s;
    if (!block_arguments(ctx.args, s)) return;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    const std::size_t after = read_corners(rt, s, x1, y1, x2, y2);
    if (after == std::string_view::npos) return;
    const int64_t left = std::min(x1, x2), top = std::min(y1, y2);
    const int64_t width = std::llabs(int64_t{x2} - x1), height = std::llabs(int64_t{y2} - y1);
    if (width * height > kImagePixelsMax || width > INT32_MAX || height > INT32_MAX)
        return report_error(rt, kOutOfRange);
    if (!room_for_image(rt, width * height)) return;
    assign_image_number(rt, std::string_view(s).substr(std::min(after + 1, s.size())));
    if (rt.host.stop) return;
    Canvas image(static_cast<int>(width), static_cast<int>(height));
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        const Canvas& picture = rt.graphics.picture;
        if (left >= -width && top >= -height && left <= picture.width() && top <= picture.height())
            image.blit(0, 0, image.width(), image.height(), picture, static_cast<int>(left),
                       static_cast<int>(top));
    }
    add_image(rt, std::move(image));
}

// An image number that was never made is error 5.
void put_statement(Runtime& rt, StatementContext& ctx) {
    std::string s;
    if (!block_arguments(ctx.args, s)) return;
    auto point = point_text(s, 0);
    if (!point) return report_error(rt, kSyntaxError);
    int32_t x = 0, y = 0;
    if (!eval_point(rt, *point, x, y)) return;
    std::string_view rest = std::string_view(s).substr(std::min(point->end + 1, s.size()));
    bool more = false;
    std::string_view number_text = next_piece(rest, more);
    const int32_t number = truncated_or(rt, number_text, 0);
    if (rt.host.stop) return;
    const auto mode = put_mode(rest);
    if (!mode) return report_error(rt, kSyntaxError);
    if (number < 0 || static_cast<std::size_t>(number) >= rt.graphics.images.size())
        return report_error(rt, kOutOfRange);
    const Canvas& image = rt.graphics.images[static_cast<std::size_t>(number)];
    draw_on_both(
        rt, [&](Canvas& c) { c.blit(x, y, image.width(), image.height(), image, 0, 0, *mode); });
}

void release_images(Runtime& rt) {
    rt.graphics.images.clear();
    rt.graphics.images.shrink_to_fit();
    rt.graphics.image_pixels = 0;
}

}  // namespace quillon
