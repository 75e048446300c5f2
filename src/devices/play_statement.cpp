// PLAY: one thread per melody string, each sending its notes on its own MIDI channel. The
// voices keep time against one clock from one start time, and PLAY returns when all have
// ended. The steady clock and the voice threads' waits are in this file too.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "devices/sound.h"
#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr int64_t kWaitSliceMs = 10;  // a waiting voice looks at the stop flag this often
constexpr uint8_t kNoteOnStatus = 0x90;
constexpr uint8_t kProgramStatus = 0xC0;

constexpr char kNoMidiDevice[] =
    "Midi\x8Fo\x97\xCD\x83"
    "f\x83o\x83"
    "C\x83X\x82\xAA\x83"
    "C\x83\x93\x83X\x83g\x81[\x83\x8B"
    "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xC8\x82\xA2\x89\xC2\x94\x5C\x90\xAB\x82\xAA\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB7";  // Midi出力デバイスがインストールされていない可能性があります
constexpr char kCannotStartVoice[] =
    "\x89\xB9\x90\xBA\x82\xCC\x8D\xC4\x90\xB6\x82\xF0\x8En\x82\xDF\x82\xE7\x82\xEA\x82\xDC\x82"
    "\xB9\x82\xF1";  // 音声の再生を始められません

// The first PLAY of a run opens the MIDI output and gives every channel tone 0.
bool open_midi(Runtime& rt) {
    auto& sound = rt.devices.sound;
    if (sound.midi) return true;
    MidiOpenResult opened = rt.platform.open_midi_out();
    if (!opened.device) {
        report_error(rt, kOwnMessage, opened.no_device ? kNoMidiDevice : opened.error);
        return false;
    }
    sound.midi = std::move(opened.device);
    std::string ignored;
    for (int channel = 0; channel < kVoiceCount; ++channel)
        sound.midi->send(static_cast<uint8_t>(kProgramStatus + channel), tone_program(0), 0,
                         ignored);
    return true;
}

// The argument text cut at commas outside brackets and quotes: an empty piece before a comma
// takes no voice, the last piece always does.
std::vector<std::string_view> voice_pieces(std::string_view args) {
    std::vector<std::string_view> pieces;
    for (;;) {
        std::size_t comma = first_comma(args, true);
        if (comma == std::string_view::npos) break;
        if (comma > 0) pieces.push_back(args.substr(0, comma));
        args.remove_prefix(comma + 1);
    }
    pieces.push_back(args);
    return pieces;
}

// A melody string's value as the bytes the voice reads: no quotes, no blanks.
bool voice_text(Runtime& rt, std::string_view piece, std::string& text) {
    std::string value;
    if (!piece.empty()) eval_string(rt, piece, value);
    if (rt.host.stop) return false;
    std::string stripped;
    if (is_quoted(value))
        strip_blanks(std::string_view(value).substr(1, value.size() - 2), stripped);
    return decode_string(rt, stripped, text);
}

// What the voices of one PLAY share besides the runtime.
struct Performance {
    explicit Performance(Runtime& runtime) : rt(runtime) {}
    Runtime& rt;
    int64_t start_ms = 0;
    std::atomic<bool> failed{false};  // a voice could not send: the others end too
    std::mutex mutex;                 // guards error and the running-voice count's waiters
    std::condition_variable all_ended;
    std::string error;

    bool stopped() const { return rt.host.stop || failed; }
    void fail(std::string why) {
        std::lock_guard lock(mutex);
        if (!failed.exchange(true)) error = std::move(why);
    }
    void voice_ended() {
        std::lock_guard lock(mutex);
        if (--rt.devices.sound.running_voices == 0) all_ended.notify_all();
    }
};

bool send_event(MidiOut& midi, int voice, const MelodyEvent& event, std::string& error) {
    auto channel = static_cast<uint8_t>(voice);
    switch (event.kind) {
        case MelodyEvent::Kind::ProgramChange:
            return midi.send(kProgramStatus + channel, event.value, 0, error);
        case MelodyEvent::Kind::NoteOn:
            return midi.send(kNoteOnStatus + channel, event.value, kNoteVelocity, error);
        case MelodyEvent::Kind::NoteOff:
            return midi.send(kNoteOnStatus + channel, event.value, 0, error);
    }
    return true;
}

// One voice thread: the melody's events at their times, then the rest of its last rest.
void play_voice(Performance& show, int voice, const std::string& text) {
    auto& sound = show.rt.devices.sound;
    VoiceClock& clock = *sound.clock;
    auto stopped = [&show] { return show.stopped(); };
    MelodyReader reader(text, sound.voices[static_cast<std::size_t>(voice)]);
    MelodyEvent event;
    std::string error;
    bool whole = true;
    while (!show.stopped() && reader.next(event)) {
        // A stop during the wait ends the voice at once, before its note-off.
        if (!clock.wait_until(show.start_ms + event.at_ms, stopped)) {
            whole = false;
            break;
        }
        if (!send_event(*sound.midi, voice, event, error)) {
            show.fail(error);
            whole = false;
            break;
        }
    }
    if (whole) clock.wait_until(show.start_ms + reader.time_ms(), stopped);
    show.voice_ended();
}

}  // namespace

int64_t SteadyVoiceClock::now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool SteadyVoiceClock::wait_until(int64_t ms, const std::function<bool()>& stopped) {
    for (;;) {
        if (stopped()) return false;
        int64_t left = ms - now_ms();
        if (left <= 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kWaitSliceMs)));
    }
}

void play_statement(Runtime& rt, StatementContext& ctx) {
    if (ctx.args.size() >= 5 &&
        equals_ignoring_case(std::string_view(ctx.args).substr(0, 5), "alloc"))
        return;
    auto pieces = voice_pieces(ctx.args);
    if (pieces.size() > static_cast<std::size_t>(kVoiceCount))
        return report_error(rt, kArgumentCount);  // eight channels, eight voices
    if (!open_midi(rt)) return;
    std::vector<std::string> texts(pieces.size());
    for (std::size_t v = 0; v < pieces.size(); ++v)
        if (!voice_text(rt, pieces[v], texts[v])) return;

    auto& sound = rt.devices.sound;
    Performance show(rt);
    show.start_ms = sound.clock->now_ms();
    sound.running_voices = static_cast<int>(texts.size());
    std::vector<std::thread> threads;
    threads.reserve(texts.size());
    for (std::size_t v = 0; v < texts.size(); ++v) {
        try {
            threads.emplace_back(play_voice, std::ref(show), static_cast<int>(v),
                                 std::cref(texts[v]));
        } catch (const std::system_error&) {
            show.fail(kCannotStartVoice);
            for (std::size_t rest = v; rest < texts.size(); ++rest)
                show.voice_ended();  // the voices that never started
            break;
        }
    }
    {
        std::unique_lock lock(show.mutex);
        show.all_ended.wait(lock, [&] { return sound.running_voices == 0; });
    }
    for (auto& thread : threads)
        thread.join();
    if (show.failed) report_error(rt, kOwnMessage, show.error);
}

}  // namespace quillon
