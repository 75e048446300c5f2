// How graphics statements read their argument text: points written (x,y), pieces cut at
// commas outside brackets, and numbers truncated (or floored) to 32-bit integers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// A point's two expression texts and the index just after its closing bracket.
struct PointText {
    std::string_view x;
    std::string_view y;
    std::size_t end = 0;
};

// The point whose opening bracket is text[open] (not checked): x runs to the first comma
// outside brackets, y to the bracket that closes the point. Nothing when the comma or the
// closing bracket is missing.
std::optional<PointText> point_text(std::string_view text, std::size_t open = 0);

// Evaluates both coordinates, truncated; false after an evaluation error.
bool eval_point(Runtime& rt, const PointText& point, int32_t& x, int32_t& y);

// Cuts the next piece from `rest`: the text up to the first comma outside brackets (and
// outside double quotes when `respect_quotes`), which is consumed; the whole text when there is
// none. `more` says whether a comma ended the piece.
std::string_view next_piece(std::string_view& rest, bool& more, bool respect_quotes = false);

// The text after the separator that `text` starts with. Blanks and tabs in front of a comma
// go with it, so "(x,y) ,2" reads as "(x,y),2"; without a comma after them the first
// character stands for the separator, whatever it is.
std::string_view after_separator(std::string_view text);

// An argument left out: its piece is empty or holds only blanks and tabs.
bool omitted(std::string_view piece);

// A numeric piece truncated toward zero (or floored), or as it is; an omitted piece gives
// `fallback`. The result is meaningless after an error (rt.host.stop set).
int32_t truncated_or(Runtime& rt, std::string_view piece, int32_t fallback);
int32_t floored_or(Runtime& rt, std::string_view piece, int32_t fallback);
double number_or(Runtime& rt, std::string_view piece, double fallback);

// A string expression's raw bytes: its quotes dropped and its escape pairs decoded. False after
// an evaluation or decoding error.
bool eval_raw_string(Runtime& rt, std::string_view text, std::string& raw);

}  // namespace quillon
