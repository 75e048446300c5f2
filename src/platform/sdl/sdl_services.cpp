// The SDL platform's system services: the clock, sleeping and the settings store come from
// the shared POSIX helpers, fonts from the shared font library.
#include <algorithm>
#include <mutex>

#include "platform/fonts/system_font.h"
#include "platform/sdl/sdl_window.h"
#include "platform/system_services.h"

namespace quillon {

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

// The library is made with the first font: most windows open one font, some none.
std::unique_ptr<Font> SdlPlatform::open_font(const FontRecord& record) {
    std::lock_guard lock(fonts_mutex_);
    if (!fonts_) fonts_ = std::make_unique<FontLibrary>();
    return fonts_->open_font(record);
}

}  // namespace quillon
