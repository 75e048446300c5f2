// The tokenizer: BASIC source (UTF-8, or Shift-JIS when not valid UTF-8) to the program text of
// an image, with statement keywords as two-byte tokens and operator words as 0x01 pairs.
// kavpack packs its result; kavrun runs .bas files through it in memory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/program_image.h"

namespace quillon::kavpack {

// Font fields chosen outside the source (kavpack's --font-face and --font). Each one given
// replaces the source's own `' kavpack:` option line and the default.
struct FontChoice {
    std::optional<std::string> face;     // Shift-JIS face name
    std::optional<std::string> numbers;  // thirteen integers, canonical (see font_options.h)
};

// Why a source cannot be packed: its 1-based source line and an English message.
struct TokenizeError {
    int line = 0;
    std::string message;
    // "SOURCE:LINE: message", the form kavpack and kavrun print on standard error.
    std::string describe(std::string_view source_name) const;
};

struct TokenizeResult {
    std::optional<ProgramImage> image;  // program text and font; empty when `error` applies
    TokenizeError error;
};

// Tokenizes a whole source file. The program text begins with the empty line "1 " (left out
// when the first line is numbered 0), holds one line per source line, each ended by a line
// feed, and ends with an empty line, as images made by the original system do.
TokenizeResult tokenize_source(std::string_view source, const FontChoice& choice = {});

}  // namespace quillon::kavpack
