// The program image appended to an executable: face name, its length byte, the thirteen font
// numbers as text, their length byte, the program text and its 16-bit big-endian length.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quillon {

inline constexpr std::size_t kFaceNameMax = 31;  // bytes of the font record's face name

struct ProgramImage {
    std::string face;          // Shift-JIS face name
    std::string font_numbers;  // thirteen decimal integers separated by single blanks
    std::string text;          // the tokenized program text
};

// Reads the image at the end of `file`. Returns nothing when the lengths read backwards do not
// fit the file (there is no image); `why` then says what did not fit.
std::optional<ProgramImage> read_program_image(std::string_view file, std::string* why = nullptr);

// The bytes of an image, ready to be appended to a file. Fails (nothing) when a field does not
// fit its length: face name or font numbers over 255 bytes, program text over 65535.
std::optional<std::string> write_program_image(const ProgramImage& image);

// The font record of an image: the thirteen numbers parsed as "%d %d ..." (missing ones stay 0,
// the first five clamped as clamp_font_number does, the last eight kept to their low byte)
// and the face name cut to 31 bytes at a character boundary.
FontRecord parse_font_record(std::string_view face, std::string_view numbers);

// Font number `index` (0 to 12, in the image's order) brought into the range the rasterizer
// can use: height and width within 32767 pixels either way (glyphs stop at 1024 anyway),
// escapement and orientation taken modulo a full turn of 3600 tenths of a degree, weight 0 to
// 1000. The last eight numbers are bytes and pass unchanged.
long long clamp_font_number(int index, long long value);

// The face name cut to at most 31 bytes without splitting a double-byte character.
std::string cut_face_name(std::string_view face);

}  // namespace quillon
