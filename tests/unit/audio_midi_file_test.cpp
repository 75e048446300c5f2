// The standard MIDI file reader: running status, tempo changes across tracks, SMPTE time, and
// damaged or hostile files refused without reading past their end.
#include <gtest/gtest.h>

#include "platform/audio/midi_file.h"

namespace quillon {
namespace {

std::string be(uint32_t value, int bytes) {
    std::string out;
    for (int k = bytes - 1; k >= 0; --k)
        out += static_cast<char>(value >> (8 * k) & 0xFF);
    return out;
}

std::string chunk(const std::string& id, const std::string& body) {
    return id + be(static_cast<uint32_t>(body.size()), 4) + body;
}

std::string header(int format, int tracks, int division) {
    return chunk("MThd", be(format, 2) + be(tracks, 2) + be(division, 2));
}

// Track bytes from text: each byte written as two hex digits, blanks ignored.
std::string bytes(std::string_view hex) {
    std::string out;
    int high = -1;
    for (char c : hex) {
        if (c == ' ') continue;
        int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'A' + 10;
        if (high < 0) {
            high = v;
        } else {
            out += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    return out;
}

TEST(MidiFile, RunningStatusAndTempoMapAcrossTracks) {
    // Division 96. Track 1: tempo 1 s per quarter at tick 96. Track 2: C on at 0 and off at
    // 96 by running status (velocity 0), E on at 192 (at 1.5 s), program change, end at 288.
    std::string tempo = chunk("MTrk", bytes("60 FF 51 03 0F 42 40 00 FF 2F 00"));
    std::string notes = chunk("MTrk", bytes("00 90 3C 60 60 3C 00 60 40 60 00 C1 05 60 FF 2F 00"));
    auto sequence = read_midi_file(header(1, 2, 96) + tempo + notes);
    ASSERT_TRUE(sequence);
    ASSERT_EQ(sequence->events.size(), 4u);
    EXPECT_EQ(sequence->events[0].at_us, 0);
    EXPECT_EQ(sequence->events[1].at_us, 500000);
    EXPECT_EQ(sequence->events[1].data2, 0);
    EXPECT_EQ(sequence->events[2].at_us, 1500000);
    EXPECT_EQ(sequence->events[2].data1, 0x40);
    EXPECT_EQ(sequence->events[3].status, 0xC1);
    EXPECT_EQ(sequence->events[3].data1, 5);
    EXPECT_EQ(sequence->length_us, 2500000);
}

TEST(MidiFile, SmpteDivisionAndSkippedChunks) {
    // 25 frames per second, 40 ticks per frame: 1000 ticks a second.
    std::string track = chunk("MTrk", bytes("00 F0 02 7E 7F 83 60 90 3C 40 00 FF 2F 00"));
    auto sequence = read_midi_file(header(0, 1, 0xE728) + chunk("XFIH", "junk") + track);
    ASSERT_TRUE(sequence);
    ASSERT_EQ(sequence->events.size(), 1u);
    EXPECT_EQ(sequence->events[0].at_us, 480000);  // 480 ticks after the system exclusive
}

TEST(MidiFile, DamagedFilesAreRefused) {
    std::string good =
        header(0, 1, 96) + chunk("MTrk", bytes("00 90 3C 40 60 80 3C 40 00 FF 2F 00"));
    ASSERT_TRUE(read_midi_file(good));
    std::string why;
    for (std::size_t cut = 0; cut < good.size() - 4; ++cut) {
        std::string damaged = good.substr(0, cut);
        EXPECT_FALSE(read_midi_file(damaged, &why)) << cut;
    }
    EXPECT_FALSE(read_midi_file("RIFF....WAVEfmt ", &why));
    EXPECT_EQ(why, "not a standard MIDI file");
    // A track that claims far more bytes than there are.
    EXPECT_FALSE(read_midi_file(header(0, 1, 96) + "MTrk" + be(0x7FFFFFFF, 4) + "\x00\x90", &why));
    // A data byte with no status before it, and a length quantity that never ends.
    EXPECT_FALSE(read_midi_file(header(0, 1, 96) + chunk("MTrk", bytes("00 3C 40")), &why));
    EXPECT_FALSE(read_midi_file(header(0, 1, 96) + chunk("MTrk", bytes("FF FF FF FF FF")), &why));
    EXPECT_FALSE(read_midi_file(header(0, 1, 0), &why));  // division 0
}

}  // namespace
}  // namespace quillon
