// The SDL platform's class: the window and its event loop on the main thread, and the
// thread-safe methods the worker calls. Worker requests become flags or queued commands
// that the event thread picks up after a wake-up event.
#pragma once

#include <SDL_events.h>
#include <SDL_video.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/device_services.h"
#include "platform/platform.h"
#include "platform/sdl/key_mapping.h"
#include "platform/sdl/sdl_message_box.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/settings_file.h"

namespace quillon {

class FontLibrary;

inline constexpr int kCaretWidth = 9;
inline constexpr int kCaretHeight = 6;
inline constexpr int kCaretRise = 7;  // the caret's top lies this far above its line's bottom
inline constexpr uint32_t kCaretBlinkMs = 530;  // the original platform's default blink time
inline constexpr int kAssumedRefreshHz = 60;    // when the display does not say its rate
inline constexpr uint32_t kIdleWaitMs = 250;

// Copies the window surface (0x00BBGGRR pixels) into an SDL surface of any format; what the
// window surface does not cover is black.
void present_pixels(const PixelView& view, SDL_Surface* target);

// Inverts the colours of a rectangle of a 32-bit surface, clipped to it (the caret's mark).
void invert_rect(SDL_Surface* surface, int x, int y, int width, int height);

// The caret's mark at x on the line whose bottom is `line_bottom`: 9 x 6 pixels, inverted,
// inside the line just above its bottom.
void draw_caret(SDL_Surface* surface, int x, int line_bottom);

// A window change asked for by the worker, carried out on the event thread.
struct WindowCommand {
    enum class Kind { Move, Show } kind = Kind::Move;
    Rect rect;
    WindowShow show = WindowShow::Normal;
};

class SdlPlatform final : public Platform {
  public:
    SdlPlatform(const WindowOptions& options, SDL_Window* window, uint32_t wake_event);
    ~SdlPlatform() override;  // out of line: FontLibrary is complete there

    void run(WindowEvents& events, const std::function<void()>& worker) override;

    Size display_size() const override { return options_.screen; }
    Size client_size() const override;
    void invalidate() override;
    void present() override;
    void caret_changed() override;
    void set_ime_position(int x, int y, int height) override;
    void message_box(std::string_view text, std::string_view title, MessageIcon icon) override;
    void cancel_message_box() override;
    void beep() override;
    Rect window_rect() const override;
    void move_window(const Rect& rect) override;
    void show_window(WindowShow how) override;
    int16_t key_state(int virtual_key) const override;
    std::string window_title() const override;

    LocalTime local_time() const override;
    int64_t epoch_seconds() const override;
    void sleep_ms(int milliseconds) override;
    bool setting_key_exists(std::string_view key) override;
    bool create_setting_key(std::string_view key) override;
    std::optional<std::string> read_setting(std::string_view key, std::string_view value) override;
    bool write_setting(std::string_view key, std::string_view value,
                       std::string_view text) override;
    std::unique_ptr<Font> open_font(const FontRecord& record) override;
    std::optional<DecodedImage> load_image(const std::string& path) override;

    FileSystem& file_system() override { return *files_; }
    MidiOpenResult open_midi_out() override;
    std::unique_ptr<MediaStream> open_media(const std::string& path, MediaKind kind,
                                            MediaFailure& failure) override;
    std::unique_ptr<PrintJob> start_print_job(const FontRecord& font, std::string& why) override;
    void close_device_files() override;

  private:
    // State of the event loop, touched only by the event thread.
    struct LoopState {
        WindowEvents* events = nullptr;
        bool focused = false;
        bool caret_shown = false;  // the caret is to be drawn (and the window has the focus)
        bool caret_phase = true;   // the blinking caret's visible half
        uint64_t next_blink = 0;
        uint64_t last_present = 0;
        uint64_t present_interval = 1000 / kAssumedRefreshHz;  // one frame of the display
        bool present_due = false;
        bool closing = false;
        uint64_t close_deadline = 0;
    };

    void wake();
    void worker_main(const std::function<void()>& worker);
    void event_loop();
    uint32_t wait_timeout() const;
    void handle_event(const SDL_Event& event);
    void handle_window_event(const SDL_WindowEvent& event);
    void handle_resize(int width, int height);
    void handle_key(const SDL_KeyboardEvent& event);
    void handle_mouse_button(const SDL_MouseButtonEvent& event);
    void handle_close();
    void serve_requests();
    void apply_commands();
    void apply_command(const WindowCommand& command);
    void apply_ime_rect();
    void present_if_due();
    void present_last_frame();
    uint64_t frame_interval() const;
    void present_frame();
    void tick_caret();
    void refresh_window_rect();
    void set_key(int virtual_key, bool down);
    void release_all_keys();
    void serve_message_box();
    bool handle_box_event(const SDL_Event& event);
    void answer_box();
    [[noreturn]] void abandon_worker();

    WindowOptions options_;
    SDL_Window* window_ = nullptr;
    uint32_t wake_event_ = 0;
    std::string title_sjis_;
    LoopState loop_;

    std::atomic<bool> wake_pending_{false};
    std::atomic<bool> paint_requested_{false};
    std::atomic<bool> present_requested_{false};
    std::atomic<bool> caret_dirty_{false};
    std::atomic<bool> ime_dirty_{false};
    std::atomic<bool> worker_done_{false};
    std::atomic<int> boxes_open_{0};     // message boxes the window owns that are up
    std::exception_ptr worker_failure_;  // written by the worker before worker_done_

    mutable std::mutex state_mutex_;  // guards the members below
    Rect window_rect_;
    Size client_size_;
    Rect ime_rect_;  // left, top, right = left + 1, bottom = top + line height
    std::vector<WindowCommand> commands_;

    std::mutex settings_mutex_;  // one worker at a time in the settings file
    SettingsFile settings_;
    std::unique_ptr<FileSystem> files_ = make_host_file_system(*this);

    std::mutex fonts_mutex_;
    std::unique_ptr<FontLibrary> fonts_;

    // Message boxes: asked for by the worker, shown and answered on the event thread.
    struct BoxRequest {
        std::string text;
        std::string title;
        MessageIcon icon = MessageIcon::None;
    };
    std::mutex box_mutex_;  // guards the request and the waiting flag
    std::condition_variable box_answered_;
    std::optional<BoxRequest> box_request_;     // asked for, not yet shown
    bool box_waiting_ = false;                  // the worker waits for the answer
    std::atomic<bool> boxes_cancelled_{false};  // the program is being stopped
    std::unique_ptr<MessageBoxWindow> box_;     // the box that is up (event thread)
    std::unique_ptr<Font> box_font_;            // made for the first box (event thread)

    std::array<std::atomic<bool>, kVirtualKeyCount> keys_down_{};
    std::unique_ptr<DeviceServices> devices_;  // sound and printing, made on first use
};

}  // namespace quillon
