// The audio engine. SDL_mixer owns the device and calls the engine after each buffer
// (its post-mix hook); the engine renders the synthesizer there, in pieces cut at the times of
// MIDI file events, adds the sampled sources, and appends the result to the recording.
#include "platform/audio/audio_engine.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <thread>

#include "platform/audio/audio_devices.h"
#include "platform/audio/audio_libraries.h"

namespace quillon {
namespace {

constexpr int kBeepFrequencyHz = 880;
constexpr int kBeepDurationMs = 120;
constexpr int kBeepFadeMs = 5;           // ramps at both ends keep the tone from clicking
constexpr double kBeepAmplitude = 0.25;  // of full scale
constexpr double kSynthGain = 0.6;       // FluidSynth's 0.2 is too quiet beside sound files
constexpr int64_t kFileSizeMax = int64_t{1} << 30;  // a bigger sound file is refused
constexpr double kMediaSecondsMax = 20 * 60;        // about 200 MB decoded
constexpr int kPaceSliceMs = 5;                     // the silent output mixes this often
constexpr int kDrainWaitMs = 1000;                  // a beep still sounding at the end may finish

int16_t clip(int32_t sum) {
    return static_cast<int16_t>(std::clamp(sum, -32768, 32767));
}

// The beep: an 880 Hz tone with short ramps, as interleaved stereo frames.
std::vector<int16_t> beep_tone() {
    const int count = kAudioRate * kBeepDurationMs / 1000;
    const int ramp = kAudioRate * kBeepFadeMs / 1000;
    std::vector<int16_t> samples;
    samples.reserve(static_cast<std::size_t>(count) * kAudioChannels);
    for (int i = 0; i < count; ++i) {
        double envelope = std::min(
            {1.0, static_cast<double>(i) / ramp, static_cast<double>(count - 1 - i) / ramp});
        double phase = 2.0 * std::numbers::pi * kBeepFrequencyHz * i / kAudioRate;
        auto v = static_cast<int16_t>(
            std::lround(32767.0 * kBeepAmplitude * envelope * std::sin(phase)));
        samples.push_back(v);
        samples.push_back(v);
    }
    return samples;
}

// Plays a few frames once and is dropped.
class OneShot final : public AudioSource {
  public:
    explicit OneShot(std::vector<int16_t> samples) : samples_(std::move(samples)) {}
    std::function<void()> advance(int32_t* mix, int frames) override {
        std::size_t n = std::min(samples_.size() - at_, static_cast<std::size_t>(frames) * 2);
        for (std::size_t k = 0; k < n; ++k)
            mix[k] += samples_[at_ + k];
        at_ += n;
        return {};
    }
    bool finished() const override { return at_ >= samples_.size(); }

  private:
    std::vector<int16_t> samples_;
    std::size_t at_ = 0;
};

uint32_t little_endian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int k = count - 1; k >= 0; --k)
        value = value << 8 | bytes[k];
    return value;
}

// Seconds of sound in a WAV file: the data really there (a declared size may be a placeholder
// or a lie) over the byte rate of its format. -1 when the chunks do not tell.
double wave_seconds(SDL_RWops* file, Sint64 size) {
    uint8_t head[12];
    if (SDL_RWread(file, head, 1, 12) != 12) return -1;
    uint32_t byte_rate = 0;
    for (Sint64 at = 12; at + 8 <= size;) {
        uint8_t chunk[16];
        if (SDL_RWseek(file, at, RW_SEEK_SET) < 0 || SDL_RWread(file, chunk, 1, 8) != 8) break;
        const Sint64 length = little_endian(chunk + 4, 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && SDL_RWread(file, chunk + 8, 1, 8) == 8)
            byte_rate = little_endian(chunk + 12, 4);
        if (std::memcmp(chunk, "data", 4) == 0)
            return byte_rate == 0
                       ? -1
                       : static_cast<double>(std::min(length, size - at - 8)) / byte_rate;
        at += 8 + length + (length & 1);
    }
    return -1;
}

