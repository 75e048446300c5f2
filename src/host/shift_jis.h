// Code page 932 byte classes.
#pragma once

#include <cstdint>

namespace quillon {

// A lead byte of a double-byte character.
inline bool is_sjis_lead(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A byte that can follow a lead byte; after any other byte the lead byte stands alone.
inline bool is_sjis_trail(uint8_t byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// A half-width katakana or its punctuation (one byte, one column).
inline bool is_halfwidth_kana(uint8_t byte) {
    return byte >= 0xA1 && byte <= 0xDF;
}

}  // namespace quillon
