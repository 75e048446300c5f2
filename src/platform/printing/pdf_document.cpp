// PDF pages with cairo. Each character is placed at the advance the runtime's font gives it
// (so printed lines line up as the screen's do), and carries its text, so that the PDF can be
// searched and copied from.
#include "platform/printing/pdf_document.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "host/shift_jis.h"
#include "platform/printing/printing_libraries.h"
#include "platform/system_services.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr double kPointsPerInch = 72;
constexpr double kMmPerInch = 25.4;
constexpr double kUnitToPoint = kPointsPerInch / kDeviceUnitsPerInch;
constexpr double kPrinterEdgeMm = kMmPerInch / 6;

double mm_to_points(double mm) {
    return mm / kMmPerInch * kPointsPerInch;
}

int mm_to_units(double mm) {
    return static_cast<int>(mm / kMmPerInch * kDeviceUnitsPerInch);
}

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

cairo_font_face_t* face_for(const FaceMatch& face) {
    if (face.file.empty()) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(face.file.c_str()));
    FcPatternAddInteger(pattern, FC_INDEX, face.index);
    cairo_font_face_t* made = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    return made;
}

}  // namespace

// The sheet, with the unprintable edge of a typical printer (1/6 inch) as its margins.
PaperSize paper_size_named(std::string_view name) {
    std::string lower;
    for (char c : name)
        if (!std::isspace(static_cast<unsigned char>(c)))
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    PaperSize paper{210, 297};
    if (lower == "letter") paper = {215.9, 279.4};
    if (lower == "legal") paper = {215.9, 355.6};
    if (lower == "a3") paper = {297, 420};
    if (lower == "a5") paper = {148, 210};
    if (lower == "b5") paper = {176, 250};
    paper.left_mm = paper.top_mm = paper.right_mm = paper.bottom_mm = kPrinterEdgeMm;
    return paper;
}

PaperSize default_paper_size() {
    if (auto named = environment_variable("PAPERSIZE")) return paper_size_named(*named);
    if (auto file = read_whole_file("/etc/papersize", nullptr, 4096)) {
        std::size_t start = file->find_first_not_of(" \t\r\n");
        std::size_t end = file->find_first_of(" \t\r\n", start);
        if (start != std::string::npos && (*file)[start] != '#')
            return paper_size_named(std::string_view(*file).substr(start, end - start));
    }
    return paper_size_named("a4");
}

PdfDocument::PdfDocument(const std::string& path, const PaperSize& paper, const FaceMatch& face,
                         std::unique_ptr<Font> font)
    : paper_(paper), font_(std::move(font)) {
    if (!cairo_library().available()) {  // no document: ok() says so, and nothing is drawn
        finished_ = true;
        return;
    }
    const double w = mm_to_points(paper.width_mm);
    const double h = mm_to_points(paper.height_mm);
    surface_ = path.empty() ? cairo_pdf_surface_create_for_stream(append_bytes, &bytes_, w, h)
                            : cairo_pdf_surface_create(path.c_str(), w, h);
    cr_ = cairo_create(surface_);
    face_ = face_for(face);
    if (face_) cairo_set_font_face(cr_, face_);
    const FontMetrics& m = font_->metrics();
    cairo_set_font_size(cr_, std::max(1, m.height - m.internal_leading) * kUnitToPoint);
    cairo_set_source_rgb(cr_, 0, 0, 0);
}

PdfDocument::~PdfDocument() {
    std::string ignored;
    finish(ignored);
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
    if (face_) cairo_font_face_destroy(face_);
}

bool PdfDocument::ok() const {
    return surface_ && cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS &&
           cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

int PdfDocument::width() const {
    return mm_to_units(paper_.width_mm - paper_.left_mm - paper_.right_mm);
}

int PdfDocument::height() const {
    return mm_to_units(paper_.height_mm - paper_.top_mm - paper_.bottom_mm);
}

void PdfDocument::draw_text(int x, int y, std::string_view sjis) {
    if (finished_ || sjis.empty()) return;
    // One glyph per character: its UTF-8 bytes and its place from the runtime's advances.
    std::string utf8;
    std::vector<double> places;
    double pen = mm_to_units(paper_.left_mm) + x;
    for (std::size_t k = 0; k < sjis.size(); ++k) {
        auto byte = static_cast<uint8_t>(sjis[k]);
        unsigned code = byte;
        std::size_t width = is_sjis_lead(byte) && k + 1 < sjis.size() &&
                                    is_sjis_trail(static_cast<uint8_t>(sjis[k + 1]))
                                ? 2
                                : 1;
        if (width == 2) code = byte * 256u + static_cast<uint8_t>(sjis[k + 1]);
        // cairo reads text only up to a NUL, and a glyph list longer than the text would put
        // the whole document in error: a NUL prints as a blank.
        std::string piece = byte == 0 ? " " : sjis_to_utf8(sjis.substr(k, width));
        k += width - 1;
        places.push_back(pen);
        utf8 += piece;
        pen += font_->advance(code);
    }
    const double baseline = mm_to_units(paper_.top_mm) + y + font_->metrics().ascent;
    cairo_glyph_t* glyphs = nullptr;
    int glyph_count = 0;
    cairo_text_cluster_t* clusters = nullptr;
    int cluster_count = 0;
    cairo_text_cluster_flags_t flags{};
    cairo_scaled_font_t* scaled = cairo_get_scaled_font(cr_);
    if (cairo_scaled_font_text_to_glyphs(scaled, 0, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         &glyphs, &glyph_count, &clusters, &cluster_count,
                                         &flags) != CAIRO_STATUS_SUCCESS)
        return;
    if (glyph_count == static_cast<int>(places.size())) {
        for (int g = 0; g < glyph_count; ++g) {
            glyphs[g].x = places[static_cast<std::size_t>(g)] * kUnitToPoint;
            glyphs[g].y = baseline * kUnitToPoint;
        }
    } else {  // not one glyph per character: cairo's own advances from the line's start
        for (int g = 0; g < glyph_count; ++g) {
            glyphs[g].x += places.front() * kUnitToPoint;
            glyphs[g].y += baseline * kUnitToPoint;
        }
    }
    cairo_show_text_glyphs(cr_, utf8.data(), static_cast<int>(utf8.size()), glyphs, glyph_count,
                           clusters, cluster_count, flags);
    cairo_glyph_free(glyphs);
    cairo_text_cluster_free(clusters);
}

void PdfDocument::end_page() {
    if (!finished_) cairo_show_page(cr_);
}

bool PdfDocument::finish(std::string& why) {
    if (finished_) return true;
    finished_ = true;
    cairo_surface_finish(surface_);
    cairo_status_t status = cairo_surface_status(surface_);
    if (status == CAIRO_STATUS_SUCCESS) return true;
    why = cairo_status_to_string(status);
    return false;
}

}  // namespace quillon