// Seconds of sound in a file, from its headers, without decoding it; -1 when unknown.
double sound_seconds(SDL_RWops* file, Sint64 size) {
    uint8_t magic[12] = {};
    bool wave = SDL_RWread(file, magic, 1, 12) == 12 && std::memcmp(magic, "RIFF", 4) == 0 &&
                std::memcmp(magic + 8, "WAVE", 4) == 0;
    SDL_RWseek(file, 0, RW_SEEK_SET);
    double seconds = -1;
    if (wave) {
        seconds = wave_seconds(file, size);
    } else if (Mix_Music* music = Mix_LoadMUS_RW(file, 0)) {
        seconds = Mix_MusicDuration(music);
        Mix_FreeMusic(music);
    }
    SDL_RWseek(file, 0, RW_SEEK_SET);
    return seconds;
}

// FluidSynth talks only through its return values here.
void silence_fluidsynth_log() {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
}

}  // namespace

AudioEngine::AudioEngine(AudioOptions options) : options_(std::move(options)) {}

AudioEngine::~AudioEngine() {
    if (output_running_) {
        drain_owned();
        stopping_ = true;
        if (pacer_.joinable()) pacer_.join();
    }
    if (device_open_) {
        Mix_SetPostMix(nullptr, nullptr);  // waits for a post-mix call in progress
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::lock_guard lock(mutex_);
    recording_.close();
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

void AudioEngine::close_recording() {
    bool running = false;
    {
        std::lock_guard setup(setup_mutex_);
        running = output_running_;
    }
    if (running) drain_owned();
    std::lock_guard lock(mutex_);
    recording_.close();
}

// Lets a beep that is still sounding play out (briefly) before the device closes.
void AudioEngine::drain_owned() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDrainWaitMs);
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (owned_.empty()) return;
        }
        if (std::chrono::steady_clock::now() > deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool AudioEngine::open_device(bool silent) {
    // The silent driver paces the mixing in real time without any sound hardware.
    if (silent)
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    else
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);  // SDL_AUDIODRIVER, or SDL's own choice
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // No output device: opening one would only log failures.
    bool usable = silent || SDL_GetNumAudioDevices(0) != 0;
    if (usable && Mix_OpenAudioDevice(kAudioRate, AUDIO_S16SYS, kAudioChannels, kAudioBufferFrames,
                                      nullptr, 0) == 0)
        return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
}

bool AudioEngine::start_output() {
    std::lock_guard setup(setup_mutex_);
    if (output_tried_) return output_running_;
    output_tried_ = true;
    // The silent driver's device only serves SDL_mixer's decoding: its pace drifts when the
    // machine is busy, so the engine's own thread does the mixing then. Without SDL_mixer
    // there is no device at all, and the engine's thread keeps the silent time by itself.
    const bool mixer = mixer_library().available();
    silent_ = !mixer || options_.null_sink || !open_device(false);
    if (silent_ && mixer && !open_device(true)) return false;
    device_open_ = mixer;
    {
        std::lock_guard lock(mutex_);
        if (!options_.record_path.empty())
            recording_.open(options_.record_path, kAudioRate, kAudioChannels);
    }
    if (device_open_) Mix_AllocateChannels(0);  // every sound goes through the engine's sources
    if (silent_) {
        output_start_ = std::chrono::steady_clock::now();
        try {
            pacer_ = std::thread(&AudioEngine::pace_silently, this);
        } catch (const std::system_error&) {
            if (device_open_) {
                Mix_CloseAudio();
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                device_open_ = false;
            }
            return false;
        }
    } else {
        Mix_SetPostMix(postmix, this);
    }
    output_running_ = true;
    return true;
}

