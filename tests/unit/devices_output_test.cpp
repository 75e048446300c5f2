// Sound and printing as a user gets them from kavrun: PLAY and BEEP recorded with --audio
// (length, and the pitch of every note), MIDI files and hostile sound files through MCI, and
// LPRINT's pages in a --printer PDF file read back with pdftotext and pdfinfo.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "scratch_folder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

using Result = testing::CommandResult;

// Interleaved 16-bit samples of a WAV file, as kavrun records them.
struct Wav {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
    double seconds() const {
        return channels == 0 ? 0 : static_cast<double>(samples.size()) / channels / rate;
    }
};

uint32_t le(const std::string& b, std::size_t at, int n) {
    uint32_t v = 0;
    for (int k = n - 1; k >= 0; --k)
        v = v << 8 | static_cast<uint8_t>(b[at + static_cast<std::size_t>(k)]);
    return v;
}

struct DevicesTest : testing::ScratchFolderTest {
    DevicesTest() : ScratchFolderTest("quillon-devices") {}

    Result kavrun(const std::string& source, const std::string& args, const std::string& env = "") {
        write("prog.bas", source);
        return shell("timeout 60 '" KAVRUN_PATH "' --headless " + args + " prog.bas", env);
    }
    Wav wav(const std::string& name) {
        std::string b = read(folder / name);
        Wav w;
        for (std::size_t at = 12; at + 8 <= b.size();) {
            std::string id = b.substr(at, 4);
            uint32_t size = le(b, at + 4, 4);
            if (id == "fmt ") {
                w.channels = static_cast<int>(le(b, at + 10, 2));
                w.rate = static_cast<int>(le(b, at + 12, 4));
            } else if (id == "data") {
                size = std::min<uint32_t>(size, static_cast<uint32_t>(b.size() - at - 8));
                w.samples.resize(size / 2);
                std::memcpy(w.samples.data(), b.data() + at + 8, w.samples.size() * 2);
            }
            at += 8 + size;
        }
        return w;
    }
};

