// The real window on Linux: an SDL2 platform for kavrun. main() asks for it first and falls
// back to the headless platform when no window can be made.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace quillon {

inline constexpr int kDefaultCloseTimeoutMs = 5000;

struct WindowOptions {
    Size screen{1024, 768};     // the display, hence the picture (--screen)
    Size window{640, 400};      // the client area (--window)
    std::string title;          // UTF-8: the program file's name without its extension
    std::string video_driver;   // empty: SDL's choice; "offscreen" serves tests
    std::string settings_path;  // empty: the user's settings file
    std::string audio_file;     // a WAV recording of everything that sounds (--audio)
    std::string printer_file;   // LPRINT's pages go to this PDF file (--printer)
    // After the user closes the window, how long the program may take to stop before the
    // process ends without it (a program stuck in a blocking call).
    int close_timeout_ms = kDefaultCloseTimeoutMs;
};

// The SDL platform, or null when no window can be made: no display to connect to (neither
// DISPLAY nor WAYLAND_DISPLAY set, unless `video_driver` names a driver), or SDL's video
// cannot start, or the window cannot be created. In the last two cases `why` gets SDL's reason.
std::unique_ptr<Platform> make_sdl_platform(const WindowOptions& options,
                                            std::string* why = nullptr);

}  // namespace quillon
