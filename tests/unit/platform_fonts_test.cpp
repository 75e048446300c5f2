// The FreeType font rasterizer with the installed IPA fonts: face names, classic cell metrics,
// glyphs and their styles, fallbacks, and the character screen laid out in a real font.
#include <gtest/gtest.h>

#include <thread>

#include "graphics/canvas.h"
#include "platform/fonts/face_names.h"
#include "platform/fonts/freetype_font.h"
#include "platform/fonts/system_font.h"
#include "screen_fixture.h"

namespace quillon::testing {
namespace {

constexpr char kMincho[] = "\x82l\x82r \x96\xBE\x92\xA9";               // ＭＳ 明朝
constexpr char kPGothic[] = "\x82l\x82r \x82o\x83S\x83V\x83\x62\x83N";  // ＭＳ Ｐゴシック
constexpr unsigned kKan = 0x8ABF;                                       // 漢
constexpr uint32_t kInk = 0xFFFFFF;
constexpr uint32_t kPaper = 0x000000;

FontRecord record(const char* face, int height = -16) {
    FontRecord r;
    r.face = face;
    r.height = height;
    return r;
}

// Where one character's ink lies in a canvas it was drawn into at (0, 0).
struct Ink {
    int pixels = 0, top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
    bool only_two_values = true;  // every pixel ink or paper: not smoothed
};

Ink draw_one(const Font& font, unsigned code, int32_t background = -1, int size = 64) {
    Canvas c(size, size);
    font.draw(c.view(), 0, 0, code, kInk, background);
    Ink ink;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint32_t p = c.pixel(x, y);
            if (p != kInk && p != kPaper && p != static_cast<uint32_t>(background))
                ink.only_two_values = false;
            if (p != kInk) continue;
            ++ink.pixels;
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
        }
    return ink;
}

TEST(FaceNames, ClassicNamesInAnySpelling) {
    EXPECT_EQ(classic_face(kMincho), ClassicFace::Mincho);
    EXPECT_EQ(classic_face("MS Mincho"), ClassicFace::Mincho);
    EXPECT_EQ(classic_face("ms  mincho"), ClassicFace::Mincho);
    EXPECT_EQ(classic_face("\x82l\x82r\x81\x40\x96\xBE\x92\xA9"), ClassicFace::Mincho);
    EXPECT_EQ(classic_face("\x82l\x82r \x83S\x83V\x83\x62\x83N"), ClassicFace::Gothic);
    EXPECT_EQ(classic_face(kPGothic), ClassicFace::PGothic);
    EXPECT_EQ(classic_face("MS PMincho"), ClassicFace::PMincho);
    EXPECT_EQ(classic_face("MS UI Gothic"), ClassicFace::UIGothic);
    EXPECT_EQ(classic_face("Mincho"), ClassicFace::None);
    EXPECT_EQ(classic_face(""), ClassicFace::None);
    EXPECT_EQ(classic_face("\x82"), ClassicFace::None);  // a lone lead byte
}

TEST(FontLibrary, ClassicFacesResolveToTheirIpaSubstitutes) {
    FontLibrary library;
    EXPECT_EQ(library.resolve(record(kMincho)).family, "IPAMincho");
    EXPECT_TRUE(library.resolve(record(kMincho)).classic_metrics);
    EXPECT_EQ(library.resolve(record("MS Gothic")).family, "IPAGothic");
    EXPECT_EQ(library.resolve(record(kPGothic)).family, "IPAPGothic");
    EXPECT_EQ(library.resolve(record("MS PMincho")).family, "IPAPMincho");
    FaceMatch direct = library.resolve(record("IPAMincho"));
    EXPECT_EQ(direct.family, "IPAMincho");
    EXPECT_FALSE(direct.classic_metrics);
}

TEST(FontLibrary, AnUnknownFaceStillGetsAJapaneseFont) {
    FontLibrary library;
    for (const char* face : {"No Such Face", ""}) {
        auto font = library.open_font(record(face));
        EXPECT_GT(draw_one(*font, kKan).pixels, 20) << face;
    }
}

TEST(FontMetrics, AClassicFaceHasTheClassicCell) {
    auto font = open_system_font(record(kMincho));
    const FontMetrics& m = font->metrics();
    EXPECT_EQ(m.height, 16);
    EXPECT_EQ(m.ascent, 14);
    EXPECT_EQ(m.descent, 2);
    EXPECT_EQ(m.internal_leading, 0);
    EXPECT_EQ(m.external_leading, 0);
    EXPECT_EQ(font->advance('A'), 8);
    EXPECT_EQ(font->advance('i'), 8);
    EXPECT_EQ(font->advance(0xB1), 8);  // half-width katakana
    EXPECT_EQ(font->advance(kKan), 16);
}

TEST(FontMetrics, ClassicHeightsAndWidths) {
    FontLibrary library;
    EXPECT_EQ(library.open_font(record(kMincho, 24))->metrics().height, 24);
    EXPECT_EQ(library.open_font(record(kMincho, -12))->metrics().ascent, 10);
    EXPECT_EQ(library.open_font(record(kMincho, 0))->metrics().height, 16);
    FontRecord wide = record(kMincho);
    wide.width = 12;
    auto font = library.open_font(wide);
    EXPECT_EQ(font->advance('A'), 12);
    EXPECT_EQ(font->advance(kKan), 24);
    Ink ink = draw_one(*font, kKan);
    EXPECT_GT(ink.right - ink.left, 17);  // the glyph is stretched too
}

TEST(FontMetrics, AProportionalClassicFaceTakesItsGlyphsAdvances) {
    auto font = open_system_font(record(kPGothic));
    EXPECT_EQ(font->metrics().height, 16);
    EXPECT_LT(font->advance('i'), font->advance('W'));
}

TEST(FontMetrics, OtherFacesKeepTheirOwnMetrics) {
    FontLibrary library;
    auto font = library.open_font(record("IPAMincho", -16));
    const FontMetrics& m = font->metrics();
    EXPECT_EQ(m.ascent, 14);
    EXPECT_EQ(m.descent, 4);  // the face's own descent reaches lower
    EXPECT_EQ(m.height, 18);
    EXPECT_EQ(m.internal_leading, 2);
    // A positive height is the cell: the character is smaller.
    EXPECT_EQ(library.open_font(record("IPAMincho", 18))->metrics().height, 18);
    EXPECT_EQ(library.open_font(record("IPAMincho", 18))->metrics().internal_leading, 2);
}

TEST(FontMetrics, AbsurdSizesAreKeptInBounds) {
    FontLibrary library;
    auto huge = library.open_font(record(kMincho, -2000000000));
    EXPECT_LE(huge->metrics().height, kFontPixelMax);
    auto negative_width = record(kMincho);
    negative_width.width = -10;
    EXPECT_EQ(library.open_font(negative_width)->advance('A'), 10);
    Canvas tiny(2, 2);
    huge->draw(tiny.view(), -500, -500, kKan, kInk, 0x123456);  // clipped, no overrun
    EXPECT_EQ(tiny.pixel(0, 0), 0x123456u);
}

TEST(Glyphs, AKanjiDrawsInsideItsCell) {
    auto font = open_system_font(record(kMincho));
    Ink ink = draw_one(*font, kKan);
    EXPECT_GT(ink.pixels, 40);
    EXPECT_GE(ink.left, 0);
    EXPECT_LE(ink.right, 15);
    EXPECT_GE(ink.top, 0);
    EXPECT_LE(ink.bottom, 15);
    EXPECT_TRUE(ink.only_two_values);
}

TEST(Glyphs, LatinAndJapaneseShareTheBaseline) {
    auto font = open_system_font(record(kMincho));
    const int baseline = font->metrics().ascent;
    const int latin = draw_one(*font, 'A').bottom;
    EXPECT_EQ(draw_one(*font, 'x').bottom, latin);
    EXPECT_GE(latin, baseline - 2);
    EXPECT_LT(latin, baseline);
    EXPECT_GT(draw_one(*font, 'g').bottom, latin);  // a descender, still inside the cell
    EXPECT_LE(draw_one(*font, 'g').bottom, 15);
    // Kana and ideographs sit on the same line and reach just below it, as the face draws them.
    for (unsigned code : {kKan, 0x82A0u, 0xB1u}) {
        const int bottom = draw_one(*font, code).bottom;
        EXPECT_GE(bottom, latin) << code;
        EXPECT_LE(bottom, baseline + 1) << code;
    }
}

TEST(Glyphs, AnOpaqueBackgroundFillsTheCellAndOnlyIt) {
    auto font = open_system_font(record(kMincho));
    Canvas c(40, 20);
    c.fill(0x00FF00);
    font->draw(c.view(), 2, 1, 'A', kInk, 0xFF0000);
    EXPECT_EQ(c.pixel(2, 1), 0xFF0000u);
    EXPECT_EQ(c.pixel(9, 16), 0xFF0000u);
    EXPECT_EQ(c.pixel(10, 1), 0x00FF00u);
    EXPECT_EQ(c.pixel(2, 17), 0x00FF00u);
    EXPECT_EQ(c.pixel(1, 1), 0x00FF00u);
}

TEST(Glyphs, ControlCharactersAreBlankCells) {
    auto font = open_system_font(record(kMincho));
    EXPECT_EQ(draw_one(*font, 0x01).pixels, 0);
    EXPECT_EQ(draw_one(*font, 0).pixels, 0);
    EXPECT_EQ(font->advance(0x01), 8);
}

TEST(Glyphs, QualityFourSmoothsTheEdges) {
    FontRecord smooth = record(kMincho, -32);
    smooth.quality = 4;
    EXPECT_FALSE(draw_one(*open_system_font(smooth), kKan).only_two_values);
    EXPECT_TRUE(draw_one(*open_system_font(record(kMincho, -32)), kKan).only_two_values);
}

TEST(Glyphs, BoldItalicUnderlineAndStrikeOut) {
    FontLibrary library;
    const Ink plain = draw_one(*library.open_font(record(kMincho)), 'l');
    FontRecord bold = record(kMincho);
    bold.weight = 700;
    EXPECT_GT(draw_one(*library.open_font(bold), 'l').pixels, plain.pixels);
    FontRecord italic = record(kMincho);
    italic.italic = 1;
    Ink leaning = draw_one(*library.open_font(italic), 'l');
    EXPECT_GT(leaning.right - leaning.left, plain.right - plain.left);
    FontRecord underline = record(kMincho);
    underline.underline = 1;
    Ink under = draw_one(*library.open_font(underline), ' ');
    EXPECT_EQ(under.left, 0);
    EXPECT_EQ(under.right, 7);  // across the whole cell
    EXPECT_LE(under.bottom, 15);
    EXPECT_GT(under.top, 11);
    FontRecord strike = record(kMincho);
    strike.strike_out = 1;
    Ink struck = draw_one(*library.open_font(strike), ' ');
    EXPECT_EQ(struck.right, 7);
    EXPECT_LT(struck.bottom, 11);
    EXPECT_GT(struck.top, 3);
}

TEST(Glyphs, ALatinFaceBorrowsJapaneseGlyphs) {
    FontLibrary library;
    auto font = library.open_font(record("DejaVu Sans"));
    EXPECT_EQ(library.resolve(record("DejaVu Sans")).family, "DejaVu Sans");
    EXPECT_GT(draw_one(*font, kKan).pixels, 20);
    EXPECT_GT(draw_one(*font, 0x82A0).pixels, 20);  // あ
}

TEST(Glyphs, TwoThreadsDrawingOneFontGetTheSameGlyphs) {
    FontLibrary library;
    auto font = library.open_font(record(kMincho));
    auto draw_all = [&](Canvas& c) {
        for (unsigned code = 0x889F; code < 0x88FC; ++code)
            font->draw(c.view(), static_cast<int>(code - 0x889F) % 16 * 16,
                       static_cast<int>(code - 0x889F) / 16 * 16, code, kInk, -1);
    };
    Canvas a(256, 128), b(256, 128), expected(256, 128);
    std::thread other([&] { draw_all(a); });
    draw_all(b);
    other.join();
    auto fresh = open_system_font(record(kMincho));
    for (unsigned code = 0x889F; code < 0x88FC; ++code)
        fresh->draw(expected.view(), static_cast<int>(code - 0x889F) % 16 * 16,
                    static_cast<int>(code - 0x889F) / 16 * 16, code, kInk, -1);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(a.pixel(x, y), expected.pixel(x, y));
            ASSERT_EQ(b.pixel(x, y), expected.pixel(x, y));
        }
}

