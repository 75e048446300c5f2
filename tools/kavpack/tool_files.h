// Files for kavpack: whole-file reads, writes that never leave half a file behind, and the
// runtime to copy, found beside kavpack or on PATH.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::kavpack {

// The whole file, or nothing with `why` (the system's reason).
std::optional<std::string> read_whole_file(const std::filesystem::path& path, std::string& why);

// Writes `bytes` to a new file beside `path` and renames it over `path` once it is complete;
// on failure nothing is left behind. `executable` sets the run bits where the read bits are.
bool write_whole_file(const std::filesystem::path& path, std::string_view bytes, bool executable,
                      std::string& why);

// The kavrun beside the running kavpack (`argv0` when the system cannot say where that is),
// else the first kavrun on PATH.
std::optional<std::filesystem::path> find_runtime(std::string_view argv0);

}  // namespace quillon::kavpack
