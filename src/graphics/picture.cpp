// The picture and the window surface: made at window creation, resized with the window,
// cleared to black by the clear-screen statement and at start-up.
#include "graphics/picture.h"

#include <algorithm>

#include "host/runtime.h"
#include "screen/char_screen.h"

namespace quillon {

void create_picture(Runtime& rt) {
    const Size display = rt.platform.display_size();
    const Size client = rt.platform.client_size();
    std::lock_guard lock(rt.graphics.display_mutex);
    rt.graphics.picture = Canvas(std::max(display.width, 0), std::max(display.height, 0));
    rt.graphics.surface = Canvas(std::max(client.width, 0), std::max(client.height, 0));
    rt.screen.cursor = 0;
}

void resize_surface(Runtime& rt, int width, int height) {
    std::lock_guard lock(rt.graphics.display_mutex);
    rt.graphics.surface.resize(width, height);
}

void release_picture(Runtime& rt) {
    std::lock_guard lock(rt.graphics.display_mutex);
    rt.graphics.picture = Canvas();
    rt.graphics.surface = Canvas();
}

void clear_picture(Runtime& rt) {
    rt.graphics.picture.fill(kBlack);
}

// Where the window is larger than the picture, its black background shows.
void copy_picture_to_surface(Runtime& rt) {
    const Canvas& picture = rt.graphics.picture;
    Canvas& surface = rt.graphics.surface;
    surface.blit(0, 0, picture.width(), picture.height(), picture, 0, 0);
    surface.fill_rect(picture.width(), 0, surface.width(), surface.height(), kBlack);
    surface.fill_rect(0, picture.height(), picture.width(), surface.height(), kBlack);
}

void clear_graphics_screen(Runtime& rt) {
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        clear_picture(rt);
        copy_picture_to_surface(rt);
    }
    write_text(rt, "");
}

}  // namespace quillon
