// FreeType glyphs for the runtime's fonts: sizing by the classic logical-font rules, glyph
// lookup through code page 932, monochrome or anti-aliased rendering, synthetic bold and
// italic, underline and strike-out, and a per-font glyph cache shared by both threads.
#include "platform/fonts/freetype_font.h"

#include "platform/fonts/font_libraries.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr int kClassicAscentUnits = 220;  // the classic faces' ascent, of 256 units per em
constexpr int kClassicEmUnits = 256;
constexpr FT_Fixed kObliqueShear = 0x0366A;  // about 12 degrees, as synthetic italics lean
constexpr int kTenthsPerTurn = 3600;
constexpr double kFixedOne = 65536.0;  // 16.16 fixed point
constexpr int kSubpixels = 64;         // 26.6 fixed point
constexpr char32_t kReplacement = 0xFFFD;

int clamp_pixels(long value) {
    return static_cast<int>(std::clamp<long>(value, 1, kFontPixelMax));
}

// value * em / units, rounded to the nearest pixel.
int scale(long value, int em, long units) {
    if (units <= 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(value) * em / units));
}

// Fills x1..x2-1, y1..y2-1 of the target, clipped.
void fill(PixelView target, int x1, int y1, int x2, int y2, uint32_t rgb) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, target.width);
    y2 = std::min(y2, target.height);
    if (x2 <= x1) return;  // wholly left or right of the target
    for (int y = y1; y < y2; ++y)
        std::fill(target.pixels + static_cast<std::ptrdiff_t>(y) * target.width + x1,
                  target.pixels + static_cast<std::ptrdiff_t>(y) * target.width + x2, rgb);
}

// Mixes `colour` over `pixel` by coverage 0..255, channel by channel.
uint32_t blend(uint32_t pixel, uint32_t colour, unsigned coverage) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        unsigned over = (colour >> shift) & 0xFF;
        unsigned under = (pixel >> shift) & 0xFF;
        out |= ((over * coverage + under * (255 - coverage) + 127) / 255) << shift;
    }
    return out;
}

bool is_control(char32_t cp) {
    return cp < 0x20 || cp == 0x7F;
}

}  // namespace

// ---- FreeTypeLibrary ----

std::shared_ptr<FreeTypeLibrary> FreeTypeLibrary::create() {
    if (!freetype_library().available()) return nullptr;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    return std::shared_ptr<FreeTypeLibrary>(new FreeTypeLibrary(library));
}

FreeTypeLibrary::~FreeTypeLibrary() {
    FT_Done_FreeType(library_);
}

FT_Face FreeTypeLibrary::open_face(const FaceFile& face) {
    std::lock_guard lock(mutex_);
    FT_Face out = nullptr;
    if (FT_New_Face(library_, face.file.c_str(), face.index, &out) != 0) return nullptr;
    if (FT_Select_Charmap(out, FT_ENCODING_UNICODE) != 0 && out->num_charmaps > 0)
        FT_Set_Charmap(out, out->charmaps[0]);
    return out;
}

void FreeTypeLibrary::close_face(FT_Face face) {
    if (!face) return;
    std::lock_guard lock(mutex_);
    FT_Done_Face(face);
}

// ---- metrics ----

int requested_em(int record_height, int em_units, int cell_units) {
    if (record_height == 0) return kDefaultCharHeight;
    if (record_height < 0) return clamp_pixels(-static_cast<long>(record_height));
    if (cell_units <= 0) return clamp_pixels(record_height);
    return clamp_pixels(std::lround(static_cast<double>(record_height) * em_units / cell_units));
}

FontMetrics classic_cell_metrics(int em, int width) {
    FontMetrics m;
    m.height = em;
    m.ascent = (em * kClassicAscentUnits + kClassicEmUnits / 2) / kClassicEmUnits;
    m.descent = em - m.ascent;
    m.internal_leading = 0;
    m.external_leading = 0;
    m.average_width = width > 0 ? std::min(width, kFontPixelMax) : (em + 1) / 2;
    return m;
}

// ---- FreeTypeFont ----

std::shared_ptr<FreeTypeFont> FreeTypeFont::open(std::shared_ptr<FreeTypeLibrary> library,
                                                 const FontSetup& setup) {
    if (!library) return nullptr;
    FT_Face face = library->open_face(setup.primary);
    if (!face) return nullptr;
    return std::shared_ptr<FreeTypeFont>(new FreeTypeFont(std::move(library), setup, face));
}

