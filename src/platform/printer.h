// The printer behind the platform: one print job of PDF pages in the program's font, sent to
// the default destination (or written to a file) when it ends. Back-ends: platform/printing/.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

class PrintJob {
  public:
    virtual ~PrintJob() = default;  // a job dropped without finish() is discarded
    // The printable area of one page in device units (1/96 inch, the screen's pixels).
    virtual int page_width() const = 0;
    virtual int page_height() const = 0;
    // Draws Shift-JIS text with the top-left of its first character cell at (x, y).
    virtual void draw_text(int x, int y, std::string_view text) = 0;
    virtual void new_page() = 0;
    // Ends the document and sends it; false, with the reason (Shift-JIS), when it could not.
    virtual bool finish(std::string& error) = 0;
};

}  // namespace quillon
