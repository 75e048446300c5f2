// Standard MIDI files read into one time-ordered list of channel messages, with the tempo
// map already applied: what the media player sends to the synthesizer, and when.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct MidiFileEvent {
    int64_t at_us = 0;  // from the start of the file
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

struct MidiSequence {
    std::vector<MidiFileEvent> events;  // in time order; system and meta events are left out
    int64_t length_us = 0;              // the end of the longest track
};

inline constexpr std::size_t kMidiEventsMax = 4u << 20;  // a file with more is refused

// Reads formats 0, 1 and 2 (the tracks of format 2 are played together); nothing, with `why`,
// for a file that is not one or is damaged.
std::optional<MidiSequence> read_midi_file(std::string_view bytes, std::string* why = nullptr);

}  // namespace quillon
