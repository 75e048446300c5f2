// The serial-port rules of OPEN: which names are ports, the device a port name stands for, and
// its line settings from the serial defaults overridden by the name's settings text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/device_state.h"
#include "platform/file_system.h"

namespace quillon {

struct PortName {
    std::string device;  // COM1, COM2 ... as written, the default number appended when needed
    PortSettings settings;
};

// A port when the name holds a colon, starts with "com" in any case and its fourth character
// is not a letter; nothing for a file name.
std::optional<PortName> port_name(std::string_view name, const SerialDefaults& defaults);

// The line settings the serial defaults give before a settings text overrides them.
PortSettings default_port_settings(const SerialDefaults& defaults);

// The baud rate of the defaults' second field: a code 0 to 14 of the rate table, or a rate of
// the table written in full; anything else gives 9600.
int baud_rate(int field);

}  // namespace quillon
