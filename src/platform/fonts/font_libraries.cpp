// fontconfig's and FreeType's functions as the font library calls them: each opens its
// library on first use, so a run that shows no text loads neither.
#include "platform/fonts/font_libraries.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

namespace quillon {

LazyLibrary& fontconfig_library() {
    static const char* const kNames[] = {"libfontconfig.so.1", "libfontconfig.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

LazyLibrary& freetype_library() {
    static const char* const kNames[] = {"libfreetype.so.6", "libfreetype.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

}  // namespace quillon

using quillon::fontconfig_library;
using quillon::freetype_library;

QUILLON_LAZY_FUNCTION(fontconfig_library, void, FcConfigDestroy, (FcConfig * config), (config))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcBool, FcConfigParseAndLoadFromMemory,
                      (FcConfig * config, const FcChar8* buffer, FcBool complain),
                      (config, buffer, complain))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcBool, FcConfigSubstitute,
                      (FcConfig * config, FcPattern* p, FcMatchKind kind), (config, p, kind))
QUILLON_LAZY_FUNCTION(fontconfig_library, void, FcDefaultSubstitute, (FcPattern * pattern),
                      (pattern))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcPattern*, FcFontMatch,
                      (FcConfig * config, FcPattern* p, FcResult* result), (config, p, result))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcConfig*, FcInitLoadConfigAndFonts, (void), ())
QUILLON_LAZY_FUNCTION(fontconfig_library, FcBool, FcPatternAddInteger,
                      (FcPattern * p, const char* object, int i), (p, object, i))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcBool, FcPatternAddString,
                      (FcPattern * p, const char* object, const FcChar8* s), (p, object, s))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcPattern*, FcPatternCreate, (void), ())
QUILLON_LAZY_FUNCTION(fontconfig_library, void, FcPatternDestroy, (FcPattern * p), (p))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcResult, FcPatternGetInteger,
                      (const FcPattern* p, const char* object, int n, int* i), (p, object, n, i))
QUILLON_LAZY_FUNCTION(fontconfig_library, FcResult, FcPatternGetString,
                      (const FcPattern* p, const char* object, int n, FcChar8** s),
                      (p, object, n, s))
QUILLON_LAZY_FUNCTION(fontconfig_library, int, FcWeightFromOpenType, (int ot_weight), (ot_weight))

QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Done_Face, (FT_Face face), (face))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Done_FreeType, (FT_Library library), (library))
QUILLON_LAZY_FUNCTION(freetype_library, FT_UInt, FT_Get_Char_Index,
                      (FT_Face face, FT_ULong charcode), (face, charcode))
QUILLON_LAZY_FUNCTION(freetype_library, void*, FT_Get_Sfnt_Table, (FT_Face face, FT_Sfnt_Tag tag),
                      (face, tag))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Init_FreeType, (FT_Library * alibrary),
                      (alibrary))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Load_Glyph,
                      (FT_Face face, FT_UInt glyph_index, FT_Int32 load_flags),
                      (face, glyph_index, load_flags))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_New_Face,
                      (FT_Library library, const char* filepathname, FT_Long face_index,
                       FT_Face* aface),
                      (library, filepathname, face_index, aface))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Outline_EmboldenXY,
                      (FT_Outline * outline, FT_Pos xstrength, FT_Pos ystrength),
                      (outline, xstrength, ystrength))
QUILLON_LAZY_FUNCTION(freetype_library, void, FT_Outline_Transform,
                      (const FT_Outline* outline, const FT_Matrix* matrix), (outline, matrix))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Render_Glyph,
                      (FT_GlyphSlot slot, FT_Render_Mode render_mode), (slot, render_mode))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Select_Charmap,
                      (FT_Face face, FT_Encoding encoding), (face, encoding))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Select_Size,
                      (FT_Face face, FT_Int strike_index), (face, strike_index))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Set_Charmap,
                      (FT_Face face, FT_CharMap charmap), (face, charmap))
QUILLON_LAZY_FUNCTION(freetype_library, FT_Error, FT_Set_Pixel_Sizes,
                      (FT_Face face, FT_UInt pixel_width, FT_UInt pixel_height),
                      (face, pixel_width, pixel_height))
