// The devices the audio engine serves: media files (sampled sound and MIDI files) and the MIDI
// outputs PLAY can use — the built-in synthesizer or a port of the ALSA sequencer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_engine.h"
#include "platform/audio/midi_file.h"
#include "platform/sound.h"

namespace quillon {

// Decoded sampled sound in the engine's format.
std::unique_ptr<MediaStream> make_wave_stream(AudioEngine& engine, std::vector<int16_t> samples);
// A MIDI file played on the synthesizer's channels 16 to 31.
std::unique_ptr<MediaStream> make_sequence_stream(AudioEngine& engine, fluid_synth_t* synth,
                                                  MidiSequence sequence);

// The built-in synthesizer as a MIDI output (channels 0 to 15).
std::unique_ptr<MidiOut> make_synth_midi_out(AudioEngine& engine, fluid_synth_t* synth);

// A port of the ALSA sequencer: `address` is "CLIENT:PORT" (a number or a name), or empty for
// the first port that takes MIDI and is not a through port. Nothing, with `why`, when there is
// no sequencer or no such port.
std::unique_ptr<MidiOut> make_alsa_midi_out(const std::string& address, std::string& why);

// Sends one channel message to the synthesizer.
void send_to_synth(fluid_synth_t* synth, int channel, uint8_t status, uint8_t data1, uint8_t data2);

}  // namespace quillon
