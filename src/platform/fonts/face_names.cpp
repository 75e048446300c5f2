// Recognises the classic Japanese face names in Shift-JIS and writes the alias rules that map
// them to the IPA fonts. No alias for these names ships with the system's fontconfig, so the
// runtime loads its own.
#include "platform/fonts/face_names.h"

#include <array>
#include <cstdint>

#include "host/shift_jis.h"

namespace quillon {
namespace {

struct Spelling {
    ClassicFace face;
    const char* folded;  // the name after fold_face_name: Shift-JIS, lower case, no blanks
};

// "ms" followed by 明朝, ゴシック, Ｐ明朝 or Ｐゴシック in Shift-JIS, and the ASCII names.
constexpr std::array<Spelling, 9> kSpellings = {{
    {ClassicFace::Mincho, "ms\x96\xBE\x92\xA9"},
    {ClassicFace::Mincho, "msmincho"},
    {ClassicFace::Gothic, "ms\x83S\x83V\x83\x62\x83N"},
    {ClassicFace::Gothic, "msgothic"},
    {ClassicFace::PMincho, "msp\x96\xBE\x92\xA9"},
    {ClassicFace::PMincho, "mspmincho"},
    {ClassicFace::PGothic, "msp\x83S\x83V\x83\x62\x83N"},
    {ClassicFace::PGothic, "mspgothic"},
    {ClassicFace::UIGothic, "msuigothic"},
}};

constexpr std::array<ClassicFaceInfo, 6> kInfo = {{
    {"", "", false},
    {"MS Mincho", "IPAMincho", false},
    {"MS Gothic", "IPAGothic", false},
    {"MS PMincho", "IPAPMincho", true},
    {"MS PGothic", "IPAPGothic", true},
    {"MS UI Gothic", "IPAPGothic", true},
}};

// Japanese spellings (UTF-8) of the classic names, for the alias rules.
struct JapaneseName {
    ClassicFace face;
    const char* utf8;
};
constexpr std::array<JapaneseName, 4> kJapaneseNames = {{
    {ClassicFace::Mincho, "ＭＳ 明朝"},
    {ClassicFace::Gothic, "ＭＳ ゴシック"},
    {ClassicFace::PMincho, "ＭＳ Ｐ明朝"},
    {ClassicFace::PGothic, "ＭＳ Ｐゴシック"},
}};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Folds a Shift-JIS face name: full-width letters and digits become ASCII, ASCII letters lower
// case, blanks (ASCII and the ideographic space) vanish; other characters stay as they are.
std::string fold_face_name(std::string_view face) {
    std::string out;
    for (std::size_t k = 0; k < face.size(); ++k) {
        auto byte = static_cast<uint8_t>(face[k]);
        if (is_sjis_lead(byte) && k + 1 < face.size()) {
            unsigned code = byte * 256u + static_cast<uint8_t>(face[k + 1]);
            ++k;
            if (code == 0x8140) continue;  // ideographic space
            if (code >= 0x8260 && code <= 0x8279) {
                out += static_cast<char>('a' + (code - 0x8260));
            } else if (code >= 0x8281 && code <= 0x829A) {
                out += static_cast<char>('a' + (code - 0x8281));
            } else if (code >= 0x824F && code <= 0x8258) {
                out += static_cast<char>('0' + (code - 0x824F));
            } else {
                out += static_cast<char>(code >> 8);
                out += static_cast<char>(code & 0xFF);
            }
        } else if (byte != ' ' && byte != '\t') {
            out += lower(static_cast<char>(byte));
        }
    }
    return out;
}

void append_alias(std::string& xml, const char* family, const char* substitute) {
    xml += "<alias binding=\"same\"><family>";
    xml += family;
    xml += "</family><prefer><family>";
    xml += substitute;
    xml += "</family></prefer></alias>\n";
}

}  // namespace

ClassicFace classic_face(std::string_view sjis_face) {
    std::string folded = fold_face_name(sjis_face);
    for (const Spelling& s : kSpellings)
        if (folded == s.folded) return s.face;
    return ClassicFace::None;
}

const ClassicFaceInfo& classic_face_info(ClassicFace face) {
    return kInfo[static_cast<std::size_t>(face)];
}

std::string classic_alias_rules() {
    std::string xml =
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
        "<fontconfig>\n";
    for (std::size_t k = 1; k < kInfo.size(); ++k)
        append_alias(xml, kInfo[k].name, kInfo[k].substitute);
    for (const JapaneseName& j : kJapaneseNames)
        append_alias(xml, j.utf8, classic_face_info(j.face).substitute);
    xml += "</fontconfig>\n";
    return xml;
}

}  // namespace quillon
