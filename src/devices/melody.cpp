// The melody reader. Durations are worked out in floating point and truncated toward zero at
// each step, so that every voice plays the lengths the classic melody rules give.
#include "devices/melody.h"

#include <cmath>

#include "expr/value_text.h"

namespace quillon {
namespace {

constexpr int64_t kNumberMax = 1000000000;  // digits beyond this keep the value here
constexpr int kMidiNoteMax = 127;
constexpr int kNoteBase[] = {69, 71, 60, 62, 64, 65, 67};  // A B C D E F G at octave 4

struct ToneProgram {
    int tone;
    uint8_t program;
};

constexpr ToneProgram kTonePrograms[] = {
    {1, 63},  {2, 51},   {3, 4},    {4, 39},   {5, 18},  {6, 20},  {7, 73},   {8, 68},
    {9, 71},  {10, 11},  {12, 112}, {13, 1},   {21, 62}, {22, 63}, {23, 56},  {24, 50},
    {25, 51}, {26, 2},   {27, 5},   {28, 4},   {29, 27}, {30, 39}, {31, 38},  {32, 18},
    {33, 16}, {34, 20},  {35, 19},  {36, 73},  {37, 72}, {39, 71}, {40, 9},   {41, 11},
    {42, 13}, {43, 107}, {45, 7},   {47, 112}, {48, 46}, {50, 22}, {51, 114}, {52, 47},
    {53, 69}, {63, 10},  {64, 42},  {65, 58},  {67, 25}, {75, 85}, {80, 40},
};

// trunc(a / b), or 0 when the division has no finite result (a length or tempo of 0).
int64_t divide_truncated(double a, double b) {
    if (b == 0) return 0;
    double q = std::trunc(a / b);
    return std::isfinite(q) && q >= 0 && q < 9e15 ? static_cast<int64_t>(q) : 0;
}

}  // namespace

uint8_t tone_program(int64_t tone) {
    for (const auto& entry : kTonePrograms)
        if (entry.tone == tone) return entry.program;
    return kDefaultProgram;
}

MelodyReader::MelodyReader(std::string_view text, VoiceSettings& settings) : settings_(settings) {
    text_.reserve(text.size());
    for (char c : text)
        text_ += to_upper_ascii(c);
}

char MelodyReader::peek() const {
    return pos_ < text_.size() ? text_[pos_] : '\0';
}

// Decimal digits at the reading position (none read as 0); `any` tells whether there were any.
int64_t MelodyReader::read_number(bool& any) {
    int64_t value = 0;
    any = false;
    while (is_digit(peek())) {
        value = std::min(kNumberMax, value * 10 + (peek() - '0'));
        any = true;
        ++pos_;
    }
    return value;
}

// The length after a note or rest: digits, a dot, and one tie "^" with its digits and dot.
// 0 when the note is to be skipped (a length of 0, or no tempo).
int64_t MelodyReader::read_length(int64_t quarter) {
    bool digits = false;
    int64_t value = read_number(digits);
    double divisor = digits ? static_cast<double>(value) / 4 : 1;
    bool dotted = peek() == '.';
    if (dotted) ++pos_;
    double tie_divisor = 0;
    bool tie_dotted = false;
    if (peek() == '^') {
        ++pos_;
        bool tie_digits = false;
        tie_divisor = static_cast<double>(read_number(tie_digits)) / 4;
        tie_dotted = peek() == '.';
        if (tie_dotted) ++pos_;
    }
    int64_t duration = divide_truncated(static_cast<double>(quarter), divisor);
    if (dotted) duration = static_cast<int64_t>(std::trunc(static_cast<double>(duration) * 1.5));
    if (duration == 0) return 0;
    if (tie_divisor != 0) {
        double tie = static_cast<double>(quarter) / tie_divisor;
        duration += static_cast<int64_t>(std::trunc(tie_dotted ? tie * 1.5 : tie));
    }
    return duration;
}

// A note letter has been read: its sign and length follow. True when it sounds (`event` is
// its note-on); a note outside the MIDI range keeps its time silently.
bool MelodyReader::read_note(char letter, MelodyEvent& event) {
    int note = 12 * (settings_.octave - 4) + kNoteBase[letter - 'A'];
    if (peek() == '+' || peek() == '-') note += text_[pos_++] == '+' ? 1 : -1;
    int64_t duration = read_length(settings_.quarter_ms);
    if (duration == 0) return false;
    int64_t start = time_ms_;
    time_ms_ += duration;
    if (note < 0 || note > kMidiNoteMax) return false;
    event = {MelodyEvent::Kind::NoteOn, start, static_cast<uint8_t>(note)};
    note_off_ = {MelodyEvent::Kind::NoteOff, time_ms_, static_cast<uint8_t>(note)};
    note_off_due_ = true;
    return true;
}

bool MelodyReader::next(MelodyEvent& event) {
    if (note_off_due_) {
        note_off_due_ = false;
        event = note_off_;
        return true;
    }
    while (pos_ < text_.size()) {
        char c = text_[pos_++];
        bool digits = false;
        switch (c) {
            case 'O':
                // One character only, not checked: its code minus that of "0".
                if (pos_ < text_.size())
                    settings_.octave = static_cast<uint8_t>(text_[pos_++]) - '0';
                break;
            case 'T': {
                // trunc(60 / tempo * 1000), in that order; tempo 0 leaves no quarter length.
                double tempo = static_cast<double>(read_number(digits));
                double quarter = tempo == 0 ? 0 : std::trunc(60 / tempo * 1000);
                settings_.quarter_ms = static_cast<int64_t>(quarter);
                break;
            }
            case '@':
                event = {MelodyEvent::Kind::ProgramChange, time_ms_,
                         tone_program(read_number(digits))};
                return true;
            case 'P':
                time_ms_ += read_length(settings_.quarter_ms);
                break;
            case 'A':
            case 'B':
            case 'C':
            case 'D':
            case 'E':
            case 'F':
            case 'G':
                if (read_note(c, event)) return true;
                break;
            default:
                break;  // anything else is skipped
        }
    }
    return false;
}

}  // namespace quillon
