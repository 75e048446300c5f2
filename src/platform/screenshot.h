// PNG screenshots of a canvas (kavrun --screenshot), for every back-end.
#pragma once

#include <string>

#include "platform/platform.h"

namespace quillon {

// Saves the pixels (0x00BBGGRR) as an opaque RGB PNG file. False, with `why` set, on failure.
bool save_png(const std::string& path, const PixelView& pixels, std::string* why = nullptr);

}  // namespace quillon
