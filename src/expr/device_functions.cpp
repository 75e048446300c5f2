// The built-ins that read the world outside the expression: files (eof, lof), the keyboard
// (input$, KeyState), the mouse (mousestate), the picture (point), colours (RGB) and the
// random generator (rnd).
#include <algorithm>
#include <mutex>

#include "devices/file_table.h"
#include "expr/builtins.h"
#include "expr/random.h"
#include "expr/value_text.h"
#include "graphics/colours.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"

namespace quillon {
namespace {

constexpr int kKeyPollMs = 10;  // input$ looks for the next key this often
constexpr int kPointOutside = -1;

// Virtual keys of the arrows, for the key codes 28..31 (right, left, up, down).
constexpr int kArrowKeys[] = {39, 37, 38, 40};
constexpr int kFirstArrowCode = 28;

bool open_file_number(Runtime& rt, int32_t number) {
    if (number >= 1 && number <= kFileSlots && file_is_open(rt, number)) return true;
    report_error(rt, kFileAccess);
    return false;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A file number written as one digit (with or without "#"), or else any numeric expression.
int32_t file_number_argument(Runtime& rt, std::string_view text) {
    if (!text.empty() && text[0] == '#') text.remove_prefix(1);
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') return text[0] - '0';
    return integer_argument(rt, text);
}

}  // namespace

// -1 at the end of the file, else 0. A serial port is at its end while no received byte
// waits, so that eof never waits for the line. EOF(#1) is taken as lof and input$ take it.
void eof_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t number = file_number_argument(rt, trimmed(a.item[0]));
    if (rt.host.stop || !open_file_number(rt, number)) return;
    std::optional<bool> at_end = file_at_end(rt, number);
    if (!at_end) return report_error(rt, kFileAccess);
    out = *at_end ? "-1" : "0";
}

void lof_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t number = file_number_argument(rt, a.item[0]);
    if (rt.host.stop || !open_file_number(rt, number)) return;
    std::optional<int64_t> size = file_size(rt, number);
    if (!size) return report_error(rt, kFileAccess);
    write_whole_number(static_cast<double>(*size), out);
}

// input$(n): waits for n keystrokes. input$(n, [#]f): reads n bytes of an open file (fewer
// at its end; error 7 when it is at its end already) or port (waiting for all n). Bytes are
// escaped like every string value.
void input_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::size_t comma = first_comma(a.whole, true);
    int32_t n = integer_argument(rt, a.whole.substr(0, comma));
    int32_t file = 0;
    if (comma != std::string_view::npos)
        file = file_number_argument(rt, trimmed(a.whole.substr(comma + 1)));
    if (rt.host.stop) return;
    if (n > static_cast<int32_t>(kStatementMax)) return report_error(rt, kMemoryRange);
    std::string raw;
    if (comma != std::string_view::npos) {
        if (!open_file_number(rt, file)) return;
        if (!file_read_bytes(rt, file, static_cast<std::size_t>(std::max(n, 0)), raw)) {
            if (!rt.host.stop) report_error(rt, kFileAccess);
            return;
        }
        return encode_string(raw, out);
    }
    while (static_cast<int32_t>(raw.size()) < n && !rt.host.stop) {
        rt.platform.want_keys(KeyDemand::Character);
        int key = -1;
        while (!rt.host.stop && key < 0) {
            rt.platform.sleep_ms(kKeyPollMs);
            key = rt.screen.last_key.exchange(-1);
        }
        if (key >= 0) raw += static_cast<char>(key);
    }
    encode_string(raw, out);
}

// The key's state as a signed 16-bit value, negative while it is down.
void keystate_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t key = integer_argument(rt, a.item[0]);
    if (rt.host.stop) return;
    if (key >= kFirstArrowCode && key < kFirstArrowCode + 4)
        key = kArrowKeys[key - kFirstArrowCode];
    out = format_integer(rt.platform.key_state(key));
}

// 0: x of the last mouse event, 1: its y, 2: its kind (1 move .. 5 right button up).
void mousestate_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t which = integer_argument(rt, a.item[0]);
    if (rt.host.stop) return;
    switch (which) {
        case 0:
            out = format_integer(rt.screen.mouse_x);
            break;
        case 1:
            out = format_integer(rt.screen.mouse_y);
            break;
        case 2:
            out = format_integer(rt.screen.mouse_event);
            break;
        default:
            report_error(rt, kOutOfRange);
    }
}

// The colour number of the picture's pixel; -1 outside the picture.
void point_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t x = integer_argument(rt, a.item[0]);
    int32_t y = integer_argument(rt, a.item[1]);
    if (rt.host.stop) return;
    int32_t colour = kPointOutside;
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        if (rt.graphics.picture.contains(x, y))
            colour = rgb_to_colour(rt.graphics.picture.pixel(x, y));
    }
    out = format_integer(colour);
}

// The negated RGB value, so that it passes through colour_to_rgb unchanged.
void rgb_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t r = integer_argument(rt, a.item[0]) & 0xFF;
    int32_t g = integer_argument(rt, a.item[1]) & 0xFF;
    int32_t b = integer_argument(rt, a.item[2]) & 0xFF;
    out = format_integer(-(r + 256 * g + 65536 * b));
}

// rnd and rnd(x): an omitted argument counts as 1.
void rnd_function(Runtime& rt, const Arguments& a, std::string& out) {
    int32_t x = a.count == 0 ? 1 : integer_argument(rt, a.item[0]);
    if (rt.host.stop) return;
    out = format_single(random_number(rt, x));
}

}  // namespace quillon
