// State of the printer statement: the open print job and the print position on its page.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace quillon {

inline constexpr int kPrintLeft = 10;  // x of every line's start, in device units

struct PrinterState {
    std::unique_ptr<PrintJob> job;  // opened by the first LPRINT, ended by a form feed
    std::unique_ptr<Font> font;     // the program's font, for the job's metrics
    int x = kPrintLeft;
    int y = 0;
};

}  // namespace quillon
