// The one door to the operating system. The interpreter (host, expr, flow, screen, graphics,
// devices) calls only this interface; the back-ends in sdl/, headless/ and posix/ implement it.
// Texts crossing it are Shift-JIS bytes unless a name says UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/image_files.h"
#include "platform/printer.h"
#include "platform/sound.h"

namespace quillon {

// A view of 32-bit pixels (0x00BBGGRR, red in the low byte), row after row.
struct PixelView {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The classic logical-font record: the thirteen numbers of a program image and its face name.
struct FontRecord {
    int height = -16;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strike_out = 0;
    uint8_t charset = 128;
    uint8_t out_precision = 0;
    uint8_t clip_precision = 0;
    uint8_t quality = 0;
    uint8_t pitch_and_family = 0;
    std::string face;  // Shift-JIS, at most 31 bytes
};

struct FontMetrics {
    int height = 16;  // cell height: ascent + descent
    int ascent = 14;
    int descent = 2;
    int internal_leading = 0;
    int external_leading = 0;
    int average_width = 8;
};

// A font made from a FontRecord. Character codes are one Shift-JIS byte, or a double-byte
// character as lead * 256 + trail.
class Font {
  public:
    virtual ~Font() = default;
    virtual const FontMetrics& metrics() const = 0;
    virtual int advance(unsigned code) const = 0;
    // Draws one character with the top-left of its cell at (x, y), clipped to the target;
    // with the record's escapement the cell (and its glyph) turns about that corner.
    // background < 0 draws no background box (transparent).
    virtual void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
                      int32_t background) const = 0;
};

enum class MessageIcon { None, Error, Information };

// What the program is about to read from the keyboard; the headless back-end feeds its
// scripted keys on demand, a real window ignores it (keys come from its event thread).
enum class KeyDemand {
    Line,       // an input statement waits for a line ending with Enter
    Character,  // input$ waits for one more character
    Poll,       // inkey$ looks for a key
};

enum class WindowShow { Normal, Maximized, Minimized };

struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The window procedure: what a back-end calls when the window receives events. The runtime
// implements it; every method may be called from the back-end's event thread.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    virtual void paint() = 0;                         // repaint the whole window surface
    virtual void resized(int width, int height) = 0;  // the client area has a new size
    virtual void key_char(uint8_t byte) = 0;          // one typed byte (Shift-JIS)
    virtual void arrow_key(uint8_t code) = 0;         // 0x1D left, 0x1E up, 0x1C right, 0x1F down
    virtual void mouse(int event, int x, int y) = 0;  // 1 move, 2/3 left/right down, 4/5 up
    virtual void focus(bool gained) = 0;
    virtual void close_requested() = 0;  // the user closed the window
    // Copies the window surface for presentation.
    virtual void copy_surface(std::function<void(const PixelView&)> present) = 0;
    // The caret's x and the bottom y of its line (the back-end draws the 9 x 6 caret box 7
    // pixels above it), and whether it is to be shown (focus not considered).
    virtual bool caret(int& x, int& y) = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Runs the program: makes the window, calls `worker` on a worker thread and serves
    // window events until the worker has returned (or the window was closed and the worker
    // has stopped). Returns when the window is gone.
    virtual void run(WindowEvents& events, const std::function<void()>& worker) = 0;

    // Display and window. invalidate, caret_changed and set_ime_position are called with the
    // display mutex held: they must not call back into WindowEvents before returning.
    virtual Size display_size() const = 0;
    virtual Size client_size() const = 0;
    virtual void invalidate() = 0;  // ask for a full repaint (paint() on the event thread)
    virtual void present() = 0;     // the window surface changed; show it soon
    virtual void caret_changed() = 0;
    virtual void set_ime_position(int x, int y, int height) = 0;
    virtual void message_box(std::string_view text, std::string_view title, MessageIcon icon) = 0;
    // From any thread, when the program is stopped from outside: a box it waits on ends as if
    // answered, and later ones return at once.
    virtual void cancel_message_box() {}
    virtual void beep() = 0;
    virtual Rect window_rect() const = 0;
    virtual void move_window(const Rect& rect) = 0;
    virtual void show_window(WindowShow how) = 0;
    virtual int16_t key_state(int virtual_key) const = 0;
    virtual std::string window_title() const = 0;

    // Keyboard script and transcript (headless); a real window does nothing here.
    // want_keys is called on the worker without the display mutex held: for Line once the
    // input flag is set, for Character and Poll just before the last key is read. The headless
    // back-end types its keys through WindowEvents before it returns.
    virtual void want_keys(KeyDemand demand) {}
    virtual void screen_output(std::string_view text) {}
    virtual void before_statement(uint64_t count) {}

    // Time.
    virtual LocalTime local_time() const = 0;
    virtual int64_t epoch_seconds() const = 0;
    virtual void sleep_ms(int milliseconds) = 0;

    // Settings store: keys and values as the system names them.
    virtual bool setting_key_exists(std::string_view key) = 0;
    virtual bool create_setting_key(std::string_view key) = 0;
    virtual std::optional<std::string> read_setting(std::string_view key,
                                                    std::string_view value) = 0;
    virtual bool write_setting(std::string_view key, std::string_view value,
                               std::string_view text) = 0;

    // Fonts.
    virtual std::unique_ptr<Font> open_font(const FontRecord& record) = 0;

    // Files, serial ports and folders (platform/file_system.h). Without them every open,
    // deletion and listing fails.
    virtual FileSystem& file_system() { return no_file_system(); }
    // Pictures: the bitmap or PNG file at `path` (a path of this system, from
    // FileSystem::path_of). Nothing when it is missing, unreadable or no picture this system
    // reads.
    virtual std::optional<DecodedImage> load_image(const std::string& path) = 0;
    // Sound and printing (platform/sound.h, platform/printer.h), each opened on first use.
    // Without these devices: no MIDI output, no media, no printer.
    virtual MidiOpenResult open_midi_out() { return MidiOpenResult{nullptr, true, {}}; }
    // `path` is a path of this system, from FileSystem::path_of.
    virtual std::unique_ptr<MediaStream> open_media(const std::string& path, MediaKind kind,
                                                    MediaFailure& failure) {
        failure = MediaFailure::Unsupported;
        return nullptr;
    }
    // A new print job in the program's font; null, with the reason (Shift-JIS), when there
    // is no printer to print on.
    virtual std::unique_ptr<PrintJob> start_print_job(const FontRecord& font, std::string& error) {
        return nullptr;
    }
    // The run is over: the --printer PDF file is completed and the --audio recording closed
    // with its sizes, now rather than when the back-end is destroyed (a termination signal
    // ends the process before that).
    virtual void close_device_files() {}
};

}  // namespace quillon
