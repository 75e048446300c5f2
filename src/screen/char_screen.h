// The character screen: one text of up to 8191 bytes with line feeds, per-byte colours and a
// byte cursor, laid out from the window's top-left on every draw, wrapped at the client edge
// (or the view limit), drawn over the picture into the window surface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillon {

struct Runtime;
struct PixelView;
class Canvas;

// Escape pair kinds kept in screen text: 0x01 0x01, 0x01 L, 0x01 D, 0x01 Z.
enum EscapeKind : int {
    kNoPair = 0,
    kPairEscape = 1,
    kPairBlank = 2,
    kPairQuote = 3,
    kPairNul = 4
};
int escape_pair_kind(std::string_view text, std::size_t index);

// Writes text at the cursor (overwriting), moves the cursor and draws what it wrote.
// Locks the display mutex itself.
void write_text(Runtime& rt, std::string_view text);

// Lays out the whole text and draws the bytes in [start, start + count) (all when count is
// 0) into the window surface; records the caret and moves the input method to it. Text
// taller than the window (or the view limit) loses its first lines; the surface then waits
// for a full repaint (update_surface), and the back-end is asked for one. The caller holds
// the display mutex.
void layout_and_draw(Runtime& rt, int32_t count, int32_t start);

// A full repaint: the picture into the window surface, then all the text over it. The caller
// holds the display mutex.
void repaint_window(Runtime& rt);

// Repaints the surface if a scroll left it waiting. Whoever reads the surface to show it
// calls this first (present_surface does). The caller holds the display mutex.
void update_surface(Runtime& rt);

// Hands the up-to-date window surface to `present` (the window procedure's copy_surface).
// Locks the display mutex itself.
void present_surface(Runtime& rt, const std::function<void(const PixelView&)>& present);

// Draws all the text into `target` as it is laid out in the window, without scrolling (the
// text merged into the picture before the picture moves). The caller holds the display mutex.
void draw_screen_text_into(Runtime& rt, Canvas& target);

// Empties the screen text (the cursor goes to 0). Locks the display mutex itself.
void clear_screen_text(Runtime& rt);

// Empties the screen text but keeps as many line breaks as it had; the cursor goes to the end,
// so that output goes on below the former last line. The caller holds the display mutex.
void keep_only_line_breaks(Runtime& rt);

// Inserts bytes into the screen text at `at`, moving the colour entries from there up with
// the text; false (nothing inserted) when the text would exceed its limit. The caller holds
// the display mutex.
bool insert_screen_text(Runtime& rt, std::size_t at, std::string_view bytes);
// Removes `count` bytes at `at`, moving the colour entries above them down. The caller holds
// the display mutex.
void erase_screen_text(Runtime& rt, std::size_t at, std::size_t count);

// Screen text as it reads: each escape pair replaced by the byte it shows (0x01 L a blank,
// 0x01 D a double quote, 0x01 Z a NUL, 0x01 0x01 the byte 0x01). Still Shift-JIS.
std::string decode_screen_pairs(std::string_view text);

}  // namespace quillon
