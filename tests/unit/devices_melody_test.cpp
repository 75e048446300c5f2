// The melody reader's schedule (notes, lengths, dots, ties, octave, tempo, tones, the skipped
// notes of a zero length or tempo) and PLAY through a recording MIDI output: channels, program
// changes, voices kept across statements, a ninth voice, device failures and the stop flag.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "devices/melody.h"
#include "host/error_report.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

using Kind = MelodyEvent::Kind;

struct Note {
    int note;
    int64_t on;
    int64_t off;
    bool operator==(const Note&) const = default;
};

// The notes a melody plays, as (note, on time, off time), and the voice's end time.
std::vector<Note> notes(std::string_view text, VoiceSettings& settings, int64_t* end = nullptr) {
    MelodyReader reader(text, settings);
    std::vector<Note> out;
    MelodyEvent event;
    while (reader.next(event)) {
        if (event.kind == Kind::NoteOn) out.push_back({event.value, event.at_ms, -1});
        if (event.kind == Kind::NoteOff) {
            EXPECT_EQ(out.back().note, event.value);
            out.back().off = event.at_ms;
        }
    }
    if (end) *end = reader.time_ms();
    return out;
}

std::vector<Note> notes(std::string_view text) {
    VoiceSettings settings;
    return notes(text, settings);
}

TEST(MelodyReader, NotesLengthsDotsAndTies) {
    EXPECT_EQ(notes("CDE"), (std::vector<Note>{{60, 0, 500}, {62, 500, 1000}, {64, 1000, 1500}}));
    EXPECT_EQ(notes("T60C"), (std::vector<Note>{{60, 0, 1000}}));
    EXPECT_EQ(notes("T240C4."), (std::vector<Note>{{60, 0, 375}}));
    EXPECT_EQ(notes("C4^8"), (std::vector<Note>{{60, 0, 750}}));
    EXPECT_EQ(notes("C4^8."), (std::vector<Note>{{60, 0, 875}}));  // 500 + trunc(250 * 1.5)
    EXPECT_EQ(notes("C^"), (std::vector<Note>{{60, 0, 500}}));     // a tie without digits adds 0
    EXPECT_EQ(notes("C3"), (std::vector<Note>{{60, 0, 666}}));     // trunc(500 / 0.75)
    EXPECT_EQ(
        notes("C1C2C8C16"),
        (std::vector<Note>{{60, 0, 2000}, {60, 2000, 3000}, {60, 3000, 3250}, {60, 3250, 3375}}));
    EXPECT_EQ(notes("C+."), (std::vector<Note>{{61, 0, 750}}));  // a dot right after the sign
    EXPECT_EQ(notes("T7C"), (std::vector<Note>{{60, 0, 8571}}));
    EXPECT_EQ(notes("T3C"), (std::vector<Note>{{60, 0, 20000}}));  // trunc(60 / 3 * 1000)
}

TEST(MelodyReader, OctavesSharpsFlatsAndCase) {
    EXPECT_EQ(notes("O5C"), (std::vector<Note>{{72, 0, 500}}));
    EXPECT_EQ(notes("O3B-"), (std::vector<Note>{{58, 0, 500}}));
    EXPECT_EQ(notes("C+D-"), (std::vector<Note>{{61, 0, 500}, {61, 500, 1000}}));
    EXPECT_EQ(notes("o5c8"), (std::vector<Note>{{72, 0, 250}}));
    EXPECT_EQ(notes("O10C"), (std::vector<Note>{{24, 0, 500}}));  // one digit: O1, the 0 skipped
    EXPECT_EQ(notes("O"), (std::vector<Note>{}));
}

TEST(MelodyReader, RestsAndSkippedCharacters) {
    int64_t end = 0;
    VoiceSettings settings;
    EXPECT_EQ(notes("CP2D", settings, &end), (std::vector<Note>{{60, 0, 500}, {62, 1500, 2000}}));
    EXPECT_EQ(notes("C#RLV<>5D"), (std::vector<Note>{{60, 0, 500}, {62, 500, 1000}}));
    EXPECT_EQ(notes("CP8", settings, &end).size(), 1u);
    EXPECT_EQ(end, 750);  // a trailing rest still takes its time
}

