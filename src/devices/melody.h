// The melody reader: turns one voice's melody text (octave, tempo, tone, notes with sharps,
// flats, lengths, dots and ties, rests) into a schedule of MIDI events in milliseconds from
// the start of the voice. PLAY's voice threads send the events at their times.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr int kVoiceCount = 8;  // voices 0 to 7 on MIDI channels 0 to 7
inline constexpr int kDefaultOctave = 4;
inline constexpr int kDefaultQuarterMs = 500;  // tempo 120
inline constexpr uint8_t kNoteVelocity = 0x60;
inline constexpr uint8_t kDefaultProgram = 6;  // every tone number without its own program

// What one voice keeps from one PLAY to the next.
struct VoiceSettings {
    int octave = kDefaultOctave;
    int64_t quarter_ms = kDefaultQuarterMs;  // 0 after tempo 0: notes are skipped
};

struct MelodyEvent {
    enum class Kind { ProgramChange, NoteOn, NoteOff };
    Kind kind = Kind::NoteOn;
    int64_t at_ms = 0;  // from the start of the voice
    uint8_t value = 0;  // the program, or the note number
};

// The program byte sent for a tone number of "@".
uint8_t tone_program(int64_t tone);

class MelodyReader {
  public:
    // Reads `text` (blanks already removed) with the voice's settings, which it updates as the
    // octave and tempo change.
    MelodyReader(std::string_view text, VoiceSettings& settings);

    // The next event in time order; false at the end of the text.
    bool next(MelodyEvent& event);
    // Where the voice's time stands: the end of the last note or rest read.
    int64_t time_ms() const { return time_ms_; }

  private:
    char peek() const;
    int64_t read_number(bool& any);
    int64_t read_length(int64_t quarter);
    bool read_note(char letter, MelodyEvent& event);

    std::string text_;  // upper case
    std::size_t pos_ = 0;
    VoiceSettings& settings_;
    int64_t time_ms_ = 0;
    bool note_off_due_ = false;
    MelodyEvent note_off_;
};

}  // namespace quillon
