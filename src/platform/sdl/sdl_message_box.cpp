// The runtime's own message boxes: layout, drawing into a pixel buffer, and the box window
// that shows the buffer and answers to Enter, Esc, Space and the OK button.
#include "platform/sdl/sdl_message_box.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/shift_jis.h"
#include "platform/sdl/sdl_window.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr int kPadding = 12;  // around the icon and the text
constexpr int kIconSize = 32;
constexpr int kIconGap = 10;        // between the icon and the text
constexpr int kTextWidthMax = 480;  // longer lines are broken
constexpr int kBoxWidthMin = 180;
constexpr int kStripHeight = 42;  // the button strip
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr char kButtonLabel[] = "OK";

// Colours as 0x00BBGGRR.
constexpr uint32_t kTextArea = 0xFFFFFF;
constexpr uint32_t kStrip = 0xF0F0F0;
constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kButtonFace = 0xE1E1E1;
constexpr uint32_t kButtonFocus = 0xD77800;  // the default button's blue frame
constexpr uint32_t kErrorRed = 0x2311E8;
constexpr uint32_t kInformationBlue = 0xD77800;
constexpr uint32_t kSymbol = 0xFFFFFF;

// The character at `pos` of Shift-JIS text as a font code, and its bytes.
unsigned character_at(std::string_view text, std::size_t pos, std::size_t& width) {
    auto lead = static_cast<uint8_t>(text[pos]);
    if (is_sjis_lead(lead) && pos + 1 < text.size()) {
        width = 2;
        return lead * 256u + static_cast<uint8_t>(text[pos + 1]);
    }
    width = 1;
    return lead;
}

int text_width(const Font& font, std::string_view text) {
    int width = 0;
    for (std::size_t k = 0, step = 1; k < text.size(); k += step)
        width += font.advance(character_at(text, k, step));
    return width;
}

// Breaks one line of the text where it is wider than the box allows: after its last blank
// when it has one (the blank goes), else between two characters (Japanese has no blanks).
void break_line(const Font& font, std::string_view line, std::vector<std::string>& out) {
    std::string current;
    int width = 0;
    for (std::size_t k = 0, step = 1; k < line.size(); k += step) {
        width += font.advance(character_at(line, k, step));
        current.append(line.substr(k, step));
        if (width <= kTextWidthMax || current.size() == step) continue;
        std::size_t blank = current.find_last_of(' ', current.size() - step - 1);
        bool at_blank = blank != std::string::npos && blank > 0;
        std::size_t cut = at_blank ? blank : current.size() - step;
        out.push_back(current.substr(0, cut));
        current.erase(0, at_blank ? cut + 1 : cut);
        width = text_width(font, current);
    }
    out.push_back(std::move(current));
}

void fill(PixelView target, const Rect& r, uint32_t colour) {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, target.height); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, target.width); ++x)
            target.pixels[static_cast<std::size_t>(y) * target.width + x] = colour;
}

void frame(PixelView target, const Rect& r, uint32_t colour) {
    fill(target, Rect{r.left, r.top, r.right, r.top + 1}, colour);
    fill(target, Rect{r.left, r.bottom - 1, r.right, r.bottom}, colour);
    fill(target, Rect{r.left, r.top, r.left + 1, r.bottom}, colour);
    fill(target, Rect{r.right - 1, r.top, r.right, r.bottom}, colour);
}

void draw_text(PixelView target, const Font& font, int x, int y, std::string_view text) {
    for (std::size_t k = 0, step = 1; k < text.size(); k += step) {
        unsigned code = character_at(text, k, step);
        font.draw(target, x, y, code, kInk, -1);
        x += font.advance(code);
    }
}

// The classic icons, drawn: a red disc with a white cross, a blue disc with a white "i".
void draw_icon(PixelView target, const Rect& r, MessageIcon icon) {
    const int size = r.right - r.left;
    const double centre = (size - 1) / 2.0;
    const double radius = size / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = x - centre, dy = y - centre;
            if (dx * dx + dy * dy > radius * radius) continue;
            bool symbol = false;
            if (icon == MessageIcon::Error) {
                double a = dx - dy, b = dx + dy;  // the two diagonals
                symbol = (std::abs(a) < 2.5 || std::abs(b) < 2.5) && std::abs(dx) < size / 4.0 &&
                         std::abs(dy) < size / 4.0;
            } else {
                bool stem = std::abs(dx) < 2.0 && dy > -3 && dy < size / 3.5;
                bool dot = dx * dx + (dy + size / 4.5) * (dy + size / 4.5) < 6.5;
                symbol = stem || dot;
            }
            Rect pixel{r.left + x, r.top + y, r.left + x + 1, r.top + y + 1};
            fill(target, pixel,
                 symbol ? kSymbol : (icon == MessageIcon::Error ? kErrorRed : kInformationBlue));
        }
    }
}

void draw_button(PixelView target, const Rect& button, const Font& font) {
    fill(target, button, kButtonFace);
    frame(target, button, kButtonFocus);
    const int label = text_width(font, kButtonLabel);
    const int line = font.metrics().height;
    draw_text(target, font, button.left + (button.right - button.left - label) / 2,
              button.top + (button.bottom - button.top - line) / 2, kButtonLabel);
}

