// A platform for unit tests: no window, message boxes and screen output recorded, settings
// kept in memory, and a fixed-cell font (half-width 8, double-width 16, cell height 16) that
// draws each character as a filled box of its colour.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillon::testing {

class BoxFont : public Font {
  public:
    explicit BoxFont(int height = 16) {
        metrics_.height = height;
        metrics_.ascent = height - 2;
    }
    const FontMetrics& metrics() const override { return metrics_; }
    int advance(unsigned code) const override { return code > 0xFF ? 16 : 8; }
    void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
              int32_t background) const override {
        const int w = advance(code);
        // Only the rows and columns on the target are visited, however large the box.
        const int top = std::max(y, 0),
                  bottom = std::min<int64_t>(int64_t{y} + metrics_.height, target.height);
        const int left = std::max(x, 0), right = std::min<int64_t>(int64_t{x} + w, target.width);
        for (int yy = top; yy < bottom; ++yy)
            for (int xx = left; xx < right; ++xx) {
                uint32_t& p = target.pixels[yy * target.width + xx];
                bool ink = code != ' ' && yy > y + 1 && yy < y + metrics_.height - 2 && xx > x &&
                           xx < x + w - 1;
                if (ink)
                    p = colour;
                else if (background >= 0)
                    p = static_cast<uint32_t>(background);
            }
    }

  private:
    FontMetrics metrics_;
};

struct MessageBoxRecord {
    std::string text;
    std::string title;
    MessageIcon icon;
};

class FakePlatform : public Platform {
  public:
    Size display = {1024, 768};
    Size client = {640, 400};
    std::vector<MessageBoxRecord> boxes;
    std::string output;  // everything written to the character screen
    std::map<std::string, std::map<std::string, std::string>> settings;
    std::vector<KeyDemand> key_demands;
    std::function<void(uint64_t)> statement_hook;  // called before each statement
    std::function<void(int)> sleep_hook;           // called for each sleep
    int64_t slept_ms = 0;
    int invalidations = 0;
    int beeps = 0;
    int caret_changes = 0;
    struct ImePosition {
        int x = 0, y = 0, height = 0;
    } ime;  // the last input-method position
    Rect rect{0, 0, 640, 400};
    std::vector<WindowShow> shows;
    std::function<void(KeyDemand)> on_keys;  // types keys when the program asks for them

    void run(WindowEvents&, const std::function<void()>& worker) override { worker(); }
    Size display_size() const override { return display; }
    Size client_size() const override { return client; }
    void invalidate() override { ++invalidations; }
    void present() override {}
    void caret_changed() override { ++caret_changes; }
    void set_ime_position(int x, int y, int height) override { ime = {x, y, height}; }
    void message_box(std::string_view text, std::string_view title, MessageIcon icon) override {
        boxes.push_back({std::string(text), std::string(title), icon});
    }
    void beep() override { ++beeps; }
    Rect window_rect() const override { return rect; }
    void move_window(const Rect& r) override { rect = r; }
    void show_window(WindowShow how) override { shows.push_back(how); }
    int16_t key_state(int) const override { return 0; }
    std::string window_title() const override { return "test"; }
    void want_keys(KeyDemand demand) override {
        key_demands.push_back(demand);
        if (on_keys) on_keys(demand);
    }
    void screen_output(std::string_view text) override { output.append(text); }
    void before_statement(uint64_t count) override {
        if (statement_hook) statement_hook(count);
    }
    LocalTime local_time() const override { return LocalTime{2000, 3, 6, 9, 5, 7}; }
    int64_t epoch_seconds() const override { return 952333507; }
    void sleep_ms(int ms) override {
        slept_ms += ms;
        if (sleep_hook) sleep_hook(ms);
    }
    bool setting_key_exists(std::string_view key) override {
        return settings.count(std::string(key)) != 0;
    }
    bool create_setting_key(std::string_view key) override {
        settings[std::string(key)];
        return true;
    }
    std::optional<std::string> read_setting(std::string_view key, std::string_view value) override {
        auto k = settings.find(std::string(key));
        if (k == settings.end()) return std::nullopt;
        auto v = k->second.find(std::string(value));
        if (v == k->second.end()) return std::nullopt;
        return v->second;
    }
    bool write_setting(std::string_view key, std::string_view value,
                       std::string_view text) override {
        settings[std::string(key)][std::string(value)] = std::string(text);
        return true;
    }
    std::unique_ptr<Font> open_font(const FontRecord& record) override {
        // Heights are kept within what a real font gives (1 to 1024 pixels).
        const int64_t height = record.height < 0 ? -int64_t{record.height} : 16;
        return std::make_unique<BoxFont>(static_cast<int>(std::min<int64_t>(height, 1024)));
    }
    // Real files and ports, mapped through the settings above.
    FileSystem& file_system() override { return *files; }
    std::unique_ptr<FileSystem> files = make_host_file_system(*this);
    // Pictures come from `pictures` by their path here.
    std::map<std::string, DecodedImage> pictures;
    std::optional<DecodedImage> load_image(const std::string& path) override {
        auto it = pictures.find(path);
        if (it == pictures.end()) return std::nullopt;
        return it->second;
    }

    // Sound and printing devices, when a test provides them (none otherwise).
    std::function<MidiOpenResult()> midi_device;
    std::function<std::unique_ptr<MediaStream>(const std::string&, MediaKind, MediaFailure&)>
        media_device;
    std::function<std::unique_ptr<PrintJob>(const FontRecord&, std::string&)> printer;
    MidiOpenResult open_midi_out() override {
        return midi_device ? midi_device() : Platform::open_midi_out();
    }
    std::unique_ptr<MediaStream> open_media(const std::string& path, MediaKind kind,
                                            MediaFailure& failure) override {
        return media_device ? media_device(path, kind, failure)
                            : Platform::open_media(path, kind, failure);
    }
    std::unique_ptr<PrintJob> start_print_job(const FontRecord& font, std::string& why) override {
        return printer ? printer(font, why) : Platform::start_print_job(font, why);
    }
};

}  // namespace quillon::testing
