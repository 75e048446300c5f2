// Lays out the character screen's text from the window's top-left corner and draws it into
// the window surface: wrapping at the client edge and the view limit, double-width
// characters, escape pairs, per-byte colours, the caret, scrolling and full repaints.
#include <algorithm>
#include <array>

#include "graphics/picture.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/shift_jis.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

// One character of the screen text.
struct Cell {
    unsigned code = 0;      // the byte, or lead * 256 + trail
    int kind = kNoPair;     // an escape pair's kind
    std::size_t index = 0;  // whose colour entries it uses: the lead byte, or a pair's letter
    std::size_t next = 0;   // the index after it
};

// A lead byte with a trail byte after it is one double-width character; a lead byte without
// one (a half-overwritten character) stands alone, so it never swallows a line feed.
Cell read_cell(const std::string& text, std::size_t i) {
    Cell cell;
    const auto byte = static_cast<uint8_t>(text[i]);
    cell.code = byte;
    cell.index = i;
    cell.next = i + 1;
    if (is_sjis_lead(byte) && i + 1 < text.size() &&
        is_sjis_trail(static_cast<uint8_t>(text[i + 1]))) {
        cell.code = byte * 256u + static_cast<uint8_t>(text[i + 1]);
        cell.next = i + 2;
    } else if (byte == 0x01 && (cell.kind = escape_pair_kind(text, i)) != kNoPair) {
        cell.index = i + 1;
        cell.next = i + 2;
    }
    return cell;
}

// The font's advances of single bytes, asked once per layout: a layout measures the same
// few bytes over and over.
class Advances {
  public:
    explicit Advances(const Font& font) : font_(font) { single_.fill(-1); }
    int operator()(unsigned code) {
        if (code > 0xFF) return font_.advance(code);
        int& known = single_[code];
        if (known < 0) known = font_.advance(code);
        return known;
    }

  private:
    const Font& font_;
    std::array<int, 256> single_;
};

// A pair of kind 2 or 4 advances by the width of its letter; the others by what they show.
int cell_width(Advances& advance, const Cell& cell) {
    switch (cell.kind) {
        case kPairEscape:
            return advance(0x01);
        case kPairBlank:
            return advance('L');
        case kPairQuote:
            return advance('"');
        case kPairNul:
            return advance('Z');
        default:
            return advance(cell.code);
    }
}

unsigned shown_code(const Cell& cell) {
    switch (cell.kind) {
        case kPairEscape:
            return 0x01;
        case kPairQuote:
            return '"';
        case kPairNul:
            return 0;
        default:
            return cell.code;
    }
}

bool in_range(std::size_t index, int32_t count, int32_t start) {
    if (count == 0) return true;
    const auto i = static_cast<int64_t>(index);
    return i >= start && i < static_cast<int64_t>(start) + count;
}

// Draws one character at (x, y). A blank pair shows the picture under it, one blank wide,
// whether or not the character is among those to draw.
void draw_cell(Runtime& rt, Canvas& target, Advances& advance, const Cell& cell, int x, int y,
               bool chosen) {
    const Font& font = *rt.screen.font;
    if (cell.kind == kPairBlank) {
        const Canvas& picture = rt.graphics.picture;
        if (&target != &picture)
            target.blit(x, y, advance(' '), font.metrics().height, picture, x, y);
        return;
    }
    if (!chosen) return;
    font.draw(target.view(), x, y, shown_code(cell), rt.screen.text_colours[cell.index],
              rt.screen.background_colours[cell.index]);
}

