// Media streams: sampled sound mixed frame by frame, and MIDI files whose messages go to the
// synthesizer at their frames. Both keep their position in frames of the engine's rate, under
// the engine's mutex, so that the audio thread and the interpreter see one state.
#include <fluidsynth.h>

#include <algorithm>
#include <utility>

#include "platform/audio/audio_devices.h"

namespace quillon {
namespace {

enum class PlayState { Stopped, Playing, Paused };

int64_t ms_to_frames(int64_t ms) {
    return ms * kAudioRate / 1000;
}

int64_t frames_to_ms(int64_t frames) {
    return frames * 1000 / kAudioRate;
}

// What both kinds share: the play state and position, the end of the play and its completion.
class StreamBase : public MediaStream, public AudioSource {
  public:
    // The engine plays the stream once it is whole (see join()), never a half-made one.
    explicit StreamBase(AudioEngine& engine, int64_t length_frames)
        : engine_(engine), length_(length_frames) {}
    void join() {
        std::lock_guard lock(engine_.mutex());
        engine_.add(this);
    }
    int64_t length_ms() const override { return frames_to_ms(length_); }
    int64_t position_ms() const override {
        std::lock_guard lock(engine_.mutex());
        return frames_to_ms(position_);
    }
    bool playing() const override {
        std::lock_guard lock(engine_.mutex());
        return state_ == PlayState::Playing;
    }
    bool paused() const override {
        std::lock_guard lock(engine_.mutex());
        return state_ == PlayState::Paused;
    }
    void play(int64_t from_ms, int64_t to_ms, std::function<void()> ended) override {
        std::lock_guard lock(engine_.mutex());
        position_ = std::clamp<int64_t>(ms_to_frames(from_ms), 0, length_);
        end_ = std::clamp<int64_t>(ms_to_frames(to_ms), position_, length_);
        ended_ = std::move(ended);
        state_ = PlayState::Playing;
        started();
    }
    void stop() override {
        std::lock_guard lock(engine_.mutex());
        halt(PlayState::Stopped);
    }
    void pause() override {
        std::lock_guard lock(engine_.mutex());
        if (state_ == PlayState::Playing) halt(PlayState::Paused);
    }
    void resume() override {
        std::lock_guard lock(engine_.mutex());
        if (state_ == PlayState::Paused) {
            state_ = PlayState::Playing;
            started();
        }
    }
    void seek(int64_t ms) override {
        std::lock_guard lock(engine_.mutex());
        halt(PlayState::Stopped);
        position_ = std::clamp<int64_t>(ms_to_frames(ms), 0, length_);
    }

  protected:
    // The first thing a stream's destructor does: the mixer no longer sees it afterwards.
    void remove_from_engine() {
        std::lock_guard lock(engine_.mutex());
        engine_.remove(this);
    }
    // The methods below run with the engine's mutex held (by a method above, or the mixer).
    void halt(PlayState state) {
        if (state_ == PlayState::Playing) silenced();
        state_ = state;
        if (state == PlayState::Stopped) ended_ = nullptr;
    }
    // The play reached its end: the completion to report.
    std::function<void()> reached_end() {
        halt(PlayState::Paused);
        state_ = PlayState::Stopped;
        return std::exchange(ended_, nullptr);
    }
    virtual void started() {}   // playing from position_ (again)
    virtual void silenced() {}  // no longer playing

    AudioEngine& engine_;
    const int64_t length_;
    int64_t position_ = 0;
    int64_t end_ = 0;
    PlayState state_ = PlayState::Stopped;
    std::function<void()> ended_;
};

class WaveStream final : public StreamBase {
  public:
    WaveStream(AudioEngine& engine, std::vector<int16_t> samples)
        : StreamBase(engine, static_cast<int64_t>(samples.size() / kAudioChannels)),
          samples_(std::move(samples)) {}
    ~WaveStream() override { remove_from_engine(); }

    std::function<void()> advance(int32_t* mix, int frames) override {
        if (state_ != PlayState::Playing) return {};
        int64_t n = std::min<int64_t>(frames, end_ - position_);
        const int16_t* from = samples_.data() + position_ * kAudioChannels;
        for (int64_t k = 0; k < n * kAudioChannels; ++k)
            mix[k] += from[k];
        position_ += n;
        return position_ >= end_ ? reached_end() : nullptr;
    }

  private:
    std::vector<int16_t> samples_;
};

class SequenceStream final : public StreamBase {
  public:
    SequenceStream(AudioEngine& engine, fluid_synth_t* synth, MidiSequence sequence)
        : StreamBase(engine, ms_to_frames(sequence.length_us / 1000)),
          synth_(synth),
          sequence_(std::move(sequence)) {}
    ~SequenceStream() override {
        remove_from_engine();
        std::lock_guard lock(engine_.mutex());
        silenced();
    }

    int64_t frames_to_event() const override {
        if (state_ != PlayState::Playing || next_ >= sequence_.events.size()) return -1;
        int64_t at = event_frame(next_);
        return at >= end_ ? -1 : std::max<int64_t>(0, at - position_);
    }
    void send_due(fluid_synth_t* synth) override {
        while (next_ < sequence_.events.size() && event_frame(next_) <= position_) {
            const auto& e = sequence_.events[next_++];
            send_to_synth(synth, kFileChannelBase + (e.status & 0x0F), e.status, e.data1, e.data2);
        }
    }
    std::function<void()> advance(int32_t*, int frames) override {
        if (state_ != PlayState::Playing) return {};
        position_ = std::min(end_, position_ + frames);
        return position_ >= end_ ? reached_end() : nullptr;
    }

  private:
    int64_t event_frame(std::size_t k) const {
        return sequence_.events[k].at_us * kAudioRate / 1000000;
    }
    // From a new position: the programs, controllers and bends set up to it are sent now, so
    // that the music sounds as it would had it played from the start.
    void started() override {
        next_ = 0;
        for (std::size_t k = 0; k < sequence_.events.size() && event_frame(k) <= position_; ++k) {
            const auto& e = sequence_.events[k];
            uint8_t kind = e.status & 0xF0;
            if (kind == 0xB0 || kind == 0xC0 || kind == 0xE0)
                send_to_synth(synth_, kFileChannelBase + (e.status & 0x0F), e.status, e.data1,
                              e.data2);
            if (event_frame(k) < position_) next_ = k + 1;
        }
    }
    void silenced() override {
        for (int channel = kFileChannelBase; channel < kSynthChannels; ++channel)
            fluid_synth_all_sounds_off(synth_, channel);
    }

    fluid_synth_t* synth_;
    MidiSequence sequence_;
    std::size_t next_ = 0;
};

}  // namespace

void send_to_synth(fluid_synth_t* synth, int channel, uint8_t status, uint8_t data1,
                   uint8_t data2) {
    switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, data1);
            break;
        case 0x90:
            fluid_synth_noteon(synth, channel, data1, data2);  // velocity 0 ends the note
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, channel, data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7);
            break;
        default:
            break;
    }
}

std::unique_ptr<MediaStream> make_wave_stream(AudioEngine& engine, std::vector<int16_t> samples) {
    auto stream = std::make_unique<WaveStream>(engine, std::move(samples));
    stream->join();
    return stream;
}

std::unique_ptr<MediaStream> make_sequence_stream(AudioEngine& engine, fluid_synth_t* synth,
                                                  MidiSequence sequence) {
    auto stream = std::make_unique<SequenceStream>(engine, synth, std::move(sequence));
    stream->join();
    return stream;
}

}  // namespace quillon
