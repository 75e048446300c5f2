// The system beep through SDL audio: a short tone on the default output device, opened on
// the first beep. Without an audio device a beep is silently nothing.
#pragma once

#include <SDL_audio.h>

#include <mutex>

namespace quillon {

inline constexpr int kBeepFrequencyHz = 880;
inline constexpr int kBeepDurationMs = 120;
inline constexpr int kBeepFadeMs = 5;           // ramps at both ends keep the tone from clicking
inline constexpr double kBeepAmplitude = 0.25;  // of full scale
inline constexpr int kBeepSampleRate = 44100;

class SdlBeeper {
  public:
    SdlBeeper() = default;
    SdlBeeper(const SdlBeeper&) = delete;
    SdlBeeper& operator=(const SdlBeeper&) = delete;
    ~SdlBeeper() { close(); }

    // Queues one beep and returns at once; a beep still waiting to play absorbs it.
    void beep();
    // Closes the device and SDL's audio; a later beep opens them again.
    void close();

  private:
    bool open_device();  // the caller holds mutex_

    std::mutex mutex_;
    bool audio_started_ = false;
    bool unavailable_ = false;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
};

}  // namespace quillon