// One walk over the whole text: records the caret, draws the chosen characters into `target`
// (none when it is null) and returns the y below the last line.
int layout_pass(Runtime& rt, Canvas* target, int32_t count, int32_t start) {
    ScreenState& s = rt.screen;
    const Font& font = *s.font;
    const int line_height = font.metrics().height + font.metrics().external_leading;
    const int right = rt.graphics.surface.width();
    if (s.text.size() > kScreenTextMax) s.text.resize(kScreenTextMax);  // colours exist no further
    const std::string& text = s.text;
    Advances advance(font);
    int x = 0, y = 0;
    for (std::size_t i = 0;;) {
        if (static_cast<int64_t>(i) == s.cursor) {
            s.caret_x = x;
            s.caret_y = y + line_height;
        }
        if (i >= text.size()) {
            if (i != 0) y += line_height;
            return y;
        }
        if (text[i] == '\n') {
            x = 0, y += line_height, ++i;
            continue;
        }
        const Cell cell = read_cell(text, i);
        const int width = cell_width(advance, cell);
        if (target) draw_cell(rt, *target, advance, cell, x, y, in_range(cell.index, count, start));
        x += width;
        if (x + width >= right || (s.view.on && x >= s.view.width)) x = 0, y += line_height;
        i = cell.next;
    }
}

// Taller than the window, or than the view limit. A window without area (minimised) shows
// nothing and scrolls nothing away.
bool too_tall(const Runtime& rt, int bottom) {
    const Canvas& surface = rt.graphics.surface;
    if (surface.width() <= 0 || surface.height() <= 0) return false;
    return bottom > surface.height() || (rt.screen.view.on && bottom > rt.screen.view.height);
}

// Drops the first line (all the text when it has one line) and puts the cursor at the end.
void scroll_first_line(Runtime& rt) {
    std::string& text = rt.screen.text;
    std::size_t lf = text.find('\n');
    erase_screen_text(rt, 0, lf == std::string::npos ? text.size() : lf + 1);
    rt.screen.cursor = static_cast<int32_t>(text.size());
}

// Scrolls until the text fits the window. The text only shrinks, so this ends.
void scroll_until_it_fits(Runtime& rt, int bottom) {
    while (!rt.screen.text.empty() && too_tall(rt, bottom)) {
        scroll_first_line(rt);
        bottom = layout_pass(rt, nullptr, 0, 0);
    }
}

// The input method's composition window follows the caret, and the back-end hears that the
// caret may have moved. It draws the caret over the presented surface, so drawing never
// disturbs the caret and it need not be hidden meanwhile.
void after_layout(Runtime& rt) {
    const FontMetrics& m = rt.screen.font->metrics();
    rt.platform.set_ime_position(rt.screen.caret_x,
                                 rt.screen.caret_y - m.height + m.external_leading, m.height);
    if (rt.screen.caret_flag) rt.platform.caret_changed();
}

}  // namespace

// A scroll moves every line, so it leaves the surface to the next full repaint instead of
// redrawing it at once: many lines printed in a row cost one repaint, not one each. Until
// then writes draw nothing (the repaint draws everything).
void layout_and_draw(Runtime& rt, int32_t count, int32_t start) {
    if (!rt.screen.font) return;
    Canvas* target = rt.screen.surface_stale ? nullptr : &rt.graphics.surface;
    const int bottom = layout_pass(rt, target, count, start);
    if (too_tall(rt, bottom)) {
        scroll_until_it_fits(rt, bottom);
        rt.screen.surface_stale = true;
        rt.platform.invalidate();
    }
    after_layout(rt);
}

void repaint_window(Runtime& rt) {
    if (rt.screen.font) scroll_until_it_fits(rt, layout_pass(rt, nullptr, 0, 0));
    copy_picture_to_surface(rt);
    rt.screen.surface_stale = false;
    if (!rt.screen.font) return;
    layout_pass(rt, &rt.graphics.surface, 0, 0);
    after_layout(rt);
}

void update_surface(Runtime& rt) {
    if (rt.screen.surface_stale) repaint_window(rt);
}

void present_surface(Runtime& rt, const std::function<void(const PixelView&)>& present) {
    std::lock_guard lock(rt.graphics.display_mutex);
    update_surface(rt);
    present(rt.graphics.surface.view());
}

void draw_screen_text_into(Runtime& rt, Canvas& target) {
    if (rt.screen.font) layout_pass(rt, &target, 0, 0);
}

}  // namespace quillon
