// Serial ports over termios: the line settings a program asks for, applied to a terminal
// device, and the channel that reads and writes it without ever blocking past a stop request.
#pragma once

#include <termios.h>

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace quillon {

// The open(2) access flags of an Access (files use them too).
int open_flags(Access access);

// Puts the line into raw mode (bytes pass unchanged both ways) and applies the settings.
// Settings a UART cannot take (data bits outside 5 to 8, an unknown parity or stop-bit code)
// leave the line settings as they were, as a port driver refusing them would. Returns false
// for a baud rate termios has no constant for: set it with set_custom_baud (serial_baud.h).
bool apply_port_settings(termios& line, const PortSettings& settings);

// Opens a terminal device for a program's port: exclusive (busy when another program holds
// it), never waiting for a carrier. Nothing, with `why`, when it cannot be opened.
std::unique_ptr<Channel> open_serial_device(const std::string& path, Access access,
                                            const PortSettings& settings, std::string& why);

}  // namespace quillon
