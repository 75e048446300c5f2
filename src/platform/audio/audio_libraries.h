// The sound libraries, each opened when it is first wanted: FluidSynth for the built-in MIDI
// synthesizer, SDL_mixer for the audio device and sound files, and ALSA for its sequencer.
#pragma once

#include "platform/lazy_library.h"

namespace quillon {

LazyLibrary& fluidsynth_library();
LazyLibrary& mixer_library();
LazyLibrary& alsa_library();

}  // namespace quillon