TEST(Glyphs, AFontOpenedAgainIsTheSameAndOutlivesItsLibrary) {
    std::unique_ptr<Font> first, second;
    {
        FontLibrary library;
        first = library.open_font(record(kMincho));
        second = library.open_font(record(kMincho));
    }
    EXPECT_EQ(draw_one(*first, kKan).pixels, draw_one(*second, kKan).pixels);
}

// The screen in the program's default font: 16-pixel lines, so 25 fit a 400-pixel window.
TEST(ScreenInRealFont, TheLayoutTakesItsLineHeightFromTheFont) {
    ScreenFixture f;
    f.use_font(open_system_font(record(kMincho)));
    std::string text;
    for (int k = 0; k < 24; ++k)
        text +=
            "\x8A\xBF"
            "A\n";
    f.write(text);
    EXPECT_EQ(f.text(), text);
    EXPECT_EQ(f.rt.screen.caret_y, 25 * 16);
    EXPECT_EQ(f.rt.screen.caret_x, 0);
    f.write("\x8A\xBF");
    EXPECT_EQ(f.rt.screen.caret_x, 16);
    f.write("\n");
    EXPECT_EQ(f.text(), text.substr(4) + "\x8A\xBF\n");  // the first line scrolled away

    f.use_font(open_system_font(record("IPAMincho")));  // 18-pixel lines: 22 fit
    clear_screen_text(f.rt);
    f.write(text.substr(0, 21 * 4));
    EXPECT_EQ(f.text().size(), 21u * 4);
    f.write("X\n");
    EXPECT_EQ(f.text().size(), 21u * 4 - 4 + 2);
}

}  // namespace
}  // namespace quillon::testing
