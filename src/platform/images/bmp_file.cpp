// Windows bitmap files through SDL's reader, which knows every form the classic loader reads
// (1, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8, bottom-up and top-down, bit-field masks). The
// header is checked here first: SDL would allocate whatever size a file declares.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/image_files.h"
#include "platform/sdl/sdl_library.h"

namespace quillon {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // the old OS/2 form: 16-bit sizes
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kLargestHeaderSize = 124;  // version 5

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

uint32_t read_le(std::string_view bytes, std::size_t at, int size) {
    uint32_t value = 0;
    for (int k = size - 1; k >= 0; --k)
        value = value << 8 | static_cast<uint8_t>(bytes[at + static_cast<std::size_t>(k)]);
    return value;
}

struct BmpHeader {
    int64_t width = 0;
    int64_t height = 0;  // rows, whatever their order
    uint32_t bits = 0;
    uint32_t compression = kRgb;
    uint32_t pixel_offset = 0;
};

bool refuse(std::string* why, const char* reason) {
    if (why) *why = reason;
    return false;
}

// Reads the header and checks what SDL would trust: sizes, bit depth, compression and, for
// uncompressed rows, that the file holds every row it declares.
bool check_header(std::string_view bytes, BmpHeader& h, std::string* why) {
    if (bytes.size() < kFileHeaderSize + 4) return refuse(why, "truncated bitmap header");
    h.pixel_offset = read_le(bytes, 10, 4);
    const uint32_t info_size = read_le(bytes, kFileHeaderSize, 4);
    if (info_size != kCoreHeaderSize &&
        (info_size < kInfoHeaderSize || info_size > kLargestHeaderSize))
        return refuse(why, "unknown bitmap header");
    if (bytes.size() < kFileHeaderSize + info_size) return refuse(why, "truncated bitmap header");
    const std::size_t at = kFileHeaderSize + 4;
    if (info_size == kCoreHeaderSize) {
        h.width = read_le(bytes, at, 2);
        h.height = read_le(bytes, at + 2, 2);
        h.bits = read_le(bytes, at + 6, 2);
    } else {
        h.width = static_cast<int32_t>(read_le(bytes, at, 4));
        h.height = std::llabs(static_cast<int32_t>(read_le(bytes, at + 4, 4)));
        h.bits = read_le(bytes, at + 10, 2);
        h.compression = read_le(bytes, at + 12, 4);
    }
    if (h.width <= 0 || h.height <= 0) return refuse(why, "bitmap without pixels");
    if (h.width * h.height > kDecodedPixelsMax) return refuse(why, "bitmap too large");
    const bool depth_ok =
        h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32;
    const bool compression_ok = h.compression == kRgb || (h.compression == kRle8 && h.bits == 8) ||
                                (h.compression == kRle4 && h.bits == 4) ||
                                (h.compression == kBitFields && (h.bits == 16 || h.bits == 32));
    if (!depth_ok || !compression_ok) return refuse(why, "unsupported bitmap form");
    if (h.pixel_offset >= bytes.size() || bytes.size() > INT32_MAX)
        return refuse(why, "bitmap pixels outside the file");
    if (h.compression == kRgb || h.compression == kBitFields) {
        const int64_t stride = (h.width * h.bits + 31) / 32 * 4;
        if (static_cast<int64_t>(bytes.size()) - h.pixel_offset < stride * h.height)
            return refuse(why, "truncated bitmap");
    }
    return true;
}

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// One pixel of a loaded surface (1 to 4 bytes, little-endian) as its RGB value. SDL_GetRGB
// widens 5- and 6-bit channels by repeating their bits, so full intensity stays 255.
uint32_t surface_pixel(const SDL_Surface& s, int x, int y) {
    const uint8_t* p = static_cast<const uint8_t*>(s.pixels) +
                       static_cast<std::ptrdiff_t>(y) * s.pitch +
                       static_cast<std::ptrdiff_t>(x) * s.format->BytesPerPixel;
    uint32_t raw = 0;
    for (int k = s.format->BytesPerPixel - 1; k >= 0; --k)
        raw = raw << 8 | p[k];
    uint8_t r = 0, g = 0, b = 0;
    SDL_GetRGB(raw, s.format, &r, &g, &b);
    return uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16;
}

}  // namespace

std::optional<DecodedImage> decode_bmp(std::string_view bytes, std::string* why) {
    BmpHeader header;
    if (!check_header(bytes, header, why)) return std::nullopt;
    if (!sdl_library().available()) {  // a picture that cannot be read, not the end of the run
        if (why) *why = "SDL2 cannot be loaded";
        return std::nullopt;
    }
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    Surface loaded(rw ? SDL_LoadBMP_RW(rw, 1) : nullptr);
    if (!loaded || loaded->w != header.width || loaded->h != header.height ||
        loaded->format->BytesPerPixel < 1 || loaded->format->BytesPerPixel > 4) {
        if (why) *why = loaded ? "unexpected bitmap layout" : SDL_GetError();
        return std::nullopt;
    }
    DecodedImage image;
    image.width = loaded->w;
    image.height = loaded->h;
    image.pixels.resize(static_cast<std::size_t>(image.width) *
                        static_cast<std::size_t>(image.height));
    uint32_t* out = image.pixels.data();
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            *out++ = surface_pixel(*loaded, x, y);
    return image;
}

}  // namespace quillon