// The power of one frequency in the left channel between two times (Goertzel).
double power(const Wav& w, double from_s, double to_s, double hz) {
    const auto first = static_cast<std::size_t>(from_s * w.rate);
    const auto last = std::min(static_cast<std::size_t>(to_s * w.rate),
                               w.samples.size() / static_cast<std::size_t>(w.channels));
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hz / w.rate);
    double s1 = 0, s2 = 0;
    for (std::size_t i = first; i < last; ++i) {
        double s = w.samples[i * static_cast<std::size_t>(w.channels)] + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// Seconds from the start of the recording to the first sound (the output opens a moment
// before the first note: how long depends on the machine's load, never on the music).
double onset(const Wav& w) {
    for (std::size_t i = 0; i < w.samples.size(); ++i)
        if (std::abs(w.samples[i]) > 300) return static_cast<double>(i / 2) / w.rate;
    return w.seconds();
}

// Seconds from the start of the recording to the end of the last sound (a note's release
// included); how long the program ran on afterwards does not matter.
double sound_end(const Wav& w) {
    for (std::size_t i = w.samples.size(); i-- > 0;)
        if (std::abs(w.samples[i]) > 300) return static_cast<double>(i / 2) / w.rate;
    return 0;
}

double note_hz(int note) {
    return 440 * std::pow(2.0, (note - 69) / 12.0);
}

// The MIDI note (36 to 96) whose fundamental is strongest between two times.
int dominant_note(const Wav& w, double from_s, double to_s) {
    int best = 0;
    double best_power = -1;
    for (int note = 36; note <= 96; ++note) {
        double p = power(w, from_s, to_s, note_hz(note));
        if (p > best_power) best_power = p, best = note;
    }
    return best;
}

TEST_F(DevicesTest, PlayAndBeepAreRecordedAtTheirPitchesAndLengths) {
    // Flute (tone 7) has a strong fundamental. C4 E4 G4 and A-flat 4: 2 s, then the beep.
    auto r = kavrun("PLAY \"T120O4@7C4E4G4A-4\"\nBEEP\n", "--audio out.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    Wav w = wav("out.wav");
    ASSERT_EQ(w.rate, 44100);
    ASSERT_EQ(w.channels, 2);
    const double t = onset(w);
    EXPECT_LT(t, 0.3);
    // The melody, then the 120 ms beep; a loaded machine (or a sanitizer) may slow the mixing.
    EXPECT_NEAR(w.seconds() - t, 2.12, 0.25);
    EXPECT_EQ(dominant_note(w, t + 0.1, t + 0.4), 60);
    EXPECT_EQ(dominant_note(w, t + 0.6, t + 0.9), 64);
    EXPECT_EQ(dominant_note(w, t + 1.1, t + 1.4), 67);
    EXPECT_EQ(dominant_note(w, t + 1.6, t + 1.9), 68);
    // The beep ends the sound: found from the end, since a loaded machine may start it late.
    const double end = sound_end(w);
    EXPECT_GT(power(w, end - 0.09, end - 0.01, 880), 50 * power(w, end - 0.09, end - 0.01, 440));
}

TEST_F(DevicesTest, VoicesSoundTogetherOnOneClock) {
    auto r = kavrun("PLAY \"T120@7O4C1\",\"T120@7O5C4C4C4C4\"\n", "--audio out.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    Wav w = wav("out.wav");
    const double start = onset(w);
    EXPECT_NEAR(w.seconds() - start, 2.0, 0.25);
    for (double t : {0.1, 0.6, 1.1, 1.6}) {  // both voices in every quarter of the whole note
        t += start;
        EXPECT_GT(power(w, t, t + 0.3, note_hz(60)), 20 * power(w, t, t + 0.3, note_hz(66)));
        EXPECT_GT(power(w, t, t + 0.3, note_hz(72)), 20 * power(w, t, t + 0.3, note_hz(66)));
    }
}

// A one-track MIDI file: A4 for half a second at 120 per minute, 96 ticks per quarter.
std::string midi_file() {
    std::string track = std::string("\x00\xC0\x49", 3) + std::string("\x00\x90\x45\x60", 4) +
                        std::string("\x60\x80\x45\x00", 4) + std::string("\x00\xFF\x2F\x00", 4);
    std::string header = std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60", 14);
    std::string length(4, '\0');
    length[3] = static_cast<char>(track.size());
    return header + "MTrk" + length + track;
}

TEST_F(DevicesTest, MidiFilesPlayThroughMciAndTheirEndNotifies) {
    write("tune.mid", midi_file());
    auto r = kavrun(
        "MCI \"open tune.mid type sequencer alias m\"\n"
        "MCI \"play m notify\", DONE\n"
        "WHILE DONE = 0: WEND\n"
        "PRINT \"ended\"\n",
        "--audio out.wav");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "ended\n");
    Wav w = wav("out.wav");
    const double t = onset(w);
    EXPECT_NEAR(sound_end(w) - t, 0.6, 0.15);  // the half-second note and its short release
    EXPECT_EQ(dominant_note(w, t + 0.1, t + 0.4), 69);
}

TEST_F(DevicesTest, HostileSoundFilesAreRefusedWithoutHarm) {
    std::string riff = "RIFF\xFF\xFF\xFF\x7FWAVEfmt ";
    riff += std::string(
        "\x10\x00\x00\x00\x01\x00\x01\x00\x44\xAC\x00\x00\x88\x58\x01\x00\x02\x00"
        "\x10\x00",
        20);
    write("huge.wav", riff + "data\xF0\xFF\xFF\x7F" + std::string(1000, '\x10'));
    write("cut.wav", riff.substr(0, 30));
    write("noise.mp3", std::string(5000, '\x5A'));
    write("bad.mid", midi_file().substr(0, 25));
    write("zero.wav", "");
    for (const char* name : {"huge.wav", "cut.wav", "noise.mp3", "bad.mid", "zero.wav"}) {
        auto r = kavrun(std::string("MCI \"play ") + name + " wait\"\nPRINT \"played\"\n", "");
        EXPECT_TRUE((r.status == 0 && r.out == "played\n") ||
                    (r.status == 1 && r.out.find("MCI error:") != std::string::npos))
            << name << ": " << r.status << " " << r.out;
    }
    // Four kilobytes at one byte a second would decode to over an hour of sound at the mixer's
    // rate (hundreds of megabytes): refused before any of it is decoded.
    std::string slow = std::string("RIFF\x00\x00\x00\x00WAVEfmt ", 16) +
                       std::string(
                           "\x10\x00\x00\x00\x01\x00\x01\x00\x01\x00\x00\x00\x01\x00"
                           "\x00\x00\x01\x00\x08\x00",
                           20);
    write("slow.wav", slow + std::string("data\x00\x10\x00\x00", 8) + std::string(4096, '\x80'));
    auto r = kavrun("MCI \"open slow.wav alias s\"\nPRINT \"opened\"\n", "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("[Basic - Error] MCI error:このファイルは再生できません (slow.wav)", 0),
              0u)
        << r.out;
}

TEST_F(DevicesTest, TheSettingsChooseAnAlsaPortAndAMissingOneIsError99) {
    fs::create_directories(folder / "config/quillon");
    write("config/quillon/settings.ini", "[Devices]\nMidiOut=alsa:250:0\n");
    auto r = kavrun("PLAY \"C\"\nPRINT \"not reached\"\n", "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("[Basic - Error] ALSA sequencer: ", 0), 0u) << r.out;
}

TEST_F(DevicesTest, LprintWritesJapaneseLinesAndPagesToThePdfFile) {
    auto r = kavrun(
        "LPRINT \"日本語の一行目\"\n"
        "LPRINT \"二行目\";\n"
        "LPRINT \"の続き\"\n"
        "LPRINT \"三行目\";CHR$(12);\"捨てる\"\n"
        "FOR I = 1 TO 100: LPRINT \"line\";I;CHR$(0): NEXT\n",  // a NUL prints as a blank
        "--printer out.pdf");
    ASSERT_EQ(r.status, 0) << r.out;
    auto info = shell("pdfinfo out.pdf");
    ASSERT_EQ(info.status, 0);
    // One page for the first job; its 100 lines run over onto a second page.
    EXPECT_NE(info.out.find("Pages:           3"), std::string::npos) << info.out;
    auto text = shell("pdftotext -layout out.pdf -");
    EXPECT_EQ(text.out.substr(0, text.out.find("\f")), "日本語の一行目\n二行目の続き\n三行目\n");
    EXPECT_EQ(text.out.find("捨てる"), std::string::npos);
    EXPECT_NE(text.out.find("line 100"), std::string::npos);
}

TEST_F(DevicesTest, WithoutAPrinterLprintIsErrorNinetyNine) {
    auto r = kavrun("LPRINT \"x\"\nPRINT \"after\"\n", "",
                    "CUPS_SERVER=" + (folder / "no-server.sock").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "[Basic - Error] 使用できるプリンターが見つかりません\n\nError line:1\n");
}

}  // namespace
}  // namespace quillon
