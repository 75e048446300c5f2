// The window procedure: paints the picture and the character screen, records keys and mouse
// events for the program, edits the line an input statement waits for, and asks the worker to
// stop when the window is closed. Runs on the back-end's event thread.
#include "screen/window_procedure.h"

#include <algorithm>
#include <mutex>

#include "flow/event_traps.h"
#include "graphics/picture.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/shift_jis.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

constexpr uint8_t kBackspace = 8;
constexpr uint8_t kEnter = 13;
constexpr int kMousePositionMask = 0xFFFF;  // positions arrive as unsigned 16-bit words

// One typed byte as string text: 0x01, a double quote and NUL become their escape pairs.
std::string encode_typed(uint8_t byte) {
    switch (byte) {
        case 0x01:
            return "\x01\x01";
        case '"':
            return "\x01"
                   "D";
        case 0x00:
            return "\x01"
                   "Z";
        default:
            return std::string(1, static_cast<char>(byte));
    }
}

// Width of the last character of the input line: an escape pair or a double-byte character
// is two bytes, anything else one. Walking from the start keeps a trail byte that looks like
// a lead byte from being taken for one.
std::size_t last_character_width(const std::string& line) {
    std::size_t k = 0;
    std::size_t width = 0;
    while (k < line.size()) {
        auto byte = static_cast<uint8_t>(line[k]);
        width = (is_sjis_lead(byte) || byte == 0x01) && k + 1 < line.size() ? 2 : 1;
        k += width;
    }
    return width;
}

}  // namespace

void WindowProcedure::paint() {
    std::lock_guard lock(rt_.graphics.display_mutex);
    repaint_window(rt_);
}

// A minimized window has no client area: the surface keeps its size, so that the text is not
// laid out (and scrolled away) for a window of height 0.
void WindowProcedure::resized(int width, int height) {
    if (width <= 0 || height <= 0) return;
    resize_surface(rt_, width, height);
    paint();
}

void WindowProcedure::key_char(uint8_t byte) {
    auto& screen = rt_.screen;
    if (!rt_.host.running || rt_.host.stop) return;
    if (!screen.input_waiting) {
        screen.last_key = byte;
        return;
    }
    if (byte == kBackspace) {
        erase_typed_character();
    } else if (byte == kEnter) {
        write_text(rt_, "\n");
        screen.input_waiting = false;  // the waiting statement takes the line now
    } else {
        type_character(byte);
    }
}

// Appends a typed byte to the input line and echoes it; a line that is full takes no more.
void WindowProcedure::type_character(uint8_t byte) {
    std::string encoded = encode_typed(byte);
    {
        std::lock_guard lock(rt_.graphics.display_mutex);
        if (rt_.screen.input_line.size() + encoded.size() > kStatementMax) {
            rt_.platform.beep();
            return;
        }
        rt_.screen.input_line += encoded;
    }
    write_text(rt_, encoded);
}

// Backspace: removes the last typed character from the input line and from the screen before
// the cursor. The prompt and earlier lines are never erased.
void WindowProcedure::erase_typed_character() {
    auto& screen = rt_.screen;
    {
        std::lock_guard lock(rt_.graphics.display_mutex);
        const auto cursor = static_cast<std::size_t>(std::max(screen.cursor, 0));
        if (cursor == 0 || cursor > screen.text.size() || screen.text[cursor - 1] == '\n') return;
        std::size_t width = last_character_width(screen.input_line);
        if (width == 0 || width > cursor) return;  // nothing typed: the prompt stays
        if (screen.text.find('\n', cursor - width) < cursor) return;  // never joins two lines
        screen.input_line.resize(screen.input_line.size() - width);
        erase_screen_text(rt_, cursor - width, width);  // the colours move down with the text
        screen.cursor = static_cast<int32_t>(cursor - width);
    }
    rt_.platform.invalidate();
}

void WindowProcedure::arrow_key(uint8_t code) {
    if (rt_.host.running && !rt_.host.stop) rt_.screen.last_key = code;
}

void WindowProcedure::mouse(int event, int x, int y) {
    if (!rt_.host.running || rt_.host.stop || event < 1 || event > kMouseEvents) return;
    rt_.screen.mouse_x = x & kMousePositionMask;
    rt_.screen.mouse_y = y & kMousePositionMask;
    rt_.screen.mouse_event = event;
    fire_event_trap(rt_, event);
}

void WindowProcedure::focus(bool) {
    rt_.platform.caret_changed();  // the back-end shows or hides the caret with the focus
}

// Closing the window only asks the worker to stop (and wakes a waiting input statement); the
// program-end clean-up and the final release run after the worker has returned, so the two
// threads never release the same resources at once.
void WindowProcedure::close_requested() {
    closed_ = true;
    rt_.host.stop = true;
    rt_.screen.input_waiting = false;
}

// A surface left out of date by a scroll is repainted before it is shown.
void WindowProcedure::copy_surface(std::function<void(const PixelView&)> present) {
    present_surface(rt_, present);
}

bool WindowProcedure::caret(int& x, int& y) {
    std::lock_guard lock(rt_.graphics.display_mutex);
    x = rt_.screen.caret_x;
    y = rt_.screen.caret_y;
    return rt_.screen.caret_flag;
}

}  // namespace quillon