FreeTypeFont::FreeTypeFont(std::shared_ptr<FreeTypeLibrary> library, const FontSetup& setup,
                           FT_Face face)
    : library_(std::move(library)), setup_(setup), face_(face) {
    for (auto& a : single_advances_)
        a.store(-1, std::memory_order_relaxed);
    synthetic_bold_ = setup_.bold && !(face_->style_flags & FT_STYLE_FLAG_BOLD);
    synthetic_italic_ = setup_.italic && !(face_->style_flags & FT_STYLE_FLAG_ITALIC);
    const int tenths = setup_.escapement % kTenthsPerTurn;
    if (tenths != 0) {
        const double angle = tenths * std::numbers::pi / (kTenthsPerTurn / 2);
        rotated_ = true, cos_ = std::cos(angle), sin_ = std::sin(angle);
    }
    if (setup_.classic != ClassicFace::None)
        set_classic_metrics();
    else
        set_real_metrics();
    if (FT_IS_SCALABLE(face_))
        FT_Set_Pixel_Sizes(face_, static_cast<FT_UInt>(x_ppem_), static_cast<FT_UInt>(em_));
    else if (face_->num_fixed_sizes > 0)
        FT_Select_Size(face_, 0);
    set_line_decorations();
}

FreeTypeFont::~FreeTypeFont() {
    library_->close_face(fallback_);
    library_->close_face(face_);
}

// A classic face's cell: character height = cell height; half-width cells of em/2.
void FreeTypeFont::set_classic_metrics() {
    em_ = requested_em(setup_.height, 1, 1);
    metrics_ = classic_cell_metrics(em_, setup_.width);
    half_ = metrics_.average_width;
    full_ = setup_.width > 0 ? std::min(2 * half_, kFontPixelMax) : em_;
    x_ppem_ = setup_.width > 0 ? clamp_pixels(2L * half_) : em_;
    fixed_cells_ = !classic_face_info(setup_.classic).proportional;
}

// The face's own metrics, as the classic rules read them: ascent and descent from the OS/2
// table's Windows values, the cell scaled to the record's height.
void FreeTypeFont::set_real_metrics() {
    const long units = face_->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    long ascent = face_->ascender, descent = -face_->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (units <= 0 || ascent + descent <= 0) {  // a bitmap face: take its sizes as they are
        em_ = requested_em(setup_.height, 1, 1);
        metrics_ = classic_cell_metrics(em_, setup_.width);
        half_ = metrics_.average_width, full_ = em_, x_ppem_ = em_;
        return;
    }
    em_ = requested_em(setup_.height, static_cast<int>(units), static_cast<int>(ascent + descent));
    metrics_.ascent = scale(ascent, em_, units);
    metrics_.descent = scale(descent, em_, units);
    metrics_.height = std::max(metrics_.ascent + metrics_.descent, 1);
    metrics_.internal_leading = std::max(metrics_.height - em_, 0);
    long gap =
        hhea ? hhea->Line_Gap - ((ascent + descent) - (hhea->Ascender - hhea->Descender)) : 0;
    metrics_.external_leading = std::max(scale(gap, em_, units), 0);
    int average = os2 && os2->xAvgCharWidth > 0 ? scale(os2->xAvgCharWidth, em_, units) : 0;
    if (average <= 0) average = (em_ + 1) / 2;
    x_ppem_ = em_;
    if (setup_.width > 0) {
        x_ppem_ = clamp_pixels(std::lround(static_cast<double>(em_) * setup_.width / average));
        average = std::min(setup_.width, kFontPixelMax);
    }
    metrics_.average_width = average;
    half_ = average;
    full_ = x_ppem_;
}

// Underline and strike-out rows from the face's tables, kept inside the cell.
void FreeTypeFont::set_line_decorations() {
    const long units = face_->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    long under_pos = face_->underline_position, under_size = face_->underline_thickness;
    long strike_pos = units * 3 / 10, strike_size = under_size;
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        strike_pos = os2->yStrikeoutPosition;
        strike_size = os2->yStrikeoutSize;
    }
    const int height = metrics_.height;
    underline_rows_ = std::clamp(scale(under_size, em_, units), 1, height);
    underline_top_ =
        std::clamp(metrics_.ascent - scale(under_pos, em_, units) - underline_rows_ / 2, 0,
                   height - underline_rows_);
    strike_rows_ = std::clamp(scale(strike_size, em_, units), 1, height);
    strike_top_ =
        std::clamp(metrics_.ascent - scale(strike_pos, em_, units), 0, height - strike_rows_);
}

