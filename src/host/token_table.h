// Lookup over the statement token table (host/token_list.h).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "host/statement.h"

namespace quillon {

struct TokenEntry {
    uint16_t token;
    std::string_view keyword;
    StatementHandler handler;
};

std::span<const TokenEntry> token_table();
// The entry of a token, or nullptr when the token is unknown.
const TokenEntry* find_token(uint16_t token);

}  // namespace quillon
