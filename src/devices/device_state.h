// State of the devices: the file table, the program folder and the serial-port defaults.
#pragma once

#include <array>
#include <string>

#include "devices/file_table.h"

namespace quillon {

struct SerialDefaults {
    std::array<int, 7> values{1, 9600, 8, 0, 0, 1, 0};
};

struct DeviceState {
    FileTable files;             // file numbers 1 to 9
    std::string program_folder;  // relative names are resolved against it; CHDIR changes it
    SerialDefaults serial;
    int printer_line_pitch = 10;
    int printer_line_offset = 0;
};

}  // namespace quillon
