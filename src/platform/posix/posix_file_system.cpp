// Files, ports and folders on a POSIX system. A file is held with an exclusive lock, as the
// original opened every file without sharing; every write goes straight to the kernel, so a
// program stopped in any way (an error, a closed window, a signal) leaves all it wrote on disk.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/posix/host_paths.h"
#include "platform/posix/serial_port.h"
#include "platform/settings_file.h"
#include "platform/system_services.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr std::string_view kComPrefix = "COM";
constexpr char kSerialDevicePrefix[] = "/dev/ttyS";  // COMn is /dev/ttyS(n-1) by default

class FileChannel : public Channel {
  public:
    explicit FileChannel(int fd) : fd_(fd) {}
    ~FileChannel() override { ::close(fd_); }

    bool is_port() const override { return false; }

    long read(char* buffer, std::size_t size, const std::atomic<bool>&) override {
        for (;;) {
            ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0) return static_cast<long>(n);
            if (errno != EINTR) return kReadFailed;
        }
    }

    bool write(std::string_view bytes, const std::atomic<bool>&) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;  // a full disk, a quota, an I/O error
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool seek_relative(int64_t offset) override {
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_CUR) >= 0;
    }

    std::optional<int64_t> size() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return std::nullopt;
        return static_cast<int64_t>(st.st_size);
    }

  private:
    int fd_;
};

// A regular file, locked before it is emptied so that a file another program holds is never
// touched.
std::unique_ptr<Channel> open_regular_file(const std::string& path, Access access, bool truncate) {
    // O_NONBLOCK: a named pipe must not stall the open; it is refused below.
    int fd = ::open(path.c_str(), open_flags(access) | O_CREAT | O_NOCTTY | O_NONBLOCK | O_CLOEXEC,
                    0666);
    if (fd < 0) return nullptr;
    struct stat st {};
    bool usable = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                  !(::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) &&
                  (!truncate || ::ftruncate(fd, 0) == 0);
    if (!usable) {
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<FileChannel>(fd);
}

// True when another channel or program holds the file.
bool in_use(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::string settings_place() {
    std::string path = SettingsFile::default_path();
    return path.empty() ? "the settings file" : path;
}

std::string upper_ascii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The n of "COMn" (n from 1), or 0 for any other name.
int com_number(std::string_view name) {
    if (name.size() <= kComPrefix.size() || name.size() > kComPrefix.size() + 4 ||
        upper_ascii(name.substr(0, kComPrefix.size())) != kComPrefix)
        return 0;
    int n = 0;
    for (char c : name.substr(kComPrefix.size())) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

class PosixFileSystem : public FileSystem {
  public:
    explicit PosixFileSystem(Platform& platform) : platform_(platform) {}

    std::unique_ptr<Channel> open_file(std::string_view name, Access access,
                                       bool truncate) override {
        auto path = map(name);
        return path ? open_regular_file(*path, access, truncate) : nullptr;
    }

    std::unique_ptr<Channel> open_port(std::string_view device, Access access,
                                       const PortSettings& settings) override {
        std::string port = upper_ascii(device);
        auto path = port_device(port);
        if (!path) {
            tell("serial port " + sjis_to_utf8(port) + " is not mapped to a device; add the line " +
                 sjis_to_utf8(port) + "=/dev/ttyUSB0 (say) under [" + kSerialPortsKey + "] in " +
                 settings_place());
            return nullptr;
        }
        std::string why;
        auto channel = open_serial_device(*path, access, settings, why);
        if (!channel) {
            std::string hint =
                why == std::strerror(EACCES) ? " (is your user in the dialout group?)" : "";
            tell("cannot open serial port " + sjis_to_utf8(port) + " (" + *path + "): " + why +
                 hint + "; map it to another device under [" + kSerialPortsKey + "] in " +
                 settings_place());
        }
        return channel;
    }

    bool remove_file(std::string_view name) override {
        auto path = map(name);
        if (!path) return false;
        struct stat st {};
        if (::lstat(path->c_str(), &st) != 0 || S_ISDIR(st.st_mode) || in_use(*path)) return false;
        return ::unlink(path->c_str()) == 0;
    }

    bool make_folder(std::string_view name) override {
        auto path = map(name);
        return path && ::mkdir(path->c_str(), 0777) == 0;
    }

    std::vector<FolderEntry> list_folder(std::string_view folder) override {
        std::vector<FolderEntry> entries;
        auto path = map(folder);
        if (!path) return entries;
        DIR* dir = ::opendir(path->c_str());
        if (!dir) return entries;
        std::vector<std::pair<std::string, bool>> found;  // disk name, is a folder
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            struct stat st {};
            bool is_folder = ::stat(join(*path, name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            found.emplace_back(std::move(name), is_folder);
        }
        ::closedir(dir);
        auto rank = [](const std::string& name) { return name == "." ? 0 : name == ".." ? 1 : 2; };
        std::sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
            if (rank(a.first) != rank(b.first)) return rank(a.first) < rank(b.first);
            return name_order(a.first, b.first);
        });
        for (auto& [name, is_folder] : found)
            entries.push_back({program_name_of(name), is_folder});
        return entries;
    }

    std::optional<std::string> path_of(std::string_view name) override { return map(name); }

  private:
    static std::string join(const std::string& folder, const std::string& name) {
        return folder.back() == '/' ? folder + name : folder + '/' + name;
    }

    // The path of a program's name; an unmapped drive is explained on standard error.
    std::optional<std::string> map(std::string_view name) {
        HostPath host = host_path(name, [this](char letter) {
            return platform_.read_setting(kDrivesKey, std::string(1, letter));
        });
        if (host.problem == PathProblem::UnmappedDrive) {
            std::string drive(1, host.drive);
            tell("drive " + drive + ": is not mapped to a folder; add the line " + drive +
                 "=/path/to/folder under [" + kDrivesKey + "] in " + settings_place());
        }
        if (host.problem != PathProblem::None) return std::nullopt;
        return host.path;
    }

    // The device of a port: its setting, else /dev/ttyS(n-1) for COMn, written to the settings
    // so that the user finds the line to change.
    std::optional<std::string> port_device(const std::string& port) {
        if (auto mapped = platform_.read_setting(kSerialPortsKey, port); mapped && !mapped->empty())
            return mapped;
        int n = com_number(port);
        if (n < 1) return std::nullopt;
        std::string device = kSerialDevicePrefix + std::to_string(n - 1);
        platform_.write_setting(kSerialPortsKey, port, device);
        return device;
    }

    static void tell(const std::string& line) { write_standard_error("kavrun: " + line + "\n"); }

    Platform& platform_;
};

}  // namespace

std::unique_ptr<FileSystem> make_host_file_system(Platform& settings) {
    return std::make_unique<PosixFileSystem>(settings);
}

}  // namespace quillon
