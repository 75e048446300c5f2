// Fuzz target: any bytes as a BASIC source for kavpack. Tokenizing must never crash, hang or
// overrun; a UTF-8 source that packs, listed and packed again, gives the same image.
#include <cstdlib>

#include "fuzz_runtime.h"
#include "kavpack/lister.h"
#include "kavpack/tokenizer.h"
#include "platform/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quillon;
    std::string_view source = fuzz::input_text(data, size);
    auto packed = kavpack::tokenize_source(source);
    if (!packed.image) return 0;
    std::string listing = kavpack::list_program(*packed.image);
    // Shift-JIS sources may hold the few characters code page 932 has twice, which come back
    // as their usual form: only UTF-8 ones must give back the very same bytes.
    if (!is_valid_utf8(source)) return 0;
    auto again = kavpack::tokenize_source(listing);
    if (!again.image || again.image->text != packed.image->text ||
        again.image->face != packed.image->face ||
        again.image->font_numbers != packed.image->font_numbers)
        std::abort();
    return 0;
}
