// State of the sound statements: the MIDI output and the voice settings of PLAY, the open
// media devices of MCI and the assignment their completion runs.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/melody.h"
#include "platform/sound.h"

namespace quillon {

// The clock PLAY's voices keep time by. All voices of one PLAY count from one start time, so
// they stay together however long the melody.
class VoiceClock {
  public:
    virtual ~VoiceClock() = default;
    virtual int64_t now_ms() = 0;
    // Waits until `ms`, or less when `stopped` becomes true (false is returned then).
    virtual bool wait_until(int64_t ms, const std::function<bool()>& stopped) = 0;
};

// The steady clock of the machine, waiting in short slices so that a stop is seen at once.
class SteadyVoiceClock final : public VoiceClock {
  public:
    int64_t now_ms() override;
    bool wait_until(int64_t ms, const std::function<bool()>& stopped) override;
};

// One device opened by MCI: a media file under its alias.
struct MediaDevice {
    std::string alias;    // matched without regard to ASCII letter case
    std::string element;  // the file as the command named it
    MediaKind kind = MediaKind::Wave;
    std::unique_ptr<MediaStream> stream;
    // A play with notify has not ended yet: whoever clears it (the end of the play on the
    // audio thread, or a command that aborts it) posts the notification.
    std::shared_ptr<std::atomic<bool>> notify_pending = std::make_shared<std::atomic<bool>>(false);
};

struct SoundState {
    std::array<VoiceSettings, kVoiceCount> voices;
    std::unique_ptr<MidiOut> midi;  // opened by the first PLAY, closed at program end
    std::atomic<int> running_voices{0};
    std::shared_ptr<VoiceClock> clock = std::make_shared<SteadyVoiceClock>();

    std::vector<MediaDevice> media;
    std::string notify_assignment;  // "NAME=1", run when a play with notify ends
};

}  // namespace quillon
