// Sound devices behind the platform: the MIDI output that PLAY sends short messages to, and
// the media files that MCI commands play. Back-ends live in platform/audio/. Everything here
// may be used from several threads at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quillon {

class MidiOut {
  public:
    virtual ~MidiOut() = default;
    // Sends one short message: a status byte and its data bytes. False, with the device's
    // reason (Shift-JIS) in `error`, when it cannot be sent.
    virtual bool send(uint8_t status, uint8_t data1, uint8_t data2, std::string& error) = 0;
};

struct MidiOpenResult {
    std::unique_ptr<MidiOut> device;
    bool no_device = false;  // there is no MIDI output to open at all
    std::string error;       // why opening failed (Shift-JIS)
};

// What a media file holds: sampled sound (WAV, OGG, MP3, FLAC) or a standard MIDI file.
enum class MediaKind { Wave, Sequence };

enum class MediaFailure { None, NotFound, BadFormat, Unsupported };

// One open media file. Times are milliseconds from its start.
class MediaStream {
  public:
    virtual ~MediaStream() = default;  // stops it; no completion is reported afterwards
    virtual int64_t length_ms() const = 0;
    virtual int64_t position_ms() const = 0;
    virtual bool playing() const = 0;  // started and not stopped, paused or ended
    virtual bool paused() const = 0;
    // Plays from `from_ms` up to `to_ms`. `ended` is called once, on an audio thread, when the
    // play reaches `to_ms` by itself (not when it is stopped or replaced by another play).
    virtual void play(int64_t from_ms, int64_t to_ms, std::function<void()> ended) = 0;
    virtual void stop() = 0;  // keeps the position
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void seek(int64_t ms) = 0;  // stops at `ms`
};

}  // namespace quillon