int FreeTypeFont::advance(unsigned code) const {
    if (fixed_cells_) return code < 0x100 ? half_ : full_;
    if (code < 0x100) {
        int known = single_advances_[code].load(std::memory_order_relaxed);
        if (known >= 0) return known;
        int measured = glyph(code)->advance;
        single_advances_[code].store(measured, std::memory_order_relaxed);
        return measured;
    }
    return glyph(code)->advance;
}

// The cell's top-left is at (x, y); with an escapement the cell turns about that corner and
// the glyph (turned when it was rendered) hangs from the turned baseline.
void FreeTypeFont::draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
                        int32_t background) const {
    std::shared_ptr<const Glyph> g = glyph(code);
    const int height = metrics_.height;
    if (background >= 0)
        fill_cell_part(target, x, y, 0, g->advance, 0, height, static_cast<uint32_t>(background));
    int gx = x + g->left;
    int gy = y + metrics_.ascent - g->top;
    if (rotated_) {
        gx = x + static_cast<int>(std::lround(metrics_.ascent * sin_)) + g->left;
        gy = y + static_cast<int>(std::lround(metrics_.ascent * cos_)) - g->top;
    }
    for (int row = std::max(0, -gy); row < g->rows && gy + row < target.height; ++row) {
        uint32_t* line = target.pixels + static_cast<std::ptrdiff_t>(gy + row) * target.width;
        const uint8_t* cover = g->coverage.data() + static_cast<std::ptrdiff_t>(row) * g->width;
        for (int col = std::max(0, -gx); col < g->width && gx + col < target.width; ++col) {
            unsigned c = cover[col];
            if (c == 255)
                line[gx + col] = colour;
            else if (c != 0)
                line[gx + col] = blend(line[gx + col], colour, c);
        }
    }
    if (setup_.underline)
        fill_cell_part(target, x, y, 0, g->advance, underline_top_,
                       underline_top_ + underline_rows_, colour);
    if (setup_.strike_out)
        fill_cell_part(target, x, y, 0, g->advance, strike_top_, strike_top_ + strike_rows_,
                       colour);
}

// Fills the part of the cell at (x, y) from column `from` to `to` and row `top` to `bottom`
// (cell coordinates, ends excluded): a plain rectangle, or with an escapement the turned one,
// pixel by pixel over its bounding box.
void FreeTypeFont::fill_cell_part(PixelView target, int x, int y, int from, int to, int top,
                                  int bottom, uint32_t colour) const {
    if (!rotated_) return fill(target, x + from, y + top, x + to, y + bottom, colour);
    double xs[4], ys[4];
    int n = 0;
    for (int a : {from, to})
        for (int b : {top, bottom}) {
            xs[n] = x + a * cos_ + b * sin_;
            ys[n] = y - a * sin_ + b * cos_;
            ++n;
        }
    const int x0 = std::max(0, static_cast<int>(std::floor(*std::min_element(xs, xs + 4))));
    const int x1 =
        std::min(target.width, static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))));
    const int y0 = std::max(0, static_cast<int>(std::floor(*std::min_element(ys, ys + 4))));
    const int y1 =
        std::min(target.height, static_cast<int>(std::ceil(*std::max_element(ys, ys + 4))));
    for (int py = y0; py < y1; ++py) {
        uint32_t* line = target.pixels + static_cast<std::ptrdiff_t>(py) * target.width;
        for (int px = x0; px < x1; ++px) {
            const double rx = px + 0.5 - x, ry = py + 0.5 - y;
            const double a = rx * cos_ - ry * sin_, b = rx * sin_ + ry * cos_;
            if (a >= from && a < to && b >= top && b < bottom) line[px] = colour;
        }
    }
}

std::shared_ptr<const FreeTypeFont::Glyph> FreeTypeFont::glyph(unsigned code) const {
    std::lock_guard lock(mutex_);
    if (auto it = glyphs_.find(code); it != glyphs_.end()) return it->second;
    std::shared_ptr<Glyph> made = render(code);
    if (cached_bytes_ > kGlyphCacheBytes) {  // drawers keep their own references
        glyphs_.clear();
        cached_bytes_ = 0;
    }
    cached_bytes_ += made->coverage.size() + sizeof(Glyph);
    glyphs_.emplace(code, made);
    return made;
}

// The fallback face, opened the first time a character is missing. Mutex held.
FT_Face FreeTypeFont::fallback_face() const {
    if (!fallback_tried_) {
        fallback_tried_ = true;
        if (setup_.fallback && setup_.fallback->file != setup_.primary.file) {
            fallback_ = library_->open_face(*setup_.fallback);
            if (fallback_ && FT_IS_SCALABLE(fallback_))
                FT_Set_Pixel_Sizes(fallback_, static_cast<FT_UInt>(x_ppem_),
                                   static_cast<FT_UInt>(em_));
        }
    }
    return fallback_;
}