TEST(MelodyReader, ZeroLengthsAndTemposSkipTheNote) {
    int64_t end = 0;
    VoiceSettings settings;
    EXPECT_EQ(notes("C0D", settings, &end), (std::vector<Note>{{62, 0, 500}}));
    EXPECT_EQ(notes("C0^4"), (std::vector<Note>{}));
    EXPECT_EQ(notes("P0C"), (std::vector<Note>{{60, 0, 500}}));
    EXPECT_EQ(notes("T0CDT120E", settings, &end), (std::vector<Note>{{64, 0, 500}}));
    EXPECT_EQ(notes("TCD"), (std::vector<Note>{}));  // "T" alone is tempo 0
    EXPECT_EQ(notes("T99999999999999C"), (std::vector<Note>{}));
    EXPECT_EQ(notes("C99999999999999D"), (std::vector<Note>{{62, 0, 500}}));
}

TEST(MelodyReader, NotesOutsideTheMidiRangeKeepTheirTimeSilently) {
    // "OZ" sets octave 42 (the code of Z minus that of 0): far above note 127.
    EXPECT_EQ(notes("OZCO4D"), (std::vector<Note>{{62, 500, 1000}}));
    EXPECT_EQ(notes("O/CO.C"), (std::vector<Note>{{0, 0, 500}}));  // octave -1, then -2
}

TEST(MelodyReader, ToneTableAndProgramChanges) {
    EXPECT_EQ(tone_program(1), 63);
    EXPECT_EQ(tone_program(11), 6);
    EXPECT_EQ(tone_program(12), 112);
    EXPECT_EQ(tone_program(80), 40);
    EXPECT_EQ(tone_program(0), 6);
    EXPECT_EQ(tone_program(-3), 6);
    EXPECT_EQ(tone_program(81), 6);
    VoiceSettings settings;
    MelodyReader reader("C@7D@", settings);
    std::vector<std::pair<Kind, int>> events;
    MelodyEvent event;
    while (reader.next(event))
        if (event.kind == Kind::ProgramChange) events.push_back({event.kind, event.value});
    EXPECT_EQ(events, (std::vector<std::pair<Kind, int>>{{Kind::ProgramChange, 73},
                                                         {Kind::ProgramChange, 6}}));
}

TEST(MelodyReader, SettingsCarryOverAndLongTextsEnd) {
    VoiceSettings settings;
    notes("O5T60", settings);
    EXPECT_EQ(notes("C", settings), (std::vector<Note>{{72, 0, 1000}}));
    std::string long_text(100000, 'X');
    long_text += "T240C";
    int64_t end = 0;
    EXPECT_EQ(notes(long_text, settings, &end), (std::vector<Note>{{72, 0, 250}}));
    EXPECT_EQ(end, 250);
}

// ---- PLAY through a recording MIDI output ----

struct Message {
    uint8_t status, data1, data2;
    int64_t at;  // the time the voice waited for before sending
    bool operator==(const Message&) const = default;
};

thread_local int64_t scheduled_ms = 0;

// Waits for nothing: the schedule is recorded instead of slept through.
class ScheduleClock : public VoiceClock {
  public:
    int64_t now_ms() override { return 1000; }
    bool wait_until(int64_t ms, const std::function<bool()>& stopped) override {
        scheduled_ms = ms - 1000;
        return !stopped();
    }
};

struct Recording {
    std::mutex mutex;
    std::vector<Message> messages;
    int fail_after = -1;  // sends that succeed before the device fails
    std::vector<Message> channel(int ch) {
        std::vector<Message> out;
        for (const auto& m : messages)
            if (m.status == 0x90 + ch) out.push_back(m);
        return out;
    }
};

class RecordingMidi : public MidiOut {
  public:
    explicit RecordingMidi(Recording& r) : r_(r) {}
    bool send(uint8_t status, uint8_t d1, uint8_t d2, std::string& error) override {
        std::lock_guard lock(r_.mutex);
        if (r_.fail_after == 0) {
            error = "device gone";
            return false;
        }
        if (r_.fail_after > 0) --r_.fail_after;
        r_.messages.push_back({status, d1, d2, scheduled_ms});
        return true;
    }

  private:
    Recording& r_;
};

struct PlayFixture : RuntimeFixture {
    Recording recording;
    int opens = 0;
    explicit PlayFixture(std::string program, bool schedule_clock = true)
        : RuntimeFixture(std::move(program)) {
        platform.midi_device = [this] {
            ++opens;
            return MidiOpenResult{std::make_unique<RecordingMidi>(recording), false, {}};
        };
        if (schedule_clock) rt.devices.sound.clock = std::make_shared<ScheduleClock>();
    }
};

