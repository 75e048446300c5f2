// The classic Japanese face names that programs ask for, recognised in any common spelling,
// the IPA families that stand in for them, and the fontconfig alias rules that say so.
// Faces of programs are Shift-JIS; fontconfig speaks UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

enum class ClassicFace { None, Mincho, Gothic, PMincho, PGothic, UIGothic };

struct ClassicFaceInfo {
    const char* name;        // the ASCII spelling programs use ("MS Mincho")
    const char* substitute;  // the IPA family that stands in for it
    bool proportional;       // advances come from the glyphs, not from the cell
};

// The classic face a Shift-JIS face name denotes: letter case, blanks (also ideographic ones)
// and full-width letters do not matter, so "ＭＳ 明朝", "MS Mincho" and "msmincho" are one face.
ClassicFace classic_face(std::string_view sjis_face);
const ClassicFaceInfo& classic_face_info(ClassicFace face);

// fontconfig rules mapping every classic name (Japanese and ASCII spellings) to its IPA family.
std::string classic_alias_rules();

}  // namespace quillon
