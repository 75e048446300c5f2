// The font rasterizer behind Platform::open_font: faces found with fontconfig (with the
// runtime's own aliases for the classic Japanese faces), glyphs drawn with FreeType.
// Both back-ends keep one FontLibrary and open every font through it.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace quillon {

// What a font record resolves to.
struct FaceMatch {
    std::string family;            // the family found, UTF-8 ("IPAMincho")
    std::string file;              // its font file
    int index = 0;                 // the face within the file
    bool classic_metrics = false;  // a classic face was named: its cell metrics apply
};

// The font libraries' handles (a fontconfig configuration with the alias rules, a FreeType
// library) and a few recently opened fonts, so that a statement that makes the same font
// again reuses its rendered glyphs. Safe to use from several threads.
class FontLibrary {
  public:
    FontLibrary();
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // A font for the record; never null (without any usable face, a font that draws only
    // backgrounds, with the classic cell metrics).
    std::unique_ptr<Font> open_font(const FontRecord& record);
    FaceMatch resolve(const FontRecord& record);

  private:
    struct Impl;
    std::shared_ptr<Impl> impl_;  // shared with fonts not opened yet: they outlive the library
};

// A one-off font with a library of its own; a back-end that opens fonts repeatedly keeps a
// FontLibrary instead.
std::unique_ptr<Font> open_system_font(const FontRecord& record);

}  // namespace quillon
