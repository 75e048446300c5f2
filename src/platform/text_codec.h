// Shift-JIS (code page 932) <-> Unicode at the edges: glyphs, message boxes, terminal output,
// source files. Bytes that code page 932 leaves unmapped are never passed on silently.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The Unicode code point of one character: a single byte, or lead * 256 + trail. Returns
// U+FFFD for a code without a mapping.
char32_t sjis_to_unicode(unsigned code);

// Shift-JIS text to UTF-8; an unmapped byte or pair becomes U+FFFD.
std::string sjis_to_utf8(std::string_view sjis);

// UTF-8 text to Shift-JIS. Fails at the first character without a Shift-JIS form, or at
// invalid UTF-8; `bad_offset` then holds its byte offset in the input.
std::optional<std::string> utf8_to_sjis(std::string_view utf8, std::size_t* bad_offset = nullptr);

// True when the text is valid UTF-8.
bool is_valid_utf8(std::string_view text);

}  // namespace quillon
