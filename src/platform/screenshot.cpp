// PNG screenshots through libpng's simplified API: the pixels are repacked as RGB bytes.
#include "platform/screenshot.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/images/png_library.h"

namespace quillon {

bool save_png(const std::string& path, const PixelView& pixels, std::string* why) {
    if (!pixels.pixels || pixels.width <= 0 || pixels.height <= 0) {
        if (why) *why = "the window surface is empty";
        return false;
    }
    if (!png_library().available()) {
        if (why) *why = "libpng cannot be loaded";
        return false;
    }
    const std::size_t count =
        static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height);
    std::vector<png_byte> rgb(count * 3);
    for (std::size_t k = 0; k < count; ++k) {
        uint32_t p = pixels.pixels[k];
        rgb[k * 3] = static_cast<png_byte>(p & 0xFF);
        rgb[k * 3 + 1] = static_cast<png_byte>((p >> 8) & 0xFF);
        rgb[k * 3 + 2] = static_cast<png_byte>((p >> 16) & 0xFF);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pixels.width);
    image.height = static_cast<png_uint_32>(pixels.height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) return true;
    if (why) *why = image.message[0] ? image.message : "cannot write the file";
    png_image_free(&image);
    return false;
}

}  // namespace quillon
