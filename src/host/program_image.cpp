// Reading and writing program images. An image has no magic number: it is found by reading
// lengths backwards from the end of the file, and accepted only when every length fits and
// the font numbers are thirteen integers, so a file without an image is refused soundly.
#include "host/program_image.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "host/shift_jis.h"

namespace quillon {
namespace {

constexpr int kFontNumberCount = 13;
constexpr long long kFontSizeMax = 32767;  // |height| and |width|, pixels
constexpr long long kFullTurn = 3600;      // escapement and orientation, tenths of a degree
constexpr long long kFontWeightMax = 1000;
enum FontField { kHeightField, kWidthField, kEscapementField, kOrientationField, kWeightField };

// Parses up to 13 integers the way "%d %d ..." does; returns how many were read.
int scan_font_numbers(std::string_view text, std::array<int, kFontNumberCount>& values) {
    std::size_t pos = 0;
    int count = 0;
    while (count < kFontNumberCount) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n'))
            ++pos;
        if (pos >= text.size()) break;
        std::size_t start = pos;
        if (text[pos] == '+' || text[pos] == '-') ++pos;
        if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') break;  // "%d" needs a digit
        long long value = 0;
        auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
        if (end == text.data() + pos) break;
        if (text[start] == '-') value = -value;
        if (ec == std::errc::result_out_of_range)
            value = text[start] == '-' ? INT32_MIN : INT32_MAX;
        values[count++] = static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(value)));
        pos = static_cast<std::size_t>(end - text.data());
    }
    return count;
}

// Thirteen integers separated by single blanks: what every image holds.
bool looks_like_font_numbers(std::string_view text) {
    int count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '-') ++pos;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos, ++digits;
        if (digits == 0 || digits > 10) return false;
        ++count;
        if (pos == text.size()) break;
        if (text[pos] != ' ') return false;
        ++pos;
        if (pos == text.size()) return false;
    }
    return count == kFontNumberCount;
}

}  // namespace

std::optional<ProgramImage> read_program_image(std::string_view file, std::string* why) {
    auto fail = [&](const char* reason) {
        if (why) *why = reason;
        return std::nullopt;
    };
    const auto byte = [&](std::size_t from_end) {
        return static_cast<uint8_t>(file[file.size() - from_end]);
    };
    if (file.size() < 2) return fail("the file is too short to hold a program image");
    std::size_t n = byte(2) * 256u + byte(1);
    if (file.size() < n + 3) return fail("the program length does not fit the file");
    std::size_t c = byte(n + 3);
    if (file.size() < n + 4 + c) return fail("the font numbers do not fit the file");
    std::size_t d = byte(n + 4 + c);
    if (file.size() < n + 4 + c + d) return fail("the face name does not fit the file");
    ProgramImage image;
    image.text = std::string(file.substr(file.size() - n - 2, n));
    image.font_numbers = std::string(file.substr(file.size() - n - 3 - c, c));
    image.face = std::string(file.substr(file.size() - n - 4 - c - d, d));
    if (!looks_like_font_numbers(image.font_numbers))
        return fail("the font numbers are not thirteen integers");
    return image;
}

std::optional<std::string> write_program_image(const ProgramImage& image) {
    if (image.face.size() > 255 || image.font_numbers.size() > 255 || image.text.size() > 65535)
        return std::nullopt;
    std::string out;
    out.reserve(image.face.size() + image.font_numbers.size() + image.text.size() + 4);
    out += image.face;
    out += static_cast<char>(image.face.size());
    out += image.font_numbers;
    out += static_cast<char>(image.font_numbers.size());
    out += image.text;
    out += static_cast<char>(image.text.size() >> 8);
    out += static_cast<char>(image.text.size() & 0xFF);
    return out;
}

std::string cut_face_name(std::string_view face) {
    // The record keeps its face name NUL-terminated: a NUL inside ends it.
    face = face.substr(0, face.find('\0'));
    std::size_t end = 0;
    while (end < face.size()) {
        std::size_t width = is_sjis_lead(static_cast<uint8_t>(face[end])) ? 2 : 1;
        if (end + width > kFaceNameMax || end + width > face.size()) break;
        end += width;
    }
    return std::string(face.substr(0, end));
}

long long clamp_font_number(int index, long long value) {
    switch (index) {
        case kHeightField:
        case kWidthField:
            return std::clamp(value, -kFontSizeMax, kFontSizeMax);
        case kEscapementField:
        case kOrientationField:
            return value % kFullTurn;
        case kWeightField:
            return std::clamp(value, 0LL, kFontWeightMax);
        default:
            return value;
    }
}

FontRecord parse_font_record(std::string_view face, std::string_view numbers) {
    std::array<int, kFontNumberCount> v{};
    scan_font_numbers(numbers, v);
    for (int k = kHeightField; k <= kWeightField; ++k)
        v[k] = static_cast<int>(clamp_font_number(k, v[k]));
    FontRecord record;
    record.height = v[0];
    record.width = v[1];
    record.escapement = v[2];
    record.orientation = v[3];
    record.weight = v[4];
    record.italic = static_cast<uint8_t>(v[5]);
    record.underline = static_cast<uint8_t>(v[6]);
    record.strike_out = static_cast<uint8_t>(v[7]);
    record.charset = static_cast<uint8_t>(v[8]);
    record.out_precision = static_cast<uint8_t>(v[9]);
    record.clip_precision = static_cast<uint8_t>(v[10]);
    record.quality = static_cast<uint8_t>(v[11]);
    record.pitch_and_family = static_cast<uint8_t>(v[12]);
    record.face = cut_face_name(face);
    return record;
}

}  // namespace quillon
