// Source files as Shift-JIS lines: UTF-8 converted (Shift-JIS taken as it is when the file is
// not valid UTF-8), line ends of any convention, and refusal of bytes no program text may hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kavpack/tokenizer.h"

namespace quillon::kavpack {

// Splits `source` into Shift-JIS lines without their line ends. False, with `error` set to the
// line and column, for a NUL, a control character other than tab, a character without a
// Shift-JIS form or a malformed Shift-JIS byte.
bool read_source_lines(std::string_view source, std::vector<std::string>& lines,
                       TokenizeError& error);

}  // namespace quillon::kavpack
