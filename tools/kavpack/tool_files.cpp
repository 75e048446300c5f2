// File handling of kavpack with the standard library only; the temporary file is created
// exclusively ("x" mode), so two kavpack runs never write into the same one.
#include "kavpack/tool_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

namespace quillon::kavpack {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kRuntimeName = "kavrun";
constexpr int kTemporaryAttempts = 100;

bool is_program_file(const fs::path& path) {
    std::error_code ec;
    auto status = fs::status(path, ec);
    return !ec && fs::is_regular_file(status) &&
           (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
}

std::optional<fs::path> search_path(std::string_view name) {
    const char* path = std::getenv("PATH");
    if (!path) return std::nullopt;
    std::string_view dirs = path;
    while (!dirs.empty()) {
        std::size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (is_program_file(candidate)) return candidate;
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

// The running executable's own path.
std::optional<fs::path> own_path(std::string_view argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return self;
    if (argv0.find('/') != std::string_view::npos) return fs::path(argv0);
    return search_path(argv0);
}

// Opens a new temporary file beside `path`; nothing when none can be made.
std::FILE* open_temporary(const fs::path& path, fs::path& temporary) {
    for (int i = 0; i < kTemporaryAttempts; ++i) {
        temporary = path;
        temporary += ".kavpack-" + std::to_string(i) + ".tmp";
        if (std::FILE* file = std::fopen(temporary.c_str(), "wbx")) return file;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

void add_run_bits(const fs::path& path) {
    std::error_code ec;
    fs::perms p = fs::status(path, ec).permissions();
    if (ec) return;
    fs::perms add = fs::perms::none;
    if ((p & fs::perms::owner_read) != fs::perms::none) add |= fs::perms::owner_exec;
    if ((p & fs::perms::group_read) != fs::perms::none) add |= fs::perms::group_exec;
    if ((p & fs::perms::others_read) != fs::perms::none) add |= fs::perms::others_exec;
    fs::permissions(path, add, fs::perm_options::add, ec);
}

}  // namespace

std::optional<std::string> read_whole_file(const fs::path& path, std::string& why) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        why = "it is a folder";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        why = "read error";
        return std::nullopt;
    }
    return bytes;
}

bool write_whole_file(const fs::path& path, std::string_view bytes, bool executable,
                      std::string& why) {
    fs::path temporary;
    std::FILE* file = open_temporary(path, temporary);
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    if (!written) why = std::strerror(errno);
    if (std::fclose(file) != 0 && written) {
        written = false;
        why = std::strerror(errno);
    }
    std::error_code ec;
    if (written) {
        if (executable) add_run_bits(temporary);
        fs::rename(temporary, path, ec);
        if (!ec) return true;
        why = ec.message();
    }
    fs::remove(temporary, ec);
    return false;
}

std::optional<fs::path> find_runtime(std::string_view argv0) {
    if (auto self = own_path(argv0)) {
        fs::path beside = self->parent_path() / kRuntimeName;
        if (is_program_file(beside)) return beside;
    }
    return search_path(kRuntimeName);
}

}  // namespace quillon::kavpack
