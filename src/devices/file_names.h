// Names of files and folders as programs write them: Shift-JIS bytes with backslashes, read
// one character at a time so that a trail byte 0x5C is never taken for a backslash.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// A name that holds a colon or a pair of backslashes, or starts with "/" (an absolute path
// here, as the program folder itself is), stays as it is; any other name is put after the
// program folder and a backslash.
void resolve_path(Runtime& rt, std::string& name);

// True when the last character of the name is a backslash.
bool ends_with_backslash(std::string_view name);

}  // namespace quillon
