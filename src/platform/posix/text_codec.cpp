// Code page 932 tables built once from iconv's "CP932" converter. glibc leaves 0x80 and 0xA0
// unmapped; they map to U+0080 and U+00A0 as on the original platform.
#include "platform/text_codec.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/shift_jis.h"

namespace quillon {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Cp932Tables {
    std::vector<char32_t> double_byte;  // index (lead - 0x80) * 256 + trail
    std::unordered_map<char32_t, unsigned> reverse;
};

char32_t decode_with_iconv(iconv_t cd, const unsigned char* in, std::size_t len) {
    char32_t out = 0;
    char* inp = const_cast<char*>(reinterpret_cast<const char*>(in));
    char* outp = reinterpret_cast<char*>(&out);
    std::size_t inleft = len;
    std::size_t outleft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inleft, &outp, &outleft) == static_cast<std::size_t>(-1) || inleft != 0 ||
        outleft != 0)
        return kReplacement;
    return out;
}

// NEC-selected IBM extensions duplicate the IBM extensions; conversions from Unicode prefer
// the latter, as the original platform does.
bool is_nec_selected_ibm(unsigned code) {
    return code >= 0xED40 && code <= 0xEEFC;
}

Cp932Tables build_tables() {
    Cp932Tables tables;
    tables.double_byte.assign(0x80 * 256, kReplacement);
    iconv_t cd = iconv_open("UTF-32LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return tables;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!is_sjis_lead(static_cast<uint8_t>(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const unsigned char pair[2] = {static_cast<unsigned char>(lead),
                                           static_cast<unsigned char>(trail)};
            char32_t cp = decode_with_iconv(cd, pair, 2);
            unsigned code = lead * 256 + trail;
            tables.double_byte[(lead - 0x80) * 256 + trail] = cp;
            if (cp == kReplacement) continue;
            auto [it, inserted] = tables.reverse.emplace(cp, code);
            if (!inserted && is_nec_selected_ibm(it->second) && !is_nec_selected_ibm(code))
                it->second = code;
        }
    }
    iconv_close(cd);
    return tables;
}

const Cp932Tables& tables() {
    static const Cp932Tables built = build_tables();
    return built;
}

char32_t single_byte_to_unicode(uint8_t byte) {
    if (byte < 0x80) return byte;
    if (byte == 0x80) return 0x80;
    if (byte == 0xA0) return 0xA0;
    if (is_halfwidth_kana(byte)) return 0xFF61 + (byte - 0xA1);
    return kReplacement;  // 0xFD..0xFF and lone lead bytes
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; returns its length, or 0 when it is invalid.
std::size_t next_utf8(std::string_view text, std::size_t pos, char32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    uint8_t b0 = byte(pos);
    std::size_t len = b0 < 0x80         ? 1
                      : (b0 >> 5) == 6  ? 2
                      : (b0 >> 4) == 14 ? 3
                      : (b0 >> 3) == 30 ? 4
                                        : 0;
    if (len == 0 || pos + len > text.size()) return 0;
    cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (std::size_t i = 1; i < len; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

char32_t sjis_to_unicode(unsigned code) {
    if (code < 0x100) return single_byte_to_unicode(static_cast<uint8_t>(code));
    unsigned lead = code >> 8;
    unsigned trail = code & 0xFF;
    if (lead < 0x81 || lead > 0xFC) return kReplacement;
    return tables().double_byte[(lead - 0x80) * 256 + trail];
}

std::string sjis_to_utf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size());
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(sjis[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (is_sjis_lead(b) && i + 1 < sjis.size() &&
                   is_sjis_trail(static_cast<uint8_t>(sjis[i + 1]))) {
            append_utf8(out, sjis_to_unicode(b * 256u + static_cast<uint8_t>(sjis[i + 1])));
            ++i;
        } else {
            append_utf8(out, single_byte_to_unicode(b));
        }
    }
    return out;
}

std::optional<std::string> utf8_to_sjis(std::string_view utf8, std::size_t* bad_offset) {
    std::string out;
    out.reserve(utf8.size());
    // The tables are built from iconv on first use (some milliseconds): ASCII text, such as
    // most program sources, never needs them.
    const std::unordered_map<char32_t, unsigned>* reverse = nullptr;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        std::size_t len = next_utf8(utf8, i, cp);
        unsigned code = 0;
        bool mapped = len != 0;
        if (mapped) {
            if (cp < 0x80 || cp == 0x80 || cp == 0xA0) {
                code = cp;
            } else if (cp >= 0xFF61 && cp <= 0xFF9F) {
                code = 0xA1 + (cp - 0xFF61);
            } else {
                if (!reverse) reverse = &tables().reverse;
                auto it = reverse->find(cp);
                mapped = it != reverse->end();
                if (mapped) code = it->second;
            }
        }
        if (!mapped) {
            if (bad_offset) *bad_offset = i;
            return std::nullopt;
        }
        if (code > 0xFF) out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
        i += len;
    }
    return out;
}

bool is_valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t len = next_utf8(text, i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

}  // namespace quillon