// Loads a glyph as an outline whenever it is to be reshaped (slanted, emboldened or turned).
// Mutex held.
bool FreeTypeFont::load_outline_glyph(FT_Face face, FT_UInt index) const {
    FT_Int32 flags = setup_.antialias ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
    const bool reshaped = synthetic_italic_ || synthetic_bold_ || rotated_;
    // A face with bitmaps only keeps them, unshaped.
    if (FT_Load_Glyph(face, index, reshaped ? flags | FT_LOAD_NO_BITMAP : flags) != 0 &&
        (!reshaped || FT_Load_Glyph(face, index, flags) != 0))
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) shape_outline(slot->outline);
    return true;
}

// Synthetic italic shears the outline, synthetic bold widens its strokes by a pixel per 16
// pixels of height (as overstriking would), then the escapement turns it about the origin.
void FreeTypeFont::shape_outline(FT_Outline& outline) const {
    if (synthetic_italic_) {
        FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
        FT_Outline_Transform(&outline, &shear);
    }
    if (synthetic_bold_) FT_Outline_EmboldenXY(&outline, std::max(1, em_ / 16) * kSubpixels, 0);
    if (rotated_) {
        const auto c = static_cast<FT_Fixed>(std::lround(cos_ * kFixedOne));
        const auto s = static_cast<FT_Fixed>(std::lround(sin_ * kFixedOne));
        FT_Matrix turn{c, -s, s, c};
        FT_Outline_Transform(&outline, &turn);
    }
}

// Copies a rendered bitmap as coverage. A bitmap glyph that should be bold is overstruck:
// every pixel also inks `overstrike` pixels to its right.
void FreeTypeFont::copy_bitmap(const FT_Bitmap& bm, int overstrike, Glyph& g) const {
    const int extra = overstrike;
    const int source_width = static_cast<int>(bm.width);
    g.width = source_width > 0 ? source_width + extra : 0;
    g.rows = static_cast<int>(bm.rows);
    g.coverage.assign(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.rows), 0);
    for (int row = 0; row < g.rows; ++row) {
        const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
        uint8_t* dst = g.coverage.data() + static_cast<std::ptrdiff_t>(row) * g.width;
        for (int col = 0; col < source_width; ++col) {
            unsigned value = 0;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                value = (src[col >> 3] >> (7 - (col & 7))) & 1 ? 255 : 0;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                value = src[col];
            if (!setup_.antialias) value = value >= 128 ? 255 : 0;
            for (int k = 0; k <= extra; ++k)
                dst[col + k] = std::max(dst[col + k], static_cast<uint8_t>(value));
        }
    }
}

// Renders one character: the Shift-JIS code to Unicode, the glyph from the face (or the
// fallback face), monochrome unless anti-aliasing was asked for. Mutex held.
std::shared_ptr<FreeTypeFont::Glyph> FreeTypeFont::render(unsigned code) const {
    auto g = std::make_shared<Glyph>();
    g->advance = missing_advance(code);
    const char32_t cp = sjis_to_unicode(code);
    if (is_control(cp)) return g;  // control characters draw as blank cells
    FT_Face face = face_;
    FT_UInt index = FT_Get_Char_Index(face_, cp);
    if (index == 0 && cp != kReplacement) {
        if (FT_Face other = fallback_face()) {
            if (FT_UInt i = FT_Get_Char_Index(other, cp)) face = other, index = i;
        }
    }
    if (!load_outline_glyph(face, index)) return g;
    FT_GlyphSlot slot = face->glyph;
    const int overstrike =
        synthetic_bold_ && slot->format == FT_GLYPH_FORMAT_BITMAP ? std::max(1, em_ / 16) : 0;
    if (index != 0 && !fixed_cells_) g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (fixed_cells_) g->advance = code < 0x100 ? half_ : full_;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, setup_.antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return g;
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
    copy_bitmap(slot->bitmap, overstrike, *g);
    return g;
}

// ---- BlankFont ----

BlankFont::BlankFont(const FontRecord& record) {
    metrics_ = classic_cell_metrics(requested_em(record.height, 1, 1), record.width);
    half_ = metrics_.average_width;
    full_ = std::min(2 * half_, kFontPixelMax);
}

void BlankFont::draw(PixelView target, int x, int y, unsigned code, uint32_t,
                     int32_t background) const {
    if (background >= 0)
        fill(target, x, y, x + advance(code), y + metrics_.height,
             static_cast<uint32_t>(background));
}

}  // namespace quillon
