// The font of a program image as kavpack takes it: --font-face and --font on the command line,
// the same options on a `' kavpack:` line at the top of a source, and their defaults.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/program_image.h"
#include "kavpack/tokenizer.h"

namespace quillon::kavpack {

inline constexpr std::string_view kDefaultFaceUtf8 = "ＭＳ 明朝";
inline constexpr std::string_view kDefaultFace = "\x82l\x82r \x96\xBE\x92\xA9";  // Shift-JIS
inline constexpr std::string_view kDefaultFontNumbers = "-16 0 0 0 0 0 0 0 128 0 0 0 0";
inline constexpr std::size_t kFaceFieldMax = 255;  // the image's one-byte face length

// Thirteen integers in their canonical form (single blanks, no signs but '-', no leading
// zeros): the first five 32-bit, the last eight 0 to 255, as the font record holds them.
// Nothing, with `why`, for any other text.
std::optional<std::string> canonical_font_numbers(std::string_view text, std::string* why);

// A face name checked to fit the image: at most 255 bytes, no NUL.
bool check_face(std::string_view face_sjis, std::string* why);

// True for a source line that holds kavpack options: `'`, blanks, "kavpack:".
bool is_option_line(std::string_view line);

// The options of such a line (Shift-JIS): --font-face NAME and --font "NUMBERS", values quoted
// with double quotes when they hold blanks. Nothing, with `why`, for anything else.
std::optional<FontChoice> parse_option_line(std::string_view line, std::string* why);

// The option line (Shift-JIS) for the font fields of `image` that differ from the defaults,
// or an empty text when both are the defaults.
std::string option_line_for(const ProgramImage& image);

}  // namespace quillon::kavpack