bool inside(const Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

FontRecord message_box_font_record() {
    FontRecord record;
    record.height = -12;
    record.face = "MS UI Gothic";
    return record;
}

MessageBoxLayout lay_out_message_box(const Font& font, std::string_view text, MessageIcon icon) {
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        break_line(font, line, lines);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    MessageBoxLayout layout;
    const int line_height = std::max(font.metrics().height, 1);
    const int text_height = line_height * static_cast<int>(lines.size());
    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, text_width(font, line));
    const bool has_icon = icon != MessageIcon::None;
    const int text_left = kPadding + (has_icon ? kIconSize + kIconGap : 0);
    const int area = std::max(text_height, has_icon ? kIconSize : 0);
    // A text shorter than the icon stands level with the icon's middle.
    int y = kPadding + (area - text_height) / 2;
    for (std::string& line : lines) {
        layout.lines.push_back({text_left, y, std::move(line)});
        y += line_height;
    }
    if (has_icon)
        layout.icon = Rect{kPadding, kPadding, kPadding + kIconSize, kPadding + kIconSize};
    layout.text_bottom = kPadding * 2 + area;
    const int width =
        std::max({text_left + widest + kPadding, kBoxWidthMin, kButtonWidth + 2 * kPadding});
    const int button_height = std::max(kButtonHeight, line_height + 6);
    layout.size = Size{width, layout.text_bottom + std::max(kStripHeight, button_height + 18)};
    const int button_top =
        layout.text_bottom + (layout.size.height - layout.text_bottom - button_height) / 2;
    layout.button = Rect{width - kPadding - kButtonWidth, button_top, width - kPadding,
                         button_top + button_height};
    return layout;
}

void draw_message_box(PixelView target, const MessageBoxLayout& layout, const Font& font,
                      MessageIcon icon) {
    fill(target, Rect{0, 0, layout.size.width, layout.text_bottom}, kTextArea);
    fill(target, Rect{0, layout.text_bottom, layout.size.width, layout.size.height}, kStrip);
    if (icon != MessageIcon::None) draw_icon(target, layout.icon, icon);
    for (const auto& line : layout.lines)
        draw_text(target, font, line.x, line.y, line.text);
    draw_button(target, layout.button, font);
}

std::unique_ptr<MessageBoxWindow> MessageBoxWindow::open(SDL_Window* owner, const Font& font,
                                                         std::string_view text,
                                                         std::string_view title, MessageIcon icon,
                                                         std::string* why) {
    MessageBoxLayout layout = lay_out_message_box(font, text, icon);
    const Size size = layout.size;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (owner) {  // centred over the program's window
        int ox = 0, oy = 0, ow = 0, oh = 0;
        SDL_GetWindowPosition(owner, &ox, &oy);
        SDL_GetWindowSize(owner, &ow, &oh);
        x = ox + (ow - size.width) / 2;
        y = oy + (oh - size.height) / 2;
    }
    const std::string utf8_title = sjis_to_utf8(title);
    SDL_Window* window = SDL_CreateWindow(utf8_title.c_str(), x, y, size.width, size.height,
                                          SDL_WINDOW_HIDDEN | SDL_WINDOW_SKIP_TASKBAR);
    if (!window) {
        if (why) *why = SDL_GetError();
        return nullptr;
    }
    std::vector<uint32_t> pixels(static_cast<std::size_t>(size.width) * size.height);
    draw_message_box(PixelView{pixels.data(), size.width, size.height}, layout, font, icon);
    std::unique_ptr<MessageBoxWindow> box(
        new MessageBoxWindow(window, std::move(layout), std::move(pixels)));
    if (owner) SDL_SetWindowModalFor(window, owner);
    SDL_ShowWindow(window);
    box->raise();
    box->present();
    return box;
}

MessageBoxWindow::MessageBoxWindow(SDL_Window* window, MessageBoxLayout layout,
                                   std::vector<uint32_t> pixels)
    : window_(window),
      id_(SDL_GetWindowID(window)),
      layout_(std::move(layout)),
      pixels_(std::move(pixels)) {}

MessageBoxWindow::~MessageBoxWindow() {
    SDL_DestroyWindow(window_);
}

void MessageBoxWindow::raise() {
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
}

void MessageBoxWindow::present() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    present_pixels(PixelView{pixels_.data(), layout_.size.width, layout_.size.height}, surface);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(window_);
}

bool MessageBoxWindow::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN: {
            SDL_Keycode key = event.key.keysym.sym;
            return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_ESCAPE ||
                   key == SDLK_SPACE;
        }
        case SDL_MOUSEBUTTONDOWN:
            pressed_ = event.button.windowID == id_ && event.button.button == SDL_BUTTON_LEFT &&
                       inside(layout_.button, event.button.x, event.button.y);
            return false;
        case SDL_MOUSEBUTTONUP:
            if (!pressed_ || event.button.button != SDL_BUTTON_LEFT) return false;
            pressed_ = false;
            return event.button.windowID == id_ &&
                   inside(layout_.button, event.button.x, event.button.y);
        case SDL_WINDOWEVENT:
            if (event.window.windowID != id_) return false;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) return true;
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                present();
            return false;
        default:
            return false;
    }
}

}  // namespace quillon
