// Baud rates that termios has no constant for, through TCSETS2 and BOTHER.
#include "platform/posix/serial_baud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace quillon {

bool set_custom_baud(int fd, int baud) {
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0) return false;
    line.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    line.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    line.c_ispeed = static_cast<speed_t>(baud);
    line.c_ospeed = static_cast<speed_t>(baud);
    return ::ioctl(fd, TCSETS2, &line) == 0;
}

std::optional<int> port_baud(int fd) {
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0) return std::nullopt;
    return static_cast<int>(line.c_ospeed);
}

}  // namespace quillon
