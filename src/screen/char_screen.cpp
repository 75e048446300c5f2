// The character screen's text: writing with its overwrite rules (escape pairs, tabs, line
// ends), the edits that keep the per-byte colours in step with the bytes, and the 8191-byte
// limit. Drawing is in screen_layout.cpp.
#include "screen/char_screen.h"

#include <algorithm>

#include "host/limits.h"
#include "host/runtime.h"

namespace quillon {
namespace {

constexpr char kEscapeByte = 0x01;
constexpr int32_t kTabWidth = 8;

// The text to write: carriage returns before line feeds dropped, and a final line feed taken
// off (the line is ended after writing instead). A NUL ends the text, as it ends a string.
struct WriteCopy {
    std::string bytes;
    bool end_line = false;
};

WriteCopy make_copy(std::string_view text) {
    WriteCopy copy;
    copy.bytes.reserve(text.size());
    for (std::size_t k = 0; k < text.size() && text[k] != '\0'; ++k) {
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
        copy.bytes += text[k];
    }
    if (!copy.bytes.empty() && copy.bytes.back() == '\n') {
        copy.bytes.pop_back();
        copy.end_line = true;
    }
    return copy;
}

// Index of the first byte of the line holding `at`.
std::size_t line_start(const std::string& text, std::size_t at) {
    if (at == 0) return 0;
    std::size_t lf = text.rfind('\n', at - 1);
    return lf == std::string::npos ? 0 : lf + 1;
}

void store_colours(Runtime& rt, std::size_t at) {
    rt.screen.text_colours[at] = rt.graphics.text_colour;
    rt.screen.background_colours[at] = rt.graphics.background_colour;
}

// Ends the line after the written bytes: a line feed appended at the end of the text, or the
// cursor moved past the next line feed. False when the text has no room for the line feed.
bool end_line(Runtime& rt, std::size_t& c, bool at_end) {
    std::string& text = rt.screen.text;
    if (!at_end) {
        std::size_t lf = text.find('\n', c);
        if (lf != std::string::npos) {
            c = lf + 1;
            return true;
        }
    }
    if (!insert_screen_text(rt, text.size(), "\n")) return false;
    c = text.size();
    return true;
}

// Makes room where a written byte and the screen byte under it disagree about escape pairs:
// a pair overwritten by a plain byte loses its 0x01; a pair written over a plain byte gets a
// blank to fill its second byte. False when the text is full.
bool fit_pair(Runtime& rt, std::size_t c, bool writes_pair) {
    const bool on_pair = escape_pair_kind(rt.screen.text, c) != kNoPair;
    if (on_pair && !writes_pair) erase_screen_text(rt, c, 1);
    if (writes_pair && !on_pair) return insert_screen_text(rt, c, " ");
    return true;
}

// Writes the copy at the cursor; returns the bytes written (for the transcript) and leaves
// the copy as expanded. The display mutex is held.
std::string write_at_cursor(Runtime& rt, WriteCopy& copy) {
    std::string& text = rt.screen.text;
    std::string& bytes = copy.bytes;
    std::string written;
    std::size_t c = static_cast<std::size_t>(rt.screen.cursor);
    bool at_end = false;
    bool pair_second = false;  // the byte to write is the letter of a pair just begun
    for (std::size_t p = 0;; ++p, ++c) {
        // A line feed under the cursor moves right: the line grows instead of losing its end.
        if (c < text.size() && text[c] == '\n' && !insert_screen_text(rt, c, " ")) break;
        if (c == text.size()) at_end = true;
        if (p == bytes.size()) {
            if (copy.end_line && end_line(rt, c, at_end)) written += '\n';
            break;
        }
        if (pair_second) {
            pair_second = false;
        } else {
            pair_second = escape_pair_kind(bytes, p) != kNoPair;
            if (!fit_pair(rt, c, pair_second)) break;
        }
        if (bytes[p] == '\t') {
            auto column = static_cast<int32_t>(c - line_start(text, c));
            bytes.replace(p, 1, static_cast<std::size_t>(kTabWidth - column % kTabWidth), ' ');
        }
        if (c == text.size()) {
            if (text.size() >= kScreenTextMax) break;  // the screen is full: writing stops
            text.push_back(bytes[p]);
        } else {
            text[c] = bytes[p];
        }
        store_colours(rt, c);
        written += bytes[p];
    }
    rt.screen.cursor = static_cast<int32_t>(c);
    return written;
}

}  // namespace

int escape_pair_kind(std::string_view text, std::size_t index) {
    if (index + 1 >= text.size() || text[index] != kEscapeByte) return kNoPair;
    switch (text[index + 1]) {
        case kEscapeByte:
            return kPairEscape;
        case 'L':
            return kPairBlank;
        case 'D':
            return kPairQuote;
        case 'Z':
            return kPairNul;
        default:
            return kNoPair;
    }
}

void write_text(Runtime& rt, std::string_view text) {
    WriteCopy copy = make_copy(text);
    std::string written;
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        if (rt.screen.text.size() > kScreenTextMax) rt.screen.text.resize(kScreenTextMax);
        const int32_t before = rt.screen.cursor;
        const bool inside =
            before >= 0 && static_cast<std::size_t>(before) <= rt.screen.text.size();
        if (inside) written = write_at_cursor(rt, copy);
        layout_and_draw(
            rt, static_cast<int32_t>(std::min<std::size_t>(copy.bytes.size(), INT32_MAX)), before);
    }
    if (!written.empty()) rt.platform.screen_output(written);
    rt.platform.present();
}

void clear_screen_text(Runtime& rt) {
    std::lock_guard lock(rt.graphics.display_mutex);
    rt.screen.text.clear();
    rt.screen.cursor = 0;
}

void keep_only_line_breaks(Runtime& rt) {
    std::string& text = rt.screen.text;
    text.assign(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), '\n');
    rt.screen.cursor = static_cast<int32_t>(text.size());
}

bool insert_screen_text(Runtime& rt, std::size_t at, std::string_view bytes) {
    ScreenState& s = rt.screen;
    const std::size_t size = s.text.size();
    if (at > size || size > kScreenTextMax || bytes.size() > kScreenTextMax - size) return false;
    const std::size_t n = bytes.size();
    std::copy_backward(s.text_colours.begin() + at, s.text_colours.begin() + size,
                       s.text_colours.begin() + size + n);
    std::copy_backward(s.background_colours.begin() + at, s.background_colours.begin() + size,
                       s.background_colours.begin() + size + n);
    s.text.insert(at, bytes);
    return true;
}

void erase_screen_text(Runtime& rt, std::size_t at, std::size_t count) {
    ScreenState& s = rt.screen;
    const std::size_t size = s.text.size();
    if (at >= size) return;
    count = std::min(count, size - at);
    std::copy(s.text_colours.begin() + at + count, s.text_colours.begin() + size,
              s.text_colours.begin() + at);
    std::copy(s.background_colours.begin() + at + count, s.background_colours.begin() + size,
              s.background_colours.begin() + at);
    s.text.erase(at, count);
}

std::string decode_screen_pairs(std::string_view text) {
    static constexpr char kShown[] = {0, kEscapeByte, ' ', '"', '\0'};
    std::string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        int kind = escape_pair_kind(text, k);
        if (kind == kNoPair) {
            out += text[k];
        } else {
            out += kShown[kind];
            ++k;
        }
    }
    return out;
}

}  // namespace quillon
