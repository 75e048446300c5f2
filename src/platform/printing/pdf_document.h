// PDF pages drawn with cairo in the program's font: the body of every print job. Device
// units are 1/96 inch (the screen's pixels), measured from the printable area's top-left.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/fonts/system_font.h"
#include "platform/platform.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;
typedef struct _cairo_font_face cairo_font_face_t;

namespace quillon {

inline constexpr double kDeviceUnitsPerInch = 96;

// A sheet in millimetres, with the margins a printer cannot print on.
struct PaperSize {
    double width_mm = 210;
    double height_mm = 297;
    double left_mm = 0;
    double top_mm = 0;
    double right_mm = 0;
    double bottom_mm = 0;
};

// The paper named by $PAPERSIZE or /etc/papersize (a4, letter, legal, a3, a5, b5), else A4.
PaperSize default_paper_size();
PaperSize paper_size_named(std::string_view name);

class PdfDocument {
  public:
    // Writes to `path`, or keeps the document in memory when `path` is empty (bytes()).
    PdfDocument(const std::string& path, const PaperSize& paper, const FaceMatch& face,
                std::unique_ptr<Font> font);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    bool ok() const;  // the surface could be made (cairo is there and the file can be written)
    int width() const;
    int height() const;
    void draw_text(int x, int y, std::string_view sjis);
    void end_page();
    // Ends the document; false when cairo reports a failure (a full disk).
    bool finish(std::string& why);
    const std::string& bytes() const { return bytes_; }

  private:
    PaperSize paper_;
    std::unique_ptr<Font> font_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    cairo_font_face_t* face_ = nullptr;
    std::string bytes_;
    bool finished_ = false;
};

}  // namespace quillon
