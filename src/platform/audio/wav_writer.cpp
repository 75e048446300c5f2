// The WAV writer: a RIFF header with one "fmt " and one "data" chunk, little-endian.
#include "platform/audio/wav_writer.h"

#include <cerrno>
#include <cstring>
#include <limits>

namespace quillon {
namespace {

constexpr uint64_t kDataMax = std::numeric_limits<uint32_t>::max() - 36;  // RIFF sizes are 32-bit

void put16(unsigned char*& p, uint32_t v) {
    *p++ = static_cast<unsigned char>(v);
    *p++ = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char*& p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p, v >> 16);
}

}  // namespace

bool WavWriter::open(const std::string& path, int rate, int channels, std::string* why) {
    close();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        if (why) *why = std::strerror(errno);
        return false;
    }
    rate_ = rate;
    channels_ = channels;
    data_bytes_ = 0;
    write_header();
    return true;
}

void WavWriter::write_header() {
    unsigned char header[44];
    unsigned char* p = header;
    header_bytes_ = data_bytes_;
    const auto data = static_cast<uint32_t>(data_bytes_);
    const auto block = static_cast<uint32_t>(channels_ * 2);
    std::memcpy(p, "RIFF", 4);
    p += 4;
    put32(p, 36 + data);
    std::memcpy(p, "WAVEfmt ", 8);
    p += 8;
    put32(p, 16);
    put16(p, 1);  // PCM
    put16(p, static_cast<uint32_t>(channels_));
    put32(p, static_cast<uint32_t>(rate_));
    put32(p, static_cast<uint32_t>(rate_) * block);
    put16(p, block);
    put16(p, 16);
    std::memcpy(p, "data", 4);
    p += 4;
    put32(p, data);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(header, 1, sizeof header, file_);
    std::fseek(file_, 0, SEEK_END);
}

void WavWriter::write(const int16_t* samples, std::size_t count) {
    if (!file_) return;
    const uint64_t bytes = count * sizeof(int16_t);
    if (data_bytes_ + bytes > kDataMax) return;  // the file is full: the rest is not kept
    unsigned char buffer[4096];
    std::size_t done = 0;
    while (done < count) {  // little-endian on every machine
        std::size_t n = std::min(count - done, sizeof buffer / 2);
        for (std::size_t k = 0; k < n; ++k) {
            auto v = static_cast<uint16_t>(samples[done + k]);
            buffer[2 * k] = static_cast<unsigned char>(v);
            buffer[2 * k + 1] = static_cast<unsigned char>(v >> 8);
        }
        if (std::fwrite(buffer, 2, n, file_) != n) {
            close();
            return;
        }
        done += n;
    }
    data_bytes_ += bytes;
    if (data_bytes_ - header_bytes_ >= static_cast<uint64_t>(rate_) * channels_ * 2) write_header();
}

void WavWriter::close() {
    if (!file_) return;
    write_header();
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace quillon
