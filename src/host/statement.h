// The statement context every handler receives, and the handler signature.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

struct Runtime;

// Statement tokens: lead byte 0x10 or 0x11, then a code byte, read as lead * 256 + code.
inline constexpr uint8_t kTokenLead1 = 0x10;
inline constexpr uint8_t kTokenLead2 = 0x11;
inline bool is_token_lead(uint8_t byte) {
    return byte == kTokenLead1 || byte == kTokenLead2;
}

struct StatementContext {
    std::string args;      // argument text after the token and its blank, calls expanded
    uint16_t token = 0;    // 0 for a statement without a token
    bool handled = false;  // set once a handler has been selected
    int32_t scan_index = 0;
    std::string statement;  // the whole statement (IF: cut before its THEN)
    std::string command;    // the two token bytes; empty without a token
};

using StatementHandler = void (*)(Runtime&, StatementContext&);

}  // namespace quillon