// Mixes as many frames as the steady clock says have passed since the output started, in
// buffers of the device's size, catching up after any delay.
void AudioEngine::pace_silently() {
    std::vector<int16_t> buffer(static_cast<std::size_t>(kAudioBufferFrames) * kAudioChannels);
    int64_t produced = 0;
    while (!stopping_) {
        const int64_t due = frame_now();
        while (produced < due && !stopping_) {
            int frames = static_cast<int>(std::min<int64_t>(kAudioBufferFrames, due - produced));
            std::fill(buffer.begin(), buffer.end(), int16_t{0});
            mix(buffer.data(), frames);
            produced += frames;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPaceSliceMs));
    }
}

fluid_synth_t* AudioEngine::synth(std::string* why) {
    std::lock_guard setup(setup_mutex_);
    if (!synth_tried_) {
        synth_tried_ = true;
        // Without FluidSynth there is no synthesizer, as without a sound font: the run goes on.
        const bool loaded = fluidsynth_library().available();
        if (loaded) {
            silence_fluidsynth_log();
            settings_ = new_fluid_settings();
        }
        fluid_synth_t* made = nullptr;
        if (settings_) {
            fluid_settings_setnum(settings_, "synth.sample-rate", kAudioRate);
            fluid_settings_setint(settings_, "synth.midi-channels", kSynthChannels);
            fluid_settings_setnum(settings_, "synth.gain", kSynthGain);
            fluid_settings_setint(settings_, "synth.threadsafe-api", 1);
            // Every sample is read with the font, so that a tone change never holds up a note
            // (loading a tone's samples on demand takes a noticeable moment).
            fluid_settings_setint(settings_, "synth.lock-memory", 0);
            made = new_fluid_synth(settings_);
        }
        if (!loaded) {
            synth_error_ = "FluidSynth cannot be loaded";
        } else if (!made) {
            synth_error_ = "the synthesizer could not be made";
        } else if (fluid_synth_sfload(made, options_.sound_font.c_str(), 1) == FLUID_FAILED) {
            synth_error_ = "no sound font at " + options_.sound_font;
            delete_fluid_synth(made);
            made = nullptr;
        }
        std::lock_guard lock(mutex_);
        synth_ = made;
    }
    if (why) *why = synth_error_;
    std::lock_guard lock(mutex_);
    return synth_;
}

void AudioEngine::add(AudioSource* source) {
    sources_.push_back(source);
}

void AudioEngine::remove(AudioSource* source) {
    std::erase(sources_, source);
}

void AudioEngine::add_owned(std::unique_ptr<AudioSource> source) {
    std::lock_guard lock(mutex_);
    sources_.push_back(source.get());
    owned_.push_back(std::move(source));
}

void AudioEngine::beep() {
    if (!start_output()) return;
    {
        std::lock_guard lock(mutex_);
        for (auto& source : owned_)
            if (!source->finished()) return;  // a beep still sounding absorbs this one
    }
    add_owned(std::make_unique<OneShot>(beep_tone()));
}

std::optional<std::vector<int16_t>> AudioEngine::decode(const std::string& utf8_path,
                                                        MediaFailure& failure) {
    if (!mixer_library().available()) {  // no reader for sound files: the run goes on
        std::FILE* file = std::fopen(utf8_path.c_str(), "rb");
        failure = file ? MediaFailure::Unsupported : MediaFailure::NotFound;
        if (file) std::fclose(file);
        return std::nullopt;
    }
    SDL_RWops* file = SDL_RWFromFile(utf8_path.c_str(), "rb");
    if (!file) {
        failure = MediaFailure::NotFound;
        return std::nullopt;
    }
    Sint64 size = SDL_RWsize(file);
    if (size <= 0 || size > kFileSizeMax || !start_output()) {
        SDL_RWclose(file);
        failure =
            size <= 0 || size > kFileSizeMax ? MediaFailure::BadFormat : MediaFailure::Unsupported;
        return std::nullopt;
    }
    // Decoding is all at once, so the length is checked first: a small file (silence, or a
    // tiny sample rate) can stand for hours of sound.
    double seconds = sound_seconds(file, size);
    if (seconds < 0 || seconds > kMediaSecondsMax) {
        SDL_RWclose(file);
        failure = seconds < 0 ? MediaFailure::BadFormat : MediaFailure::Unsupported;
        return std::nullopt;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 1);
    if (!chunk) {
        failure = MediaFailure::BadFormat;
        return std::nullopt;
    }
    std::vector<int16_t> samples(chunk->alen / sizeof(int16_t));
    std::memcpy(samples.data(), chunk->abuf, samples.size() * sizeof(int16_t));
    Mix_FreeChunk(chunk);
    samples.resize(samples.size() - samples.size() % kAudioChannels);
    return samples;
}

