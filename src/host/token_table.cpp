// The token table expanded for lookup: a direct index over both lead bytes.
#include "host/token_table.h"

#include <array>

#include "host/handlers.h"
#include "host/token_list.h"

namespace quillon {
namespace {

#define QUILLON_TOKEN_ENTRY(code, keyword, handler) TokenEntry{code, keyword, &handler},
constexpr TokenEntry kTokens[] = {QUILLON_TOKENS(QUILLON_TOKEN_ENTRY)};
#undef QUILLON_TOKEN_ENTRY

// Index: (lead - 0x10) * 256 + code byte; -1 for unknown tokens.
constexpr std::array<int16_t, 512> build_index() {
    std::array<int16_t, 512> index{};
    for (auto& slot : index)
        slot = -1;
    for (std::size_t i = 0; i < std::size(kTokens); ++i) {
        int lead = kTokens[i].token >> 8;
        index[(lead - kTokenLead1) * 256 + (kTokens[i].token & 0xFF)] = static_cast<int16_t>(i);
    }
    return index;
}
constexpr std::array<int16_t, 512> kIndex = build_index();

}  // namespace

std::span<const TokenEntry> token_table() {
    return kTokens;
}

const TokenEntry* find_token(uint16_t token) {
    int lead = token >> 8;
    if (lead != kTokenLead1 && lead != kTokenLead2) return nullptr;
    int16_t i = kIndex[(lead - kTokenLead1) * 256 + (token & 0xFF)];
    return i < 0 ? nullptr : &kTokens[i];
}

}  // namespace quillon
