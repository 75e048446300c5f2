// The printing libraries, each opened when the first page is made or sent: cairo for the PDF
// pages, CUPS for the print queue.
#pragma once

#include "platform/lazy_library.h"

namespace quillon {

LazyLibrary& cairo_library();
LazyLibrary& cups_library();

}  // namespace quillon
