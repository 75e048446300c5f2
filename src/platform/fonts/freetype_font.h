// Fonts drawn with FreeType: one face sized by the classic logical-font rules, a fallback face
// for characters the face lacks, synthetic bold and italic, and a cache of rendered glyphs.
// Internal to the font rasterizer; the rest of the runtime sees only Font.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/fonts/face_names.h"
#include "platform/platform.h"

namespace quillon {

inline constexpr int kFontPixelMax = 1024;     // largest character height or width, pixels
inline constexpr int kDefaultCharHeight = 16;  // a record height of 0 asks for this
inline constexpr std::size_t kGlyphCacheBytes = 32u << 20;  // rendered glyphs kept per font

struct FaceFile {
    std::string file;
    int index = 0;
};

// Everything a FreeTypeFont is made from: the faces found and what the record asks of them.
struct FontSetup {
    FaceFile primary;
    std::optional<FaceFile> fallback;  // for characters the primary face has no glyph for
    ClassicFace classic = ClassicFace::None;
    int height = -kDefaultCharHeight;
    int width = 0;
    bool bold = false;  // the record asks for a bold weight
    bool italic = false;
    bool antialias = false;
    bool underline = false;
    bool strike_out = false;
    int escapement = 0;  // tenths of a degree, counter-clockwise: the text's direction
};

// One FreeType library. FreeType lets faces be used from different threads only when their
// creation and destruction are serialised on their library, hence the mutex.
class FreeTypeLibrary {
  public:
    static std::shared_ptr<FreeTypeLibrary> create();  // null when FreeType cannot start
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    FT_Face open_face(const FaceFile& face);  // null when the file cannot be read
    void close_face(FT_Face face);

  private:
    explicit FreeTypeLibrary(FT_Library library) : library_(library) {}
    FT_Library library_;
    std::mutex mutex_;
};

// The cell metrics of a classic face at a character height (`em`) and record width: cell
// height = character height, no leading, half-width advance em/2 (or the width asked for).
FontMetrics classic_cell_metrics(int em, int width);

class FreeTypeFont : public Font {
  public:
    // Null when the primary face cannot be opened.
    static std::shared_ptr<FreeTypeFont> open(std::shared_ptr<FreeTypeLibrary> library,
                                              const FontSetup& setup);
    ~FreeTypeFont() override;

    const FontMetrics& metrics() const override { return metrics_; }
    int advance(unsigned code) const override;
    void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
              int32_t background) const override;

  private:
    struct Glyph {
        int advance = 0;
        int left = 0;  // from the cell's left edge
        int top = 0;   // rows above the baseline
        int width = 0;
        int rows = 0;
        std::vector<uint8_t> coverage;  // 0 to 255 per pixel
    };

    FreeTypeFont(std::shared_ptr<FreeTypeLibrary> library, const FontSetup& setup, FT_Face face);
    void set_classic_metrics();
    void set_real_metrics();
    void set_line_decorations();
    std::shared_ptr<const Glyph> glyph(unsigned code) const;
    std::shared_ptr<Glyph> render(unsigned code) const;
    void copy_bitmap(const FT_Bitmap& bitmap, int overstrike, Glyph& glyph) const;
    void shape_outline(FT_Outline& outline) const;
    void fill_cell_part(PixelView target, int x, int y, int from, int to, int top, int bottom,
                        uint32_t colour) const;
    FT_Face fallback_face() const;
    bool load_outline_glyph(FT_Face face, FT_UInt index) const;
    int missing_advance(unsigned code) const { return code < 0x100 ? half_ : full_; }

    std::shared_ptr<FreeTypeLibrary> library_;
    FontSetup setup_;
    FT_Face face_;
    FontMetrics metrics_;
    int em_ = kDefaultCharHeight;  // pixels per em, vertically
    int x_ppem_ = kDefaultCharHeight;
    int half_ = 8;                   // advance of a single-byte cell
    int full_ = 16;                  // advance of a double-byte cell
    bool fixed_cells_ = false;       // every advance is half_ or full_
    bool synthetic_bold_ = false;    // the face is not bold itself: glyphs are overstruck
    bool synthetic_italic_ = false;  // the face does not lean: outlines are sheared
    bool rotated_ = false;           // the escapement turns every glyph and cell
    double cos_ = 1, sin_ = 0;       // of the escapement
    int underline_top_ = 0, underline_rows_ = 1;  // rows from the cell's top
    int strike_top_ = 0, strike_rows_ = 1;

    // The FreeType faces and the glyph cache are used from the worker and the event thread.
    mutable std::mutex mutex_;
    mutable FT_Face fallback_ = nullptr;
    mutable bool fallback_tried_ = false;
    mutable std::unordered_map<unsigned, std::shared_ptr<const Glyph>> glyphs_;
    mutable std::size_t cached_bytes_ = 0;
    mutable std::array<std::atomic<int>, 256> single_advances_;  // -1 until measured
};

// A font without faces: the classic cell metrics, backgrounds drawn, no glyphs. What a record
// gets when no face can be opened at all.
class BlankFont : public Font {
  public:
    explicit BlankFont(const FontRecord& record);
    const FontMetrics& metrics() const override { return metrics_; }
    int advance(unsigned code) const override { return code < 0x100 ? half_ : full_; }
    void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
              int32_t background) const override;

  private:
    FontMetrics metrics_;
    int half_ = 8;
    int full_ = 16;
};

// A Font that shares another (fonts opened again from the library's recent list).
class SharedFont : public Font {
  public:
    explicit SharedFont(std::shared_ptr<const Font> font) : font_(std::move(font)) {}
    const FontMetrics& metrics() const override { return font_->metrics(); }
    int advance(unsigned code) const override { return font_->advance(code); }
    void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
              int32_t background) const override {
        font_->draw(target, x, y, code, colour, background);
    }

  private:
    std::shared_ptr<const Font> font_;
};

// The character height a record asks for with its height field under the classic rules, for
// a face whose cell is `cell_units` of its `em_units` (negative: character height; positive:
// cell height; 0: the default), kept within 1 .. kFontPixelMax.
int requested_em(int record_height, int em_units, int cell_units);

}  // namespace quillon
