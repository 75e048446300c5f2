// fontconfig and FreeType, opened when a font is first used.
#pragma once

#include "platform/lazy_library.h"

namespace quillon {

LazyLibrary& fontconfig_library();
LazyLibrary& freetype_library();

}  // namespace quillon
