// Modal message boxes through SDL: Shift-JIS text and title shown as UTF-8 with one OK
// button, owned by the program's window.
#pragma once

#include <SDL_video.h>

#include <string_view>

#include "platform/platform.h"

namespace quillon {

// Shows the box and returns when the user has answered it. Called on the worker thread, so
// that the event thread goes on painting the window meanwhile. When no box can be shown, the
// box's title and text go to standard error and the call returns at once.
void show_message_box(SDL_Window* owner, std::string_view text, std::string_view title,
                      MessageIcon icon);

// SDL shows each box from a child process of its own; a process that ends while a box is up
// ends those children too, so that no box (nor the window its connection keeps) outlives it.
void end_message_box_processes();

}  // namespace quillon
