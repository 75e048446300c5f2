// The sound output of a run: one audio device (SDL, through SDL_mixer, which also decodes
// sound files), one FluidSynth synthesizer with the General MIDI sound font, the sources that
// play into them, and an optional WAV recording of everything. Without a device (headless,
// none opens, or SDL_mixer cannot be loaded) a thread of the engine's own mixes against the
// steady clock instead, so that plays take their time and recordings keep the wall clock's
// length even on a busy machine. Each part, and each library, opens on first use.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/wav_writer.h"
#include "platform/sound.h"

typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_hashtable_t fluid_settings_t;

namespace quillon {

inline constexpr int kAudioRate = 44100;
inline constexpr int kAudioChannels = 2;
inline constexpr int kAudioBufferFrames = 512;  // about 12 ms: notes start on time
inline constexpr int kSynthChannels = 32;       // 0 to 15 for melodies, 16 to 31 for MIDI files
inline constexpr int kFileChannelBase = 16;
inline constexpr char kDefaultSoundFont[] = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

struct AudioOptions {
    bool null_sink = false;   // never open a real device (headless)
    std::string record_path;  // everything that sounds is also written to this WAV file
    std::string sound_font = kDefaultSoundFont;
};

// Something the engine plays. Its methods run on the audio thread with the engine's mutex
// held; a source is added and removed under that mutex too.
class AudioSource {
  public:
    virtual ~AudioSource() = default;
    // Frames until the source next has MIDI messages to send; -1 when it has none.
    virtual int64_t frames_to_event() const { return -1; }
    // Sends the messages that are due to the synthesizer.
    virtual void send_due(fluid_synth_t* synth) {}
    // Adds `frames` frames of its sound to `mix` (stereo, 32-bit sums) and moves on by them.
    // Returns a completion to report once the mixing is done, or nothing.
    virtual std::function<void()> advance(int32_t* mix, int frames) = 0;
    // A one-shot source (a beep) that has played out is dropped.
    virtual bool finished() const { return false; }
};

class AudioEngine {
  public:
    explicit AudioEngine(AudioOptions options);
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // Starts the output; false when not even the silent driver could start.
    bool start_output();
    // The synthesizer, made with the sound font on first use; null when there is none.
    fluid_synth_t* synth(std::string* why = nullptr);

    std::mutex& mutex() { return mutex_; }
    void add(AudioSource* source);  // the caller holds mutex()
    void remove(AudioSource* source);
    void add_owned(std::unique_ptr<AudioSource> source);  // kept until it has finished

    // Decodes a sound file (WAV, OGG, MP3, FLAC) into the engine's format.
    std::optional<std::vector<int16_t>> decode(const std::string& utf8_path, MediaFailure& failure);
    void beep();

    // A channel message for the synthesizer (PLAY's notes). With a device it is sent at once;
    // with the silent output it takes effect at the frame of the moment it was sent, however
    // late the mixing thread runs on a busy machine, so recordings keep the music's timing.
    void send_midi(uint8_t status, uint8_t data1, uint8_t data2);
    void drop_queued_midi();  // the MIDI output closes
    // Lets a beep still sounding play out, then writes the recording's sizes and closes it.
    void close_recording();

  private:
    static void postmix(void* self, uint8_t* stream, int bytes);
    void mix(int16_t* out, int frames);
    bool open_device(bool silent);
    void pace_silently();  // the silent output's thread
    void drain_owned();
    void send_queued_midi(int64_t frame);  // those due by `frame`; mutex_ held
    int64_t frame_now() const;             // the silent output's frame for this moment

    AudioOptions options_;
    std::mutex setup_mutex_;  // start_output and synth, each once
    bool output_tried_ = false;
    bool output_running_ = false;
    bool silent_ = false;       // no device: pacer_ mixes
    bool device_open_ = false;  // SDL_mixer's device (also the silent driver's) is open
    std::atomic<bool> stopping_{false};
    std::thread pacer_;
    std::chrono::steady_clock::time_point output_start_;  // the silent output's frame 0
    bool synth_tried_ = false;
    std::string synth_error_;
    fluid_settings_t* settings_ = nullptr;

    std::mutex mutex_;  // the sources, the synth pointer the audio thread sees, the recording
    fluid_synth_t* synth_ = nullptr;
    std::vector<AudioSource*> sources_;
    std::vector<std::unique_ptr<AudioSource>> owned_;
    std::vector<int32_t> sums_;
    std::vector<int16_t> rendered_;
    struct QueuedMidi {
        int64_t frame;
        uint8_t status, data1, data2;
    };
    std::deque<QueuedMidi> midi_queue_;  // the silent output's messages, in time order
    int64_t mixed_frames_ = 0;           // frames mixed since the output started
    WavWriter recording_;
};

}  // namespace quillon
