// Code page 932 byte classes.
#pragma once

#include <cstdint>

namespace quillon {

// A lead byte of a double-byte character.
inline bool is_sjis_lead(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A half-width katakana or its punctuation (one byte, one column).
inline bool is_halfwidth_kana(uint8_t byte) {
    return byte >= 0xA1 && byte <= 0xDF;
}

}  // namespace quillon
