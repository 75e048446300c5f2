// The picture (the display's size, what every drawing statement draws into as well as the
// window) and the window surface (the client area, what the back-end presents), and the
// clears and copies between them.
#pragma once

namespace quillon {

struct Runtime;

// Window creation: the picture at the display size and the window surface at the client size,
// both black, and the screen's cursor at 0. Locks the display mutex itself.
void create_picture(Runtime& rt);
// The window's client area has a new size: the surface follows, the picture keeps the
// display's size. Locks the display mutex itself.
void resize_surface(Runtime& rt, int width, int height);
// Window destruction: both canvases released. Locks the display mutex itself.
void release_picture(Runtime& rt);

// Fills the whole picture with black. The caller holds the display mutex.
void clear_picture(Runtime& rt);
// Copies the whole picture into the window surface at (0, 0). The caller holds the mutex.
void copy_picture_to_surface(Runtime& rt);

// The graphics part of the clear-screen statement (argument 2), also run at start-up: the
// picture black, copied into the window, the text drawn over it again. Locks the mutex itself.
void clear_graphics_screen(Runtime& rt);

}  // namespace quillon
