// Start-up of the interpreter: settings, program state, reset, and the final release.
#pragma once

#include "host/program_image.h"

namespace quillon {

struct Runtime;

// Reads (or creates) the serial-port setting and sets the start-up values of the settings.
void initialise_settings(Runtime& rt);
// Takes the program text and font of an image: creates the runtime's font.
void load_program(Runtime& rt, const ProgramImage& image);
// Clears the flags and resets the interpreter state before the run.
void initialise_program_state(Runtime& rt);
// Reset (the CLEAR statement and program start): variables, data list, declared letters,
// user functions, GOSUB stack, images, melody voices, error trap.
void reset_program(Runtime& rt);
// Rebuilds the data list from the program text.
void build_data_list(Runtime& rt);
// The window's destruction: clean-up if the program ran, the device files completed, then
// release the font and pictures.
void final_release(Runtime& rt);

}  // namespace quillon
