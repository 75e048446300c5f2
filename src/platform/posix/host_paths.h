// How a program's file names become paths on a POSIX system: drive letters through the
// settings, backslashes as separators, Shift-JIS names as UTF-8 names on disk, and a name that
// differs only in letter case found when the exact one does not exist.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// Settings keys of the mappings.
inline constexpr char kDrivesKey[] = "Drives";
inline constexpr char kSerialPortsKey[] = "Serial ports";

enum class PathProblem {
    None,
    BadName,        // bytes no file name may hold (control bytes, < > " | ? *, a stray colon)
    UnmappedDrive,  // a drive letter the settings do not map
    NetworkPath,    // \\server\share
};

struct HostPath {
    std::string path;  // the path on this system; empty when there is a problem
    PathProblem problem = PathProblem::None;
    char drive = 0;  // the unmapped drive letter, upper case
};

// The folder a drive letter (upper case) maps to; nothing when it is not mapped.
using DriveFolder = std::function<std::optional<std::string>(char letter)>;

// Maps a program's name (Shift-JIS, "\" or "/" separators, maybe a drive letter) to a path
// here. A relative name stays relative to the current directory.
HostPath host_path(std::string_view name, const DriveFolder& drives);

// One name (no separators) as it is stored on disk: UTF-8 when every character of the
// Shift-JIS name has a Unicode form, else the bytes as they are.
std::string disk_name_of(std::string_view program_name);

// True when two Shift-JIS names differ at most in the case of their letters (ASCII and
// full-width); a trail byte is never taken for a letter.
bool same_name_ignoring_case(std::string_view a, std::string_view b);

// Orders disk names as the original file system lists them: by name with letters taken as
// capitals, then byte by byte.
bool name_order(std::string_view a, std::string_view b);

}  // namespace quillon
