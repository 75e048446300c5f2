// State of the devices: the file table, the program folder, the serial-port defaults, the
// printer and sound.
#pragma once

#include <array>
#include <string>

#include "devices/file_table.h"
#include "devices/printer_state.h"
#include "devices/sound_state.h"

namespace quillon {

struct SerialDefaults {
    std::array<int, 7> values{1, 9600, 8, 0, 0, 1, 0};
};

struct DeviceState {
    FileTable files;             // file numbers 1 to 9
    std::string program_folder;  // relative names are resolved against it; CHDIR changes it
    SerialDefaults serial;
    PrinterState printer;  // LPRINT's job and print position
    SoundState sound;      // PLAY's MIDI output and voices, MCI's media devices
};

}  // namespace quillon
