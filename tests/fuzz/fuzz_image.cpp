// Fuzz target: any bytes as a file that may end with a program image. Reading it, its font
// record and listing it as source must never crash, hang or overrun.
#include "fuzz_runtime.h"
#include "host/program_image.h"
#include "kavpack/lister.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quillon;
    auto image = read_program_image(fuzz::input_text(data, size));
    if (!image) return 0;
    FontRecord record = parse_font_record(image->face, image->font_numbers);
    if (record.width < -32767 || record.width > 32767) __builtin_trap();  // clamped
    kavpack::list_program(*image);
    return 0;
}