int64_t AudioEngine::frame_now() const {
    auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - output_start_);
    return elapsed.count() * kAudioRate / 1000000;
}

void AudioEngine::send_midi(uint8_t status, uint8_t data1, uint8_t data2) {
    std::unique_lock lock(mutex_);
    fluid_synth_t* synth = synth_;
    if (!synth) return;
    if (!silent_) {
        lock.unlock();  // the synthesizer has its own lock
        send_to_synth(synth, status & 0x0F, status, data1, data2);
        return;
    }
    midi_queue_.push_back({frame_now(), status, data1, data2});
}

void AudioEngine::drop_queued_midi() {
    std::lock_guard lock(mutex_);
    midi_queue_.clear();
}

void AudioEngine::send_queued_midi(int64_t frame) {
    while (!midi_queue_.empty() && midi_queue_.front().frame <= frame) {
        const QueuedMidi& m = midi_queue_.front();
        if (synth_) send_to_synth(synth_, m.status & 0x0F, m.status, m.data1, m.data2);
        midi_queue_.pop_front();
    }
}

void AudioEngine::postmix(void* self, uint8_t* stream, int bytes) {
    static_cast<AudioEngine*>(self)->mix(
        reinterpret_cast<int16_t*>(stream),
        bytes / static_cast<int>(sizeof(int16_t) * kAudioChannels));
}

// One buffer: the synthesizer in pieces up to each source's next MIDI message, the sampled
// sources over it, then the completions and the recording.
void AudioEngine::mix(int16_t* out, int frames) {
    std::lock_guard lock(mutex_);
    const auto samples = static_cast<std::size_t>(frames) * kAudioChannels;
    sums_.assign(out, out + samples);
    rendered_.resize(samples);
    std::vector<std::function<void()>> completions;
    int done = 0;
    while (done < frames) {
        int step = frames - done;
        send_queued_midi(mixed_frames_ + done);
        if (!midi_queue_.empty())
            step = static_cast<int>(
                std::min<int64_t>(step, midi_queue_.front().frame - mixed_frames_ - done));
        for (AudioSource* source : sources_) {
            if (synth_ && source->frames_to_event() == 0) source->send_due(synth_);
            int64_t next = source->frames_to_event();
            if (next > 0) step = static_cast<int>(std::min<int64_t>(step, next));
        }
        int32_t* sums = sums_.data() + static_cast<std::size_t>(done) * kAudioChannels;
        if (synth_) {
            fluid_synth_write_s16(synth_, step, rendered_.data(), 0, 2, rendered_.data(), 1, 2);
            for (std::size_t k = 0; k < static_cast<std::size_t>(step) * kAudioChannels; ++k)
                sums[k] += rendered_[k];
        }
        for (AudioSource* source : sources_)
            if (auto completion = source->advance(sums, step))
                completions.push_back(std::move(completion));
        done += step;
    }
    mixed_frames_ += frames;
    for (std::size_t k = 0; k < samples; ++k)
        out[k] = clip(sums_[k]);
    std::erase_if(owned_, [this](const std::unique_ptr<AudioSource>& source) {
        if (!source->finished()) return false;
        remove(source.get());
        return true;
    });
    recording_.write(out, samples);
    for (auto& completion : completions)
        completion();
}

}  // namespace quillon
