// SDL2, opened when a window (or its sound) is first wanted.
#pragma once

#include "platform/lazy_library.h"

namespace quillon {

LazyLibrary& sdl_library();

}  // namespace quillon
