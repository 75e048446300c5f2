// Argument reading shared by the graphics statements.
#include "graphics/graphics_arguments.h"

#include <algorithm>
#include <cmath>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

// The first ")" that closes more brackets than it opened after `from`; npos when none does.
std::size_t unmatched_close(std::string_view text, std::size_t from) {
    int depth = 0;
    for (std::size_t k = from; k < text.size(); ++k) {
        if (text[k] == '(') ++depth;
        if (text[k] == ')' && --depth < 0) return k;
    }
    return std::string_view::npos;
}

int32_t floor_to_int32(double value) {
    return truncate_to_int32(std::floor(value));
}

}  // namespace

std::optional<PointText> point_text(std::string_view text, std::size_t open) {
    if (open >= text.size()) return std::nullopt;
    const std::size_t x_start = open + 1;
    const std::size_t comma = first_comma(text.substr(x_start), false);
    if (comma == std::string_view::npos) return std::nullopt;
    const std::size_t y_start = x_start + comma + 1;
    const std::size_t close = unmatched_close(text, y_start);
    if (close == std::string_view::npos) return std::nullopt;
    return PointText{text.substr(x_start, comma), text.substr(y_start, close - y_start), close + 1};
}

bool eval_point(Runtime& rt, const PointText& point, int32_t& x, int32_t& y) {
    x = truncate_to_int32(eval_numeric(rt, point.x));
    if (rt.host.stop) return false;
    y = truncate_to_int32(eval_numeric(rt, point.y));
    return !rt.host.stop;
}

std::string_view next_piece(std::string_view& rest, bool& more, bool respect_quotes) {
    const std::size_t comma = first_comma(rest, respect_quotes);
    more = comma != std::string_view::npos;
    std::string_view piece = rest.substr(0, comma);
    rest = more ? rest.substr(comma + 1) : std::string_view{};
    return piece;
}

std::string_view after_separator(std::string_view text) {
    std::size_t k = 0;
    while (k < text.size() && is_blank(text[k]))
        ++k;
    if (k < text.size() && text[k] == ',') return text.substr(k + 1);
    return text.substr(std::min<std::size_t>(1, text.size()));
}

bool omitted(std::string_view piece) {
    return piece.find_first_not_of(" \t") == std::string_view::npos;
}

int32_t truncated_or(Runtime& rt, std::string_view piece, int32_t fallback) {
    return omitted(piece) ? fallback : truncate_to_int32(eval_numeric(rt, piece));
}

int32_t floored_or(Runtime& rt, std::string_view piece, int32_t fallback) {
    return omitted(piece) ? fallback : floor_to_int32(eval_numeric(rt, piece));
}

double number_or(Runtime& rt, std::string_view piece, double fallback) {
    return omitted(piece) ? fallback : eval_numeric(rt, piece);
}

bool eval_raw_string(Runtime& rt, std::string_view text, std::string& raw) {
    std::string value;
    eval_string(rt, text, value);
    if (rt.host.stop) return false;
    if (!is_quoted(value)) return true;
    return decode_string(rt, std::string_view(value).substr(1, value.size() - 2), raw);
}

}  // namespace quillon
