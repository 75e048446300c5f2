// Decoding of source files. Columns in messages count characters, not bytes, from 1.
#include "kavpack/source_lines.h"

#include <cstdint>
#include <cstdio>

#include "host/shift_jis.h"
#include "platform/text_codec.h"

namespace quillon::kavpack {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string hex_code(const char* format, unsigned value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The code point of the (valid) UTF-8 sequence at `pos`.
char32_t utf8_code_point(std::string_view text, std::size_t pos) {
    auto b = [&](std::size_t i) { return static_cast<uint8_t>(text[pos + i]); };
    if (b(0) < 0x80) return b(0);
    if (b(0) < 0xE0) return (b(0) & 0x1Fu) << 6 | (b(1) & 0x3Fu);
    if (b(0) < 0xF0) return (b(0) & 0x0Fu) << 12 | (b(1) & 0x3Fu) << 6 | (b(2) & 0x3Fu);
    return (b(0) & 0x07u) << 18 | (b(1) & 0x3Fu) << 12 | (b(2) & 0x3Fu) << 6 | (b(3) & 0x3Fu);
}

bool is_utf8_continuation(char c) {
    return (static_cast<uint8_t>(c) & 0xC0) == 0x80;
}

// NUL anywhere, and the other control characters but tab outside string literals: the run
// loop and the value text give them meanings of their own (statement tokens, operator tokens,
// escapes). Inside a literal they are kept, as classic programs hold BEL there and an image
// can carry them.
std::string control_message(uint8_t byte, int column) {
    if (byte == 0) return "NUL character at column " + std::to_string(column);
    return "control character " + hex_code("U+%04X", byte) + " outside a string at column " +
           std::to_string(column);
}

bool is_refused_control(uint8_t byte, bool quoted) {
    if (byte == 0) return true;
    return !quoted && ((byte < 0x20 && byte != '\t') || byte == 0x7F);
}

bool utf8_line(std::string_view line, std::string& out, std::string& why) {
    int column = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (is_utf8_continuation(line[i])) continue;
        ++column;
        if (line[i] == '"') quoted = !quoted;
        if (is_refused_control(static_cast<uint8_t>(line[i]), quoted)) {
            why = control_message(static_cast<uint8_t>(line[i]), column);
            return false;
        }
    }
    std::size_t bad = 0;
    auto converted = utf8_to_sjis(line, &bad);
    if (converted) {
        out = std::move(*converted);
        return true;
    }
    int bad_column = 1;
    for (std::size_t i = 0; i < bad; ++i)
        if (!is_utf8_continuation(line[i])) ++bad_column;
    why = "character " + hex_code("U+%04X", utf8_code_point(line, bad)) + " at column " +
          std::to_string(bad_column) + " has no Shift-JIS form";
    return false;
}

bool is_sjis_trail(uint8_t byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

bool sjis_line(std::string_view line, std::string& out, std::string& why) {
    int column = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        ++column;
        uint8_t byte = static_cast<uint8_t>(line[i]);
        if (byte == '"') quoted = !quoted;
        if (is_refused_control(byte, quoted)) {
            why = control_message(byte, column);
            return false;
        }
        if (is_sjis_lead(byte)) {
            if (i + 1 < line.size() && is_sjis_trail(static_cast<uint8_t>(line[i + 1]))) {
                ++i;
                continue;
            }
        } else if (byte < 0xFD) {
            continue;
        }
        why = "byte " + hex_code("0x%02X", byte) + " at column " + std::to_string(column) +
              " is not a Shift-JIS character";
        return false;
    }
    out = std::string(line);
    return true;
}

// Cuts the text at LF, CR LF or CR.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

bool read_source_lines(std::string_view source, std::vector<std::string>& lines,
                       TokenizeError& error) {
    if (source.starts_with(kUtf8Bom)) source.remove_prefix(kUtf8Bom.size());
    const bool utf8 = is_valid_utf8(source);
    lines.clear();
    int number = 0;
    for (std::string_view raw : split_lines(source)) {
        ++number;
        std::string line;
        std::string why;
        if (!(utf8 ? utf8_line(raw, line, why) : sjis_line(raw, line, why))) {
            error = {number, why};
            return false;
        }
        lines.push_back(std::move(line));
    }
    return true;
}

}  // namespace quillon::kavpack
