// Baud rates through the kernel's arbitrary-rate terminal calls. Kept apart from <termios.h>,
// whose definitions clash with the kernel's own.
#pragma once

#include <optional>

namespace quillon {

// Sets the input and output rate of a terminal device to any rate in bits per second; false
// when the device refuses.
bool set_custom_baud(int fd, int baud);
// The output rate of the device in bits per second, whatever way it was set.
std::optional<int> port_baud(int fd);

}  // namespace quillon
