// libpng, opened for the first PNG file read or written.
#pragma once

#include "platform/lazy_library.h"

namespace quillon {

LazyLibrary& png_library();

}  // namespace quillon
