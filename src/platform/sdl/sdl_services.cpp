// The SDL platform's system services: the clock, sleeping and the settings store come from
// the shared POSIX helpers; fonts are a stand-in box font until the FreeType rasterizer lands.
#include <algorithm>
#include <mutex>

#include "platform/sdl/sdl_window.h"
#include "platform/system_services.h"

namespace quillon {
namespace {

// Draws each character as a box of its colour (half-width 8, full-width 16 wide).
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
        for (int row = std::max(y, 0); row < std::min(y + metrics_.height, target.height); ++row)
            for (int col = std::max(x, 0); col < std::min(x + advance(code), target.width); ++col) {
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
    return local_time_now();
}

int64_t SdlPlatform::epoch_seconds() const {
    return epoch_seconds_now();
}

void SdlPlatform::sleep_ms(int milliseconds) {
    sleep_milliseconds(milliseconds);
}

bool SdlPlatform::setting_key_exists(std::string_view key) {
    std::lock_guard lock(settings_mutex_);
    return settings_.key_exists(key);
}

bool SdlPlatform::create_setting_key(std::string_view key) {
    std::lock_guard lock(settings_mutex_);
    return settings_.create_key(key);
}

std::optional<std::string> SdlPlatform::read_setting(std::string_view key, std::string_view value) {
    std::lock_guard lock(settings_mutex_);
    return settings_.read(key, value);
}

bool SdlPlatform::write_setting(std::string_view key, std::string_view value,
                                std::string_view text) {
    std::lock_guard lock(settings_mutex_);
    return settings_.write(key, value, text);
}

std::unique_ptr<Font> SdlPlatform::open_font(const FontRecord& record) {
    return std::make_unique<StandInFont>(record.height < 0 ? -record.height : 16);
}

}  // namespace quillon