TEST(Play, OpensOnceGivesEveryChannelToneZeroAndPlaysOnChannelZero) {
    PlayFixture f("10 \x10Q \"C D E\"\n20 \x10Q \"c\"\n");
    f.run();
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.opens, 1);
    ASSERT_GE(f.recording.messages.size(), 8u);
    for (int ch = 0; ch < 8; ++ch)
        EXPECT_EQ(f.recording.messages[static_cast<std::size_t>(ch)],
                  (Message{static_cast<uint8_t>(0xC0 + ch), 6, 0, 0}));
    EXPECT_EQ(f.recording.channel(0), (std::vector<Message>{{0x90, 60, 0x60, 0},
                                                            {0x90, 60, 0, 500},
                                                            {0x90, 62, 0x60, 500},
                                                            {0x90, 62, 0, 1000},
                                                            {0x90, 64, 0x60, 1000},
                                                            {0x90, 64, 0, 1500},
                                                            {0x90, 60, 0x60, 0},
                                                            {0x90, 60, 0, 500}}));
}

TEST(Play, VoicesGoToTheirOwnChannelsAndKeepTheirSettings) {
    // Empty pieces between commas take no voice; the last piece always does.
    PlayFixture f(
        "10 \x10Q \"O5T60\",,\"@1O3\"\n20 \x10Q \"C\",\"C\",\"\"\n"
        "30 \x10Y\n40 \x10Q \"C\"\n");
    f.run();
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.recording.channel(0),
              (std::vector<Message>{{0x90, 72, 0x60, 0},  // octave 5, tempo 60 kept
                                    {0x90, 72, 0, 1000},
                                    {0x90, 60, 0x60, 0},  // CLEAR reset the voice
                                    {0x90, 60, 0, 500}}));
    EXPECT_EQ(f.recording.channel(1),
              (std::vector<Message>{{0x91, 48, 0x60, 0}, {0x91, 48, 0, 500}}));
    int program_changes = 0;
    for (const auto& m : f.recording.messages)
        if (m.status == 0xC1 && m.data1 == 63) ++program_changes;
    EXPECT_EQ(program_changes, 1);
}

TEST(Play, ANinthVoiceIsRefusedBeforeAnythingSounds) {
    PlayFixture f("10 \x10Q \"C\",\"C\",\"C\",\"C\",\"C\",\"C\",\"C\",\"C\",\"C\"\n");
    f.run();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(kArgumentCount, "", 10));
    EXPECT_TRUE(f.recording.messages.empty());
    EXPECT_EQ(f.opens, 0);
}

TEST(Play, AllocIsIgnoredAndMissingDeviceIsReported) {
    RuntimeFixture f("10 \x10Q ALLOC 100\n20 \x10Q \"C\"\n");
    f.run();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text,
              error_report_text(kOwnMessage,
                                "Midi\x8Fo\x97\xCD\x83"
                                "f\x83o\x83"
                                "C\x83X\x82\xAA\x83"
                                "C\x83\x93\x83X\x83g\x81[\x83\x8B\x82\xB3\x82\xEA\x82\xC4\x82"
                                "\xA2\x82\xC8\x82\xA2\x89\xC2\x94\x5C\x90\xAB\x82\xAA\x82\xA0"
                                "\x82\xE8\x82\xDC\x82\xB7",
                                20));
}

TEST(Play, ASendFailureStopsTheProgramWithTheDevicesText) {
    PlayFixture f("10 \x10Q \"CDEFG\",\"CDEFG\"\n20 \x10\x10 1\n");
    f.recording.fail_after = 8 + 3;
    f.run();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(kOwnMessage, "device gone", 10));
    EXPECT_EQ(f.platform.output, "");
    EXPECT_EQ(f.rt.devices.sound.running_voices, 0);
    EXPECT_EQ(f.rt.devices.sound.midi, nullptr);  // closed by the program end
}

TEST(Play, TheStopFlagEndsEveryVoiceAtOnceWithoutItsNoteOff) {
    PlayFixture f("10 \x10Q \"T60C1C1\",\"T60E1E1\"\n", false);
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        f.rt.host.stop = true;  // as closing the window does
    });
    auto started = std::chrono::steady_clock::now();
    f.run();
    closer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(f.recording.channel(0), (std::vector<Message>{{0x90, 60, 0x60, 0}}));
    EXPECT_EQ(f.recording.channel(1), (std::vector<Message>{{0x91, 64, 0x60, 0}}));
}

}  // namespace
}  // namespace quillon::testing
