// One program line's statements tokenized: statement keywords where a statement starts,
// operator words as operator tokens, comments dropped, and the blanks that handlers cannot
// skip dropped in front of the words they compare.
#pragma once

#include <string>
#include <string_view>

namespace quillon::kavpack {

// The statements of a source line (Shift-JIS, after its line number) as program text, without
// the line number and without trailing blanks.
std::string tokenize_statements(std::string_view source);

}  // namespace quillon::kavpack
