// POSIX implementation of the shared system services: /proc for the executable, plain file
// descriptors for reads and atomic writes, clock_gettime/localtime_r, nanosleep, poll.
#include "platform/system_services.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace quillon {
namespace {

// Closes a descriptor when the scope ends.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

void set_why(std::string* why, const std::string& text) {
    if (why) *why = text;
}

// Opens a regular file for reading and tells its size.
int open_regular(const std::string& path, off_t& size, std::string* why) {
    // O_NONBLOCK: opening a named pipe must not wait for a writer (reads of a regular file
    // never wait anyway).
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        set_why(why, std::strerror(errno));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        set_why(why, "not a regular file");
        ::close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

// Reads exactly `size` bytes from the current offset (fewer when the file shrank).
bool read_fully(int fd, std::string& out, std::size_t size, std::string* why) {
    out.resize(size);
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, out.data() + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            set_why(why, std::strerror(errno));
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

void write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a closed pipe: nothing more can be written
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool write_all_checked(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes a folder and its parents (mode 0700 for the ones it creates).
bool make_folders(const std::string& folder) {
    if (folder.empty()) return true;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !make_folders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string current_folder() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

// The pipe that ends waits on standard input (see end_standard_input).
struct InputEnd {
    int read_fd = -1;
    int write_fd = -1;
    std::atomic<bool> ended{false};
    InputEnd() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
        read_fd = fds[0];
        write_fd = fds[1];
    }
};

InputEnd& input_end() {
    static InputEnd end;  // one standard input per process
    return end;
}

}  // namespace

std::string executable_path() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::optional<std::string> read_whole_file(const std::string& path, std::string* why,
                                           std::size_t limit) {
    off_t size = 0;
    FileDescriptor file{open_regular(path, size, why)};
    if (file.fd < 0) return std::nullopt;
    if (static_cast<uint64_t>(size) > limit) {
        set_why(why, "the file is too large");
        return std::nullopt;
    }
    std::string bytes;
    if (!read_fully(file.fd, bytes, static_cast<std::size_t>(size), why)) return std::nullopt;
    return bytes;
}

std::optional<std::string> read_file_tail(const std::string& path, std::size_t bytes,
                                          std::string* why) {
    off_t size = 0;
    FileDescriptor file{open_regular(path, size, why)};
    if (file.fd < 0) return std::nullopt;
    std::size_t take = static_cast<uint64_t>(size) < bytes ? static_cast<std::size_t>(size) : bytes;
    if (::lseek(file.fd, size - static_cast<off_t>(take), SEEK_SET) < 0) {
        set_why(why, std::strerror(errno));
        return std::nullopt;
    }
    std::string tail;
    if (!read_fully(file.fd, tail, take, why)) return std::nullopt;
    return tail;
}

bool write_file_atomically(const std::string& path, std::string_view bytes) {
    std::size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    if (!make_folders(folder)) return false;
    std::string temporary = path + ".XXXXXX";
    FileDescriptor file{::mkstemp(temporary.data())};
    if (file.fd < 0) return false;
    bool written = write_all_checked(file.fd, bytes) && ::fsync(file.fd) == 0;
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

// The folder part is resolved, not the file itself: a program reached through a link keeps
// the link's folder.
std::string absolute_folder_of(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".")
                         : slash == 0               ? std::string("/")
                                                    : path.substr(0, slash);
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved)) return resolved;
    return folder[0] == '/' ? folder : current_folder() + "/" + folder;
}

std::string file_stem(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

LocalTime local_time_now() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

int64_t epoch_seconds_now() {
    return static_cast<int64_t>(std::time(nullptr));
}

void sleep_milliseconds(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec rest{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

std::optional<std::string> environment_variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

bool standard_input_is_terminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

bool standard_output_is_terminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

void write_standard_output(std::string_view bytes) {
    write_all(STDOUT_FILENO, bytes);
}

void write_standard_error(std::string_view bytes) {
    write_all(STDERR_FILENO, bytes);
}

long read_standard_input(char* buffer, std::size_t size, bool wait) {
    InputEnd& end = input_end();
    if (end.ended) return wait ? 0 : -1;
    // A wait also watches the ending pipe, so that another thread can end it.
    pollfd ready[2] = {{STDIN_FILENO, POLLIN, 0}, {end.read_fd, POLLIN, 0}};
    for (;;) {
        int got = ::poll(ready, end.read_fd >= 0 ? 2 : 1, wait ? -1 : 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 && !wait) return -1;
        if (end.ended) return wait ? 0 : -1;
        break;  // ready, or poll failed: the read tells
    }
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, buffer, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return wait ? 0 : -1;  // an unreadable input ends like its end
        return static_cast<long>(n);
    }
}

void end_standard_input() {
    InputEnd& end = input_end();
    end.ended = true;
    if (end.write_fd >= 0) {
        const char byte = 1;
        ssize_t written = ::write(end.write_fd, &byte, 1);
        static_cast<void>(written);  // a full pipe wakes the waits already
    }
}

}  // namespace quillon
