// The headless back-end: scripted keys handed over only when the program asks, scripted
// events before their statement counts, message boxes and screen text in the transcript.
#include "platform/headless/headless_platform.h"

#include <algorithm>

#include "platform/fonts/system_font.h"
#include "platform/system_services.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr int16_t kKeyDown = INT16_MIN;  // the high bit: the key is held
constexpr int kLeftButtonKey = 0x01;
constexpr int kRightButtonKey = 0x02;

// The arrow code a window's key press gives for the arrow virtual keys, or 0.
uint8_t arrow_code(int virtual_key) {
    switch (virtual_key) {
        case 0x25:
            return 0x1D;  // left
        case 0x26:
            return 0x1E;  // up
        case 0x27:
            return 0x1C;  // right
        case 0x28:
            return 0x1F;  // down
        default:
            return 0;
    }
}

// A sink given by the caller, or standard output: written at once when it is a terminal.
Transcript make_transcript(Transcript::Sink sink) {
    if (sink) return Transcript(std::move(sink), false);
    return Transcript(write_standard_output, standard_output_is_terminal());
}

}  // namespace

HeadlessPlatform::HeadlessPlatform(const HeadlessOptions& options, HeadlessInput input,
                                   Transcript::Sink sink, std::string settings_path)
    : screen_(options.screen),
      client_(options.window),
      rect_{0, 0, options.window.width, options.window.height},
      restored_rect_(rect_),
      title_(options.title),
      input_(std::move(input)),
      transcript_(make_transcript(std::move(sink))),
      settings_(settings_path.empty() ? SettingsFile::default_path() : std::move(settings_path)),
      devices_(DeviceOptions{true, options.audio_file, options.printer_file, settings_.path()}) {}

void HeadlessPlatform::run(WindowEvents& events, const std::function<void()>& worker) {
    events_ = &events;
    worker();
    catch_up();
    transcript_.flush(true);
    events_ = nullptr;
}

std::string HeadlessPlatform::window_title() const {
    return utf8_to_sjis(title_).value_or(title_);  // a name that is not UTF-8 is kept as it is
}

void HeadlessPlatform::message_box(std::string_view text, std::string_view title, MessageIcon) {
    transcript_.message_box(text, title);
}

void HeadlessPlatform::move_window(const Rect& rect) {
    set_window(rect);
}

void HeadlessPlatform::show_window(WindowShow how) {
    if (how == WindowShow::Maximized) {
        restored_rect_ = rect_;
        set_window(Rect{0, 0, screen_.width, screen_.height});
    } else if (how == WindowShow::Normal) {
        set_window(restored_rect_);
    }
}

// Without a frame the client area is the whole window; the surface follows at the next
// statement, as a window's size message would arrive.
void HeadlessPlatform::set_window(const Rect& rect) {
    rect_ = rect;
    Size size{std::max(rect.right - rect.left, 0), std::max(rect.bottom - rect.top, 0)};
    if (size.width == client_.width && size.height == client_.height) return;
    client_ = size;
    resize_wanted_ = true;
}

int16_t HeadlessPlatform::key_state(int virtual_key) const {
    if (virtual_key < 0 || virtual_key >= static_cast<int>(keys_down_.size())) return 0;
    return keys_down_[static_cast<std::size_t>(virtual_key)] ? kKeyDown : 0;
}

void HeadlessPlatform::want_keys(KeyDemand demand) {
    catch_up();
    transcript_.flush();
    if (!events_) return;
    const bool terminal = input_.keys_from_terminal;
    if (demand == KeyDemand::Line) {
        deliver_line();
    } else if (demand == KeyDemand::Character) {
        if (auto key = input_.keys.next(true))
            deliver_key(*key);
        else
            events_->close_requested();  // the script is used up: as if the window closed
    } else if (auto key = input_.keys.next(!terminal)) {
        deliver_key(*key);  // a poll takes a key when one is there, and never ends the program
    }
}

// Types keys into the waiting input statement up to and including the next Enter. Keys typed
// at a terminal were shown by the terminal already, so their echo is kept out of the transcript.
void HeadlessPlatform::deliver_line() {
    const bool echo_shown = input_.keys_from_terminal && standard_output_is_terminal();
    transcript_.set_muted(echo_shown);
    for (;;) {
        auto key = input_.keys.next(true);
        if (!key) {
            transcript_.set_muted(false);
            events_->close_requested();
            return;
        }
        deliver_key(*key);
        if (*key == kEnterKey) break;
    }
    transcript_.set_muted(false);
}

void HeadlessPlatform::deliver_key(uint8_t key) {
    events_->key_char(key);
}

// Nobody looks at a headless window between statements, so only resizes are applied here;
// repaints wait for a key request or the end of the run.
void HeadlessPlatform::before_statement(uint64_t count) {
    if (resize_wanted_) catch_up();
    const auto& events = input_.events;
    while (events_ && next_event_ < events.size() && events[next_event_].before <= count)
        deliver_event(events[next_event_++]);
}

void HeadlessPlatform::deliver_event(const ScriptedEvent& event) {
    switch (event.kind) {
        case ScriptedEvent::Kind::Mouse:
            if (event.mouse_event == 2 || event.mouse_event == 4)
                keys_down_[kLeftButtonKey] = event.mouse_event == 2;
            if (event.mouse_event == 3 || event.mouse_event == 5)
                keys_down_[kRightButtonKey] = event.mouse_event == 3;
            events_->mouse(event.mouse_event, event.x, event.y);
            break;
        case ScriptedEvent::Kind::KeyDown:
            keys_down_[static_cast<std::size_t>(event.key)] = true;
            if (uint8_t code = arrow_code(event.key)) events_->arrow_key(code);
            break;
        case ScriptedEvent::Kind::KeyUp:
            keys_down_[static_cast<std::size_t>(event.key)] = false;
            break;
        case ScriptedEvent::Kind::Close:
            events_->close_requested();
            break;
    }
}

void HeadlessPlatform::catch_up() {
    if (!events_) return;
    if (resize_wanted_) {
        resize_wanted_ = false;
        paint_wanted_ = false;
        events_->resized(client_.width, client_.height);  // repaints too
    }
    if (paint_wanted_) {
        paint_wanted_ = false;
        events_->paint();
    }
}

LocalTime HeadlessPlatform::local_time() const {
    return local_time_now();
}

int64_t HeadlessPlatform::epoch_seconds() const {
    return epoch_seconds_now();
}

void HeadlessPlatform::sleep_ms(int milliseconds) {
    transcript_.flush();
    sleep_milliseconds(milliseconds);
}

bool HeadlessPlatform::setting_key_exists(std::string_view key) {
    return settings_.key_exists(key);
}

bool HeadlessPlatform::create_setting_key(std::string_view key) {
    return settings_.create_key(key);
}

std::optional<std::string> HeadlessPlatform::read_setting(std::string_view key,
                                                          std::string_view value) {
    return settings_.read(key, value);
}

bool HeadlessPlatform::write_setting(std::string_view key, std::string_view value,
                                     std::string_view text) {
    return settings_.write(key, value, text);
}

HeadlessPlatform::~HeadlessPlatform() = default;

// The font library is made with the first font: runs that open none never load fontconfig.
std::unique_ptr<Font> HeadlessPlatform::open_font(const FontRecord& record) {
    if (!fonts_) fonts_ = std::make_unique<FontLibrary>();
    return fonts_->open_font(record);
}

std::optional<DecodedImage> HeadlessPlatform::load_image(const std::string& path) {
    return load_picture_file(path);
}

}  // namespace quillon
