// akcnv$ and kacnv$: code page 932's half-width <-> full-width conversion. Printable ASCII and
// the half-width katakana each have a full-width partner; a half-width kana followed by a voiced
// (ﾞ) or semi-voiced (ﾟ) mark becomes one full-width kana (ｶﾞ -> ガ, ﾊﾟ -> パ) and back.
#include <array>
#include <cstdint>

#include "expr/builtins.h"
#include "host/runtime.h"
#include "host/shift_jis.h"

namespace quillon {
namespace {

// Full-width partners of ASCII 0x20..0x7E (blank, ！ ” ＃ … ｛ ｜ ｝ ￣).
constexpr std::array<uint16_t, 95> kAsciiFull = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A, 0x8196, 0x817B,
    0x8143, 0x817C, 0x8144, 0x815E, 0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262,
    0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277, 0x8278, 0x8279, 0x816D,
    0x818F, 0x816E, 0x814F, 0x8151, 0x8165, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290, 0x8291, 0x8292, 0x8293,
    0x8294, 0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,
};

// Full-width partners of the half-width katakana 0xA1..0xDF (。「」、・ヲァ … ワン゛゜).
constexpr std::array<uint16_t, 63> kKanaFull = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

// Full-width characters that also narrow to ASCII, besides the partners above: ＼ ～ ＂ ＇.
struct ExtraNarrow {
    uint16_t wide;
    uint8_t narrow;
};
constexpr std::array<ExtraNarrow, 4> kExtraNarrow = {
    {{0x815F, '\\'}, {0x8160, '~'}, {0xFA57, '"'}, {0xFA56, '\''}}};

constexpr uint8_t kVoicedMark = 0xDE;      // ﾞ
constexpr uint8_t kSemiVoicedMark = 0xDF;  // ﾟ
constexpr uint8_t kHalfU = 0xB3;           // ｳ
constexpr uint16_t kFullVu = 0x8394;       // ヴ

uint16_t kana_full(uint8_t half) {
    return kKanaFull[half - 0xA1];
}

// ｶ..ﾄ and ﾊ..ﾎ take the voiced mark (the next code); ﾊ..ﾎ also the semi-voiced (two on).
uint16_t combined_kana(uint8_t half, uint8_t mark) {
    bool ka_to = half >= 0xB6 && half <= 0xC4;
    bool ha_ho = half >= 0xCA && half <= 0xCE;
    if (mark == kVoicedMark) {
        if (half == kHalfU) return kFullVu;
        if (ka_to || ha_ho) return static_cast<uint16_t>(kana_full(half) + 1);
    }
    if (mark == kSemiVoicedMark && ha_ho) return static_cast<uint16_t>(kana_full(half) + 2);
    return 0;
}

void append_code(std::string& out, uint16_t code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// The half-width form of one double-byte character (one byte, or a kana and its mark), or an
// empty text when it has none.
std::string narrow_form(uint16_t code) {
    for (std::size_t k = 0; k < kAsciiFull.size(); ++k)
        if (kAsciiFull[k] == code) return std::string(1, static_cast<char>(0x20 + k));
    for (std::size_t k = 0; k < kKanaFull.size(); ++k)
        if (kKanaFull[k] == code) return std::string(1, static_cast<char>(0xA1 + k));
    for (const ExtraNarrow& extra : kExtraNarrow)
        if (extra.wide == code) return std::string(1, static_cast<char>(extra.narrow));
    for (uint8_t half = 0xA1; half < 0xE0; ++half)
        for (uint8_t mark : {kVoicedMark, kSemiVoicedMark})
            if (combined_kana(half, mark) == code)
                return {static_cast<char>(half), static_cast<char>(mark)};
    return {};
}

}  // namespace

std::string to_full_width(std::string_view raw) {
    std::string out;
    for (std::size_t pos = 0; pos < raw.size(); ++pos) {
        auto byte = static_cast<uint8_t>(raw[pos]);
        if (is_sjis_lead(byte) && pos + 1 < raw.size()) {
            out.append(raw.substr(pos++, 2));  // already double-byte
        } else if (byte >= 0x20 && byte <= 0x7E) {
            append_code(out, kAsciiFull[byte - 0x20]);
        } else if (is_halfwidth_kana(byte)) {
            uint8_t mark = pos + 1 < raw.size() ? static_cast<uint8_t>(raw[pos + 1]) : 0;
            uint16_t combined = combined_kana(byte, mark);
            append_code(out, combined ? combined : kana_full(byte));
            if (combined) ++pos;
        } else {
            out += raw[pos];  // control bytes and others have no partner
        }
    }
    return out;
}

std::string to_half_width(std::string_view raw) {
    std::string out;
    for (std::size_t pos = 0; pos < raw.size(); ++pos) {
        auto byte = static_cast<uint8_t>(raw[pos]);
        if (!is_sjis_lead(byte) || pos + 1 >= raw.size()) {
            out += raw[pos];
            continue;
        }
        auto code = static_cast<uint16_t>(byte << 8 | static_cast<uint8_t>(raw[pos + 1]));
        std::string narrow = narrow_form(code);
        out.append(narrow.empty() ? raw.substr(pos, 2) : std::string_view(narrow));
        ++pos;
    }
    return out;
}

// The argument text is taken whole as one string expression.
void akcnv_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (string_argument(rt, a.whole, s)) write_string_value(to_full_width(s), out);
}

void kacnv_function(Runtime& rt, const Arguments& a, std::string& out) {
    std::string s;
    if (string_argument(rt, a.whole, s)) write_string_value(to_half_width(s), out);
}

}  // namespace quillon
