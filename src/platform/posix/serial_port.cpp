// Serial ports on terminal devices: raw mode, the program's line settings, exclusive use, and
// reads and writes that wait in short polls so that a stop request always ends them.
#include "platform/posix/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/serial_baud.h"

namespace quillon {
namespace {

constexpr int kStopPollMs = 50;  // a waiting read or write looks at the stop request this often

struct BaudConstant {
    int baud;
    speed_t constant;
};
constexpr BaudConstant kBaudConstants[] = {
    {110, B110},     {300, B300},     {600, B600},       {1200, B1200},
    {2400, B2400},   {4800, B4800},   {9600, B9600},     {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200},
};

bool valid_line_settings(const PortSettings& s) {
    return s.data_bits >= 5 && s.data_bits <= 8 && s.parity >= 0 && s.parity <= 4 &&
           s.stop_bits >= 0 && s.stop_bits <= 2;
}

tcflag_t size_flag(int data_bits) {
    switch (data_bits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

tcflag_t parity_flags(int parity) {
    switch (parity) {
        case 1:
            return PARENB | PARODD;
        case 2:
            return PARENB;
        case 3:
            return PARENB | PARODD | CMSPAR;  // mark
        case 4:
            return PARENB | CMSPAR;  // space
        default:
            return 0;
    }
}

void wait_for(int fd, short events) {
    pollfd p{fd, events, 0};
    ::poll(&p, 1, kStopPollMs);
}

class PortChannel : public Channel {
  public:
    explicit PortChannel(int fd) : fd_(fd) {}
    ~PortChannel() override {
        ::ioctl(fd_, TIOCNXCL);  // others may open the port again
        ::close(fd_);
    }

    bool is_port() const override { return true; }

    long read(char* buffer, std::size_t size, const std::atomic<bool>& stop) override {
        for (;;) {
            ssize_t n = ::read(fd_, buffer, size);
            if (n > 0) return static_cast<long>(n);
            if (n == 0 || errno == EIO) return kReadEnd;  // the other end has hung up
            if (errno == EINTR) continue;
            if (errno != EAGAIN || stop) return kReadFailed;
            wait_for(fd_, POLLIN);
        }
    }

    bool write(std::string_view bytes, const std::atomic<bool>& stop) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if ((n < 0 && errno != EAGAIN) || stop) return false;
            wait_for(fd_, POLLOUT);  // flow control holds the output back
        }
        return true;
    }

    bool seek_relative(int64_t) override { return false; }

    std::optional<int64_t> size() override {
        int waiting = 0;
        if (::ioctl(fd_, FIONREAD, &waiting) != 0) return std::nullopt;
        return waiting;
    }

  private:
    int fd_;
};

}  // namespace

int open_flags(Access access) {
    switch (access) {
        case Access::Read:
            return O_RDONLY;
        case Access::Write:
            return O_WRONLY;
        default:
            return O_RDWR;
    }
}

bool apply_port_settings(termios& line, const PortSettings& s) {
    line.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                           ICRNL | IXANY | IMAXBEL | IUCLC);
    line.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    line.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
    line.c_cflag |= CREAD | CLOCAL;  // modem lines do not gate reading
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    if (!valid_line_settings(s)) return true;

    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    line.c_cflag |= size_flag(s.data_bits) | parity_flags(s.parity);
    if (s.stop_bits != 0) line.c_cflag |= CSTOPB;  // termios knows one or two stop bits
    if (s.rts_cts) line.c_cflag |= CRTSCTS;
    line.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF);
    if (s.parity != 0) line.c_iflag |= INPCK;
    if (s.xon_xoff) line.c_iflag |= IXON | IXOFF;
    for (const auto& entry : kBaudConstants) {
        if (entry.baud != s.baud) continue;
        cfsetispeed(&line, entry.constant);
        cfsetospeed(&line, entry.constant);
        return true;
    }
    return false;
}

std::unique_ptr<Channel> open_serial_device(const std::string& path, Access access,
                                            const PortSettings& settings, std::string& why) {
    // No carrier wait on open; reads and writes poll instead of blocking.
    int fd = ::open(path.c_str(), open_flags(access) | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        why = "not a device";
        ::close(fd);
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        why = "in use by another program";
        ::close(fd);
        return nullptr;
    }
    if (::isatty(fd)) {
        ::ioctl(fd, TIOCEXCL);  // no other program may open it while it is ours
        termios line{};
        if (::tcgetattr(fd, &line) == 0) {
            bool standard_rate = apply_port_settings(line, settings);
            ::tcsetattr(fd, TCSANOW, &line);
            if (!standard_rate) set_custom_baud(fd, settings.baud);
        }
    }
    return std::make_unique<PortChannel>(fd);
}

}  // namespace quillon
