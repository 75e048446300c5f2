// PNG files through libpng's simplified reader: any colour type and depth becomes 8-bit RGB,
// transparency composited over black. The declared size is checked before any pixel memory is
// taken.
#include <png.h>

#include <cstring>

#include "platform/image_files.h"
#include "platform/images/png_library.h"

namespace quillon {

std::optional<DecodedImage> decode_png(std::string_view bytes, std::string* why) {
    if (!png_library().available()) {  // a picture that cannot be read, not the end of the run
        if (why) *why = "libpng cannot be loaded";
        return std::nullopt;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        if (why) *why = png.message;
        return std::nullopt;
    }
    const int64_t count = int64_t{png.width} * int64_t{png.height};
    if (png.width == 0 || png.height == 0 || count > kDecodedPixelsMax) {
        png_image_free(&png);
        if (why) *why = "PNG too large";
        return std::nullopt;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(static_cast<std::size_t>(count) * 3);
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(&png, &black, rgb.data(), 0, nullptr)) {
        if (why) *why = png.message;
        png_image_free(&png);
        return std::nullopt;
    }
    DecodedImage image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < image.pixels.size(); ++k)
        image.pixels[k] =
            uint32_t{rgb[3 * k]} | uint32_t{rgb[3 * k + 1]} << 8 | uint32_t{rgb[3 * k + 2]} << 16;
    return image;
}

}  // namespace quillon
