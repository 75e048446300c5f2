// Modal message boxes drawn by the runtime itself: one window of its own with the icon, the
// Shift-JIS text in the runtime's fonts (Japanese included) and an OK button. It needs nothing
// from the desktop (no X core fonts, no dialog program), so it appears on X11 and Wayland alike.
// Everything here runs on the event thread.
#pragma once

#include <SDL_events.h>
#include <SDL_video.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace quillon {

// Where a box's parts go, in pixels of its client area.
struct MessageBoxLayout {
    struct Line {
        int x = 0;
        int y = 0;         // top of the line's cell
        std::string text;  // Shift-JIS
    };
    Size size;
    Rect icon;  // empty without an icon
    std::vector<Line> lines;
    Rect button;
    int text_bottom = 0;  // where the white text area ends and the button strip begins
};

// Lays the text out: lines broken at line feeds and, when wider than the box allows, between
// characters; the icon to their left and the OK button in a strip below.
MessageBoxLayout lay_out_message_box(const Font& font, std::string_view text, MessageIcon icon);
// Draws the whole box into `target` (its size is the layout's).
void draw_message_box(PixelView target, const MessageBoxLayout& layout, const Font& font,
                      MessageIcon icon);

class MessageBoxWindow {
  public:
    // Opens the box centred over `owner`, modal to it, with the focus; null (and SDL's reason
    // in `why`) when no window can be made.
    static std::unique_ptr<MessageBoxWindow> open(SDL_Window* owner, const Font& font,
                                                  std::string_view text, std::string_view title,
                                                  MessageIcon icon, std::string* why);
    ~MessageBoxWindow();
    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

    uint32_t id() const { return id_; }
    // Handles an event for the box (every key press while it is up counts as one); true when
    // it answers the box: Enter, Esc or Space, a click on OK, or closing the box.
    bool handle(const SDL_Event& event);
    // Brings the box back in front, with the focus (its owner was clicked).
    void raise();

  private:
    MessageBoxWindow(SDL_Window* window, MessageBoxLayout layout, std::vector<uint32_t> pixels);
    void present();

    SDL_Window* window_;
    uint32_t id_;
    MessageBoxLayout layout_;
    std::vector<uint32_t> pixels_;  // the drawn box, presented again whenever it is exposed
    bool pressed_ = false;          // the mouse went down on OK
};

// The font of the boxes: the classic interface face at its usual 12-pixel size.
FontRecord message_box_font_record();

}  // namespace quillon
