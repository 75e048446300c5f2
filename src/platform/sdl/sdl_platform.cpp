// The SDL platform's factory and the methods the worker thread calls. They never touch SDL's
// window directly: they set flags or queue commands under a mutex and wake the event thread.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>

#include "platform/fonts/system_font.h"
#include "platform/sdl/sdl_library.h"
#include "platform/sdl/sdl_message_box.h"
#include "platform/sdl/sdl_window.h"
#include "platform/system_services.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr int16_t kKeyDown = INT16_MIN;  // the high bit: the key is down
constexpr char kWindowClass[] = "Kavrun";

// True when there is a display to connect to (an X or Wayland display), or the caller names
// a video driver. A driver named only in SDL_VIDEODRIVER is no display: without one, the
// program runs headless rather than in a window nobody sees.
bool display_available(const WindowOptions& options) {
    if (!options.video_driver.empty()) return true;
    return environment_variable("DISPLAY") || environment_variable("WAYLAND_DISPLAY");
}

// Settings made before SDL starts: no pointer capture (as the original window does not
// capture the mouse), and the input method draws its own composition window at the caret.
void set_hints() {
    SDL_SetHint(SDL_HINT_APP_NAME, kWindowClass);          // names the audio stream
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);  // unless the user chose a class
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_IME_INTERNAL_EDITING, "0");
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // kavrun's signal watch serves them
}

// Frames go to the window system's own framebuffer where the driver has one (no graphics
// driver is loaded for them); other drivers present through SDL's renderer.
void choose_framebuffer() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const std::string_view name = driver ? driver : "";
    if (name == "x11" || name == "offscreen") SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

SDL_Window* create_window(const WindowOptions& options) {
    return SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                            std::max(1, options.window.width), std::max(1, options.window.height),
                            SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
}

// The title as Shift-JIS: characters without a Shift-JIS form become '?'.
std::string title_to_sjis(std::string_view utf8) {
    std::string out;
    while (!utf8.empty()) {
        std::size_t bad = 0;
        if (auto whole = utf8_to_sjis(utf8, &bad)) return out + *whole;
        if (auto prefix = utf8_to_sjis(utf8.substr(0, bad))) out += *prefix;
        out += '?';
        std::size_t next = bad + 1;
        while (next < utf8.size() && (static_cast<uint8_t>(utf8[next]) & 0xC0) == 0x80)
            ++next;
        utf8.remove_prefix(next);
    }
    return out;
}

}  // namespace

