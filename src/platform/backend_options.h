// What kavrun's command line tells a back-end: the display and window sizes and the title.
#pragma once

#include <string>

#include "platform/platform.h"

namespace quillon {

inline constexpr Size kDefaultScreenSize{1024, 768};
inline constexpr Size kDefaultWindowSize{640, 400};

struct BackendOptions {
    Size screen = kDefaultScreenSize;  // the display size, hence the picture's
    bool screen_given = false;         // --screen was given
    Size window = kDefaultWindowSize;  // the window's client area
    std::string title;                 // the window title (UTF-8)
};

}  // namespace quillon
