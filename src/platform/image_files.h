// Picture files as pixels: Windows bitmaps (1, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8,
// bottom-up and top-down) and PNG files, decoded into 0x00BBGGRR pixels. Files that are
// damaged, truncated or hostile (sizes that would need gigabytes, offsets outside the file,
// palette indexes beyond the palette) are refused, never half-read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The most pixels one decoded picture may have (128 MB of pixels), and the largest file read.
inline constexpr int64_t kDecodedPixelsMax = int64_t{1} << 25;
inline constexpr std::size_t kPictureFileMax = std::size_t{1} << 28;

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // row after row, top row first
};

// The file's bytes as a picture (the format told by its first bytes); nothing, and `why`,
// when they are not a picture this reader accepts.
std::optional<DecodedImage> decode_picture(std::string_view bytes, std::string* why = nullptr);
std::optional<DecodedImage> decode_bmp(std::string_view bytes, std::string* why = nullptr);
std::optional<DecodedImage> decode_png(std::string_view bytes, std::string* why = nullptr);

// Reads and decodes the picture file at `path` (a path of this system, UTF-8).
std::optional<DecodedImage> load_picture_file(const std::string& path, std::string* why = nullptr);

}  // namespace quillon