std::unique_ptr<Platform> make_sdl_platform(const WindowOptions& options, std::string* why) {
    if (!display_available(options)) return nullptr;
    if (!sdl_library().available()) {
        if (why) *why = "the SDL2 library cannot be loaded";
        return nullptr;
    }
    set_hints();
    // Only the display drivers whose display is named: SDL would otherwise fall back to a
    // driver without a screen, and the program would run in a window nobody sees.
    std::string drivers = options.video_driver;
    if (drivers.empty()) {
        if (environment_variable("WAYLAND_DISPLAY")) drivers = "wayland";
        if (environment_variable("DISPLAY")) drivers += drivers.empty() ? "x11" : ",x11";
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    auto refuse = [why] {
        if (why) *why = SDL_GetError();
        SDL_Quit();
        return nullptr;
    };
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return refuse();
    choose_framebuffer();
    uint32_t wake_event = SDL_RegisterEvents(1);
    SDL_Window* window = wake_event == static_cast<uint32_t>(-1) ? nullptr : create_window(options);
    if (!window) return refuse();
    return std::make_unique<SdlPlatform>(options, window, wake_event);
}

SdlPlatform::SdlPlatform(const WindowOptions& options, SDL_Window* window, uint32_t wake_event)
    : options_(options),
      window_(window),
      wake_event_(wake_event),
      title_sjis_(title_to_sjis(options.title)),
      client_size_(options.window),
      settings_(options.settings_path.empty() ? SettingsFile::default_path()
                                              : options.settings_path),
      devices_(std::make_unique<DeviceServices>(
          DeviceOptions{false, options.audio_file, options.printer_file, settings_.path()})) {
    refresh_window_rect();
}

SdlPlatform::~SdlPlatform() {
    box_.reset();      // its window before the SDL it belongs to
    devices_.reset();  // the audio device belongs to the SDL that ends here
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
}

// Wakes the event thread; one wake-up event in the queue is enough for any number of requests.
void SdlPlatform::wake() {
    if (wake_pending_.exchange(true)) return;
    SDL_Event event{};
    event.type = wake_event_;
    if (SDL_PushEvent(&event) != 1) wake_pending_ = false;
}

Size SdlPlatform::client_size() const {
    std::lock_guard lock(state_mutex_);
    return client_size_;
}

void SdlPlatform::invalidate() {
    paint_requested_ = true;
    wake();
}

// Requests made while one waits for its frame need no further wake-up: however many
// statements draw, the event thread wakes at most once per frame for them.
void SdlPlatform::present() {
    if (!present_requested_.exchange(true)) wake();
}

void SdlPlatform::caret_changed() {
    caret_dirty_ = true;
    wake();
}

void SdlPlatform::set_ime_position(int x, int y, int height) {
    {
        std::lock_guard lock(state_mutex_);
        ime_rect_ = Rect{x, y, x + 1, y + std::max(1, height)};
    }
    ime_dirty_ = true;
    wake();
}

// The box is shown by the event thread, which goes on painting the window meanwhile; the
// window is its owner: while the box is up it takes no input and cannot be closed.
void SdlPlatform::message_box(std::string_view text, std::string_view title, MessageIcon icon) {
    std::unique_lock lock(box_mutex_);
    if (boxes_cancelled_) return;
    box_request_ = BoxRequest{std::string(text), std::string(title), icon};
    box_waiting_ = true;
    ++boxes_open_;
    lock.unlock();
    wake();
    lock.lock();
    box_answered_.wait(lock, [this] { return !box_waiting_; });
    --boxes_open_;
}

void SdlPlatform::cancel_message_box() {
    boxes_cancelled_ = true;
    wake();
}

void SdlPlatform::beep() {
    devices_->beep();
}

MidiOpenResult SdlPlatform::open_midi_out() {
    return devices_->open_midi_out();
}

std::unique_ptr<MediaStream> SdlPlatform::open_media(const std::string& path, MediaKind kind,
                                                     MediaFailure& failure) {
    return devices_->open_media(path, kind, failure);
}

std::unique_ptr<PrintJob> SdlPlatform::start_print_job(const FontRecord& font, std::string& why) {
    return devices_->start_print_job(font, why);
}

void SdlPlatform::close_device_files() {
    devices_->close_files();
}

Rect SdlPlatform::window_rect() const {
    std::lock_guard lock(state_mutex_);
    return window_rect_;
}

// The window moves on the event thread; the rectangle reads back at once as asked, until the
// window system reports where the window really went.
void SdlPlatform::move_window(const Rect& rect) {
    {
        std::lock_guard lock(state_mutex_);
        commands_.push_back(WindowCommand{WindowCommand::Kind::Move, rect, WindowShow::Normal});
        window_rect_ = rect;
    }
    wake();
}

void SdlPlatform::show_window(WindowShow how) {
    {
        std::lock_guard lock(state_mutex_);
        commands_.push_back(WindowCommand{WindowCommand::Kind::Show, Rect{}, how});
    }
    wake();
}

int16_t SdlPlatform::key_state(int virtual_key) const {
    auto down = [this](int vk) { return keys_down_[static_cast<std::size_t>(vk)].load(); };
    if (virtual_key < 0 || virtual_key >= kVirtualKeyCount) return 0;
    bool pressed = down(virtual_key);
    if (virtual_key == kVkShift) pressed = down(kVkLeftShift) || down(kVkRightShift);
    if (virtual_key == kVkControl) pressed = down(kVkLeftControl) || down(kVkRightControl);
    if (virtual_key == kVkMenu) pressed = down(kVkLeftMenu) || down(kVkRightMenu);
    return pressed ? kKeyDown : 0;
}

std::string SdlPlatform::window_title() const {
    return title_sjis_;
}

// Decoding needs no video: it runs on the worker like the file reads of other statements.
std::optional<DecodedImage> SdlPlatform::load_image(const std::string& path) {
    return load_picture_file(path);
}

}  // namespace quillon
