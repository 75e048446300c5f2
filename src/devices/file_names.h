// Names of files and folders as programs write them: Shift-JIS bytes with backslashes, read
// one character at a time so that a trail byte 0x5C is never taken for a backslash.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// A name that holds a colon or a pair of backslashes, or starts with "/" (an absolute path
// here, as the program folder itself is), stays as it is; any other name is put after the
// program folder and a backslash.
void resolve_path(Runtime& rt, std::string& name);

// The path here of a file a device reads by name (a picture, a sound file): resolved as
// above and mapped as the file statements map names (drive letters, letter case, Shift-JIS
// names). Nothing when it cannot be mapped.
std::optional<std::string> device_file_path(Runtime& rt, std::string name);

// True when the last character of the name is a backslash.
bool ends_with_backslash(std::string_view name);

}  // namespace quillon
