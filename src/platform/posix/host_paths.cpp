// Program names to POSIX paths and back. Names are walked one Shift-JIS character at a time, so
// that a trail byte 0x5C (the second byte of ソ or 表) is never taken for a backslash.
#include "platform/posix/host_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "host/shift_jis.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr char32_t kNoMapping = 0xFFFD;

uint8_t byte_at(std::string_view text, std::size_t k) {
    return static_cast<uint8_t>(text[k]);
}

// Bytes in one character at `k`: 2 for a lead byte with its trail, else 1.
std::size_t character_size(std::string_view text, std::size_t k) {
    return is_sjis_lead(byte_at(text, k)) && k + 1 < text.size() ? 2 : 1;
}

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Single bytes no file name may hold; a colon only after a drive letter.
bool is_forbidden(std::string_view name, std::size_t k) {
    uint8_t b = byte_at(name, k);
    if (b < 0x20 || b == 0x7F) return true;
    if (b == ':') return k != 1 || !is_letter(name[0]);
    return b == '<' || b == '>' || b == '"' || b == '|' || b == '?' || b == '*';
}

bool is_valid_name(std::string_view name) {
    for (std::size_t k = 0; k < name.size(); k += character_size(name, k))
        if (character_size(name, k) == 1 && is_forbidden(name, k)) return false;
    return true;
}

// Every character of the Shift-JIS text has a Unicode form.
bool maps_to_unicode(std::string_view sjis) {
    for (std::size_t k = 0; k < sjis.size(); k += character_size(sjis, k)) {
        uint8_t b = byte_at(sjis, k);
        if (b < 0x80) continue;
        unsigned code = character_size(sjis, k) == 2 ? b * 256u + byte_at(sjis, k + 1) : b;
        if (sjis_to_unicode(code) == kNoMapping) return false;
    }
    return true;
}

// The folded form of one character for comparisons: ASCII and full-width small letters as
// capitals.
unsigned folded_character(std::string_view text, std::size_t k) {
    uint8_t b = byte_at(text, k);
    if (character_size(text, k) == 1) return static_cast<uint8_t>(upper(static_cast<char>(b)));
    uint8_t trail = byte_at(text, k + 1);
    if (b == 0x82 && trail >= 0x81 && trail <= 0x9A) trail = static_cast<uint8_t>(trail - 0x21);
    return b * 256u + trail;
}

std::vector<std::string_view> split_components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= path.size();) {
        if (k == path.size() || (character_size(path, k) == 1 && is_separator(path[k]))) {
            if (k > start) parts.push_back(path.substr(start, k - start));
            start = k + 1;
            ++k;
            continue;
        }
        k += character_size(path, k);
    }
    return parts;
}

std::string join(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string out = folder;
    if (out.back() != '/') out += '/';
    out += name;
    return out;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name differs from `wanted` (Shift-JIS) only in letter case; the
// first in byte order when several do.
std::optional<std::string> find_ignoring_case(const std::string& folder, std::string_view wanted) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!same_name_ignoring_case(program_name_of(name), wanted)) continue;
        if (!found || name < *found) found = std::string(name);
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string disk_name_of(std::string_view program_name) {
    if (!maps_to_unicode(program_name)) return std::string(program_name);
    return sjis_to_utf8(program_name);
}

std::string program_name_of(std::string_view host_name) {
    if (is_valid_utf8(host_name))
        if (auto sjis = utf8_to_sjis(host_name)) return *sjis;
    return std::string(host_name);  // already Shift-JIS, or a name only Unicode can spell
}

bool same_name_ignoring_case(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (folded_character(a, i) != folded_character(b, j)) return false;
        i += character_size(a, i);
        j += character_size(b, j);
    }
    return i == a.size() && j == b.size();
}

bool name_order(std::string_view a, std::string_view b) {
    auto folded = [](std::string_view name) {
        std::string out(name);
        for (char& c : out)
            c = upper(c);
        return out;
    };
    std::string fa = folded(a), fb = folded(b);
    if (fa != fb) return fa < fb;
    return a < b;
}

HostPath host_path(std::string_view name, const DriveFolder& drives) {
    HostPath out;
    if (!is_valid_name(name)) {
        out.problem = PathProblem::BadName;
        return out;
    }
    std::string path;  // where the walk stands: "" is the current directory
    std::string_view rest = name;
    if (name.size() >= 2 && name[1] == ':') {
        out.drive = upper(name[0]);
        auto folder = drives(out.drive);
        if (!folder || folder->empty()) {
            out.problem = PathProblem::UnmappedDrive;
            return out;
        }
        path = *folder;  // "C:\x" and "C:x" both start at the drive's folder
        rest.remove_prefix(2);
    } else if (name.size() >= 2 && is_separator(name[0]) && is_separator(name[1])) {
        out.problem = PathProblem::NetworkPath;
        return out;
    } else if (!name.empty() && is_separator(name[0])) {
        path = "/";
    }

    bool found_so_far = true;  // every folder on the way exists
    for (std::string_view part : split_components(rest)) {
        std::string candidate = join(path, disk_name_of(part));
        if (found_so_far && part != "." && part != ".." && !exists(candidate)) {
            if (auto other = find_ignoring_case(path, part))
                candidate = join(path, *other);
            else
                found_so_far = false;
        }
        path = std::move(candidate);
    }
    out.path = path.empty() ? "." : path;
    return out;
}

}  // namespace quillon
