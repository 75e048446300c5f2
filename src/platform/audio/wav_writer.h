// A WAV file of 16-bit PCM written as sound is made: the header's sizes are brought up to date
// after every second of sound and when the file is closed, so a recording cut short (a process
// killed) is still readable up to its last second.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace quillon {

class WavWriter {
  public:
    WavWriter() = default;
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;
    ~WavWriter() { close(); }

    // Creates the file (replacing one that is there); false, with `why`, when it cannot.
    bool open(const std::string& path, int rate, int channels, std::string* why = nullptr);
    bool is_open() const { return file_ != nullptr; }
    // Appends interleaved frames; a failed write closes the recording.
    void write(const int16_t* samples, std::size_t count);
    // Writes the final sizes and closes the file.
    void close();

  private:
    void write_header();

    std::FILE* file_ = nullptr;
    int rate_ = 0;
    int channels_ = 0;
    uint64_t data_bytes_ = 0;
    uint64_t header_bytes_ = 0;  // the data size the header gives
};

}  // namespace quillon
