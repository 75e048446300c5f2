// Stand-ins for the shared POSIX services and the FreeType fonts until those land: the clock,
// sleeping, settings kept in memory, and a box font. Removed when the shared helpers arrive.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/sdl/sdl_window.h"

namespace quillon {
namespace {

class StandInFont : public Font {
  public:
    explicit StandInFont(int height) {
        metrics_.height = height;
        metrics_.ascent = height - 2;
    }
    const FontMetrics& metrics() const override { return metrics_; }
    int advance(unsigned code) const override { return code > 0xFF ? 16 : 8; }
    void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
              int32_t background) const override {
        for (int row = y; row < y + metrics_.height; ++row)
            for (int col = x; col < x + advance(code); ++col) {
                if (col < 0 || row < 0 || col >= target.width || row >= target.height) continue;
                bool ink = code != ' ' && row > y + 1 && row < y + metrics_.height - 2 && col > x;
                uint32_t& pixel = target.pixels[row * target.width + col];
                if (ink)
                    pixel = colour;
                else if (background >= 0)
                    pixel = static_cast<uint32_t>(background);
            }
    }

  private:
    FontMetrics metrics_;
};

}  // namespace

LocalTime SdlPlatform::local_time() const {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

int64_t SdlPlatform::epoch_seconds() const {
    return static_cast<int64_t>(std::time(nullptr));
}

void SdlPlatform::sleep_ms(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(0, milliseconds)));
}

bool SdlPlatform::setting_key_exists(std::string_view key) {
    std::lock_guard lock(state_mutex_);
    return settings_.count(std::string(key)) != 0;
}

bool SdlPlatform::create_setting_key(std::string_view key) {
    std::lock_guard lock(state_mutex_);
    settings_[std::string(key)];
    return true;
}

std::optional<std::string> SdlPlatform::read_setting(std::string_view key, std::string_view value) {
    std::lock_guard lock(state_mutex_);
    auto k = settings_.find(std::string(key));
    if (k == settings_.end()) return std::nullopt;
    auto v = k->second.find(std::string(value));
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

bool SdlPlatform::write_setting(std::string_view key, std::string_view value,
                                std::string_view text) {
    std::lock_guard lock(state_mutex_);
    settings_[std::string(key)][std::string(value)] = std::string(text);
    return true;
}

std::unique_ptr<Font> SdlPlatform::open_font(const FontRecord& record) {
    return std::make_unique<StandInFont>(record.height < 0 ? -record.height : 16);
}

}  // namespace quillon
