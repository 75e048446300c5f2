// The system beep: a sine tone with short ramps, queued on an SDL audio device that stays
// open until the platform goes away, so that a beep is never cut short.
#include "platform/sdl/sdl_beep.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace quillon {
namespace {

// One beep as signed 16-bit mono samples at `rate`.
std::vector<int16_t> beep_samples(int rate) {
    const int count = rate * kBeepDurationMs / 1000;
    const int ramp = std::max(1, rate * kBeepFadeMs / 1000);
    std::vector<int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        double envelope = std::min(
            {1.0, static_cast<double>(i) / ramp, static_cast<double>(count - 1 - i) / ramp});
        double phase = 2.0 * std::numbers::pi * kBeepFrequencyHz * i / rate;
        samples[static_cast<std::size_t>(i)] = static_cast<int16_t>(
            std::lround(32767.0 * kBeepAmplitude * envelope * std::sin(phase)));
    }
    return samples;
}

}  // namespace

void SdlBeeper::close() {
    std::lock_guard lock(mutex_);
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (audio_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device_ = 0;
    audio_started_ = false;
    unavailable_ = false;
}

bool SdlBeeper::open_device() {
    if (device_ != 0) return true;
    if (unavailable_) return false;
    if (!audio_started_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            unavailable_ = true;
            return false;
        }
        audio_started_ = true;
    }
    if (SDL_GetNumAudioDevices(0) == 0) {  // no output device: opening one only logs failures
        unavailable_ = true;
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kBeepSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 1024;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &spec_, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) {
        unavailable_ = true;
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlBeeper::beep() {
    std::lock_guard lock(mutex_);
    if (!open_device()) return;
    if (SDL_GetQueuedAudioSize(device_) > 0) return;  // a beep is still playing
    std::vector<int16_t> samples = beep_samples(spec_.freq);
    SDL_QueueAudio(device_, samples.data(), static_cast<Uint32>(samples.size() * sizeof(int16_t)));
}

}  // namespace quillon
