// The headless back-end: no window. The picture and window surface live in memory, message
// boxes are answered at once, the transcript goes to standard output, and keys and mouse
// events come from scripts, delivered through the window procedure as a window's would be.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/device_services.h"
#include "platform/headless/event_script.h"
#include "platform/headless/key_script.h"
#include "platform/headless/transcript.h"
#include "platform/platform.h"
#include "platform/settings_file.h"

namespace quillon {

class FontLibrary;

// The sizes a window would have, and its title (UTF-8).
struct HeadlessOptions {
    Size screen{1024, 768};  // the display, hence the picture
    Size window{640, 400};   // the client area, hence the window surface
    std::string title;
    std::string audio_file;    // sound is recorded here (--audio), and never played
    std::string printer_file;  // LPRINT's pages go to this PDF file (--printer)
};

struct HeadlessInput {
    KeyScript keys;
    bool keys_from_terminal = false;  // standard input is a terminal: never block a poll
    std::vector<ScriptedEvent> events;
};

class HeadlessPlatform : public Platform {
  public:
    // `sink` receives the transcript (standard output when not given).
    HeadlessPlatform(const HeadlessOptions& options, HeadlessInput input,
                     Transcript::Sink sink = nullptr, std::string settings_path = {});
    ~HeadlessPlatform() override;

    // Runs the worker on the calling thread: keys and events are delivered synchronously
    // when the program asks for them or reaches a statement count.
    void run(WindowEvents& events, const std::function<void()>& worker) override;

    Size display_size() const override { return screen_; }
    Size client_size() const override { return client_; }
    void invalidate() override { paint_wanted_ = true; }
    void present() override {}
    void caret_changed() override {}
    void set_ime_position(int, int, int) override {}
    void message_box(std::string_view text, std::string_view title, MessageIcon icon) override;
    void beep() override { devices_.beep(); }
    Rect window_rect() const override { return rect_; }
    void move_window(const Rect& rect) override;
    void show_window(WindowShow how) override;
    int16_t key_state(int virtual_key) const override;
    std::string window_title() const override;

    void want_keys(KeyDemand demand) override;
    void screen_output(std::string_view text) override { transcript_.screen_output(text); }
    void before_statement(uint64_t count) override;

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

    MidiOpenResult open_midi_out() override { return devices_.open_midi_out(); }
    std::unique_ptr<MediaStream> open_media(const std::string& path, MediaKind kind,
                                            MediaFailure& failure) override {
        return devices_.open_media(path, kind, failure);
    }
    std::unique_ptr<PrintJob> start_print_job(const FontRecord& font, std::string& why) override {
        return devices_.start_print_job(font, why);
    }
    void close_device_files() override { devices_.close_files(); }

    // Writes out the transcript that is still buffered.
    void flush_transcript() { transcript_.flush(true); }

  private:
    void deliver_key(uint8_t key);
    void deliver_line();
    void deliver_event(const ScriptedEvent& event);
    void catch_up();  // a repaint or resize asked for since the last statement
    void set_window(const Rect& rect);

    Size screen_;
    Size client_;
    Rect rect_;
    Rect restored_rect_;
    bool resize_wanted_ = false;
    bool paint_wanted_ = false;
    std::string title_;  // UTF-8
    HeadlessInput input_;
    std::size_t next_event_ = 0;
    std::array<bool, 256> keys_down_{};
    Transcript transcript_;
    SettingsFile settings_;
    std::unique_ptr<FileSystem> files_ = make_host_file_system(*this);
    WindowEvents* events_ = nullptr;
    std::unique_ptr<FontLibrary> fonts_;
    DeviceServices devices_;
};

}  // namespace quillon
