// Picture files decoded into pixels: every bitmap form (1, 4, 8, 16, 24 and 32 bits, RLE8 and
// RLE4, bottom-up and top-down, bit-field masks, the old 12-byte header), PNG with and without
// transparency, and damaged or hostile files refused without large allocations.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/image_files.h"

namespace quillon::testing {
namespace {

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

void le(std::string& out, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k)
        out += static_cast<char>((value >> (8 * k)) & 0xFF);
}

// A bitmap file: the 14-byte file header, a 40-byte info header, the palette (0x00RRGGBB
// entries as files store them) or masks, then the pixel bytes.
std::string bmp(int32_t width, int32_t height, int bits, uint32_t compression,
                const std::vector<uint32_t>& palette, const std::string& pixels,
                uint32_t colours_used = 0) {
    std::string info;
    le(info, 40, 4);
    le(info, static_cast<uint32_t>(width), 4);
    le(info, static_cast<uint32_t>(height), 4);
    le(info, 1, 2);
    le(info, static_cast<uint32_t>(bits), 2);
    le(info, compression, 4);
    le(info, static_cast<uint32_t>(pixels.size()), 4);
    le(info, 2835, 4);
    le(info, 2835, 4);
    le(info, colours_used, 4);
    le(info, 0, 4);
    for (uint32_t entry : palette)
        le(info, entry, 4);
    std::string file = "BM";
    le(file, static_cast<uint32_t>(14 + info.size() + pixels.size()), 4);
    le(file, 0, 4);
    le(file, static_cast<uint32_t>(14 + info.size()), 4);
    return file + info + pixels;
}

const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};  // k r g b

std::string bytes(std::initializer_list<int> list) {
    std::string out;
    for (int b : list)
        out += static_cast<char>(b);
    return out;
}

// The decoded pixels row by row, as 0x00BBGGRR.
std::vector<uint32_t> decoded(const std::string& file) {
    std::string why;
    auto image = decode_picture(file, &why);
    EXPECT_TRUE(image) << why;
    return image ? image->pixels : std::vector<uint32_t>{};
}

TEST(Bitmaps, PalettedFormsBottomUpAndTopDown) {
    // 2 x 2, 8 bits: the file's first row is the picture's bottom row.
    const std::string rows = bytes({1, 2, 0, 0, 3, 0, 0, 0});
    EXPECT_EQ(decoded(bmp(2, 2, 8, 0, kPalette, rows)),
              (std::vector<uint32_t>{kBlue, 0, kRed, kGreen}));
    EXPECT_EQ(decoded(bmp(2, -2, 8, 0, kPalette, rows)),
              (std::vector<uint32_t>{kRed, kGreen, kBlue, 0}));
    EXPECT_EQ(decoded(bmp(3, 1, 1, 0, {0x000000, 0xFFFFFF}, bytes({0xA0, 0, 0, 0}))),
              (std::vector<uint32_t>{kWhite, 0, kWhite}));
    EXPECT_EQ(decoded(bmp(3, 1, 4, 0, kPalette, bytes({0x12, 0x30, 0, 0}))),
              (std::vector<uint32_t>{kRed, kGreen, kBlue}));
}

TEST(Bitmaps, RunLengthForms) {
    // Bottom row: a run of two red; top row: green, blue; end of bitmap.
    EXPECT_EQ(decoded(bmp(2, 2, 8, 1, kPalette, bytes({2, 1, 0, 0, 1, 2, 1, 3, 0, 1}))),
              (std::vector<uint32_t>{kGreen, kBlue, kRed, kRed}));
    EXPECT_EQ(decoded(bmp(2, 2, 4, 2, kPalette, bytes({2, 0x11, 0, 0, 2, 0x23, 0, 1}))),
              (std::vector<uint32_t>{kGreen, kBlue, kRed, kRed}));
}

TEST(Bitmaps, DirectColourForms) {
    // 16 bits are 5-5-5 unless masks say otherwise.
    EXPECT_EQ(decoded(bmp(2, 1, 16, 0, {}, bytes({0x00, 0x7C, 0x1F, 0x00}))),
              (std::vector<uint32_t>{kRed, kBlue}));
    EXPECT_EQ(decoded(bmp(1, 1, 24, 0, {}, bytes({0x01, 0x02, 0x03, 0}))),
              (std::vector<uint32_t>{0x010203}));
    EXPECT_EQ(decoded(bmp(1, 1, 32, 0, {}, bytes({0x01, 0x02, 0x03, 0x00}))),
              (std::vector<uint32_t>{0x010203}));
    // 5-6-5 masks.
    EXPECT_EQ(decoded(bmp(1, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, bytes({0xE0, 0x07, 0, 0}))),
              (std::vector<uint32_t>{kGreen}));
}

TEST(Bitmaps, TheOldCoreHeader) {
    std::string file = "BM";
    std::string core;
    le(core, 12, 4);
    le(core, 1, 2);
    le(core, 1, 2);
    le(core, 1, 2);
    le(core, 24, 2);
    const std::string pixel = bytes({0x00, 0x00, 0xFF, 0});
    le(file, static_cast<uint32_t>(14 + core.size() + pixel.size()), 4);
    le(file, 0, 4);
    le(file, static_cast<uint32_t>(14 + core.size()), 4);
    EXPECT_EQ(decoded(file + core + pixel), (std::vector<uint32_t>{kRed}));
}

TEST(Bitmaps, DamagedAndHostileFilesAreRefused) {
    const std::string rows = bytes({1, 2, 0, 0, 3, 0, 0, 0});
    std::vector<std::string> refused = {
        "",
        "BM",
        bmp(2, 2, 8, 0, kPalette, rows).substr(0, 30),                  // header cut short
        bmp(100, 100, 24, 0, {}, bytes({1, 2, 3})),                     // rows missing
        bmp(1000000, 1000000, 24, 0, {}, bytes({1, 2, 3})),             // a terapixel declared
        bmp(100000, 1000, 32, 0, {}, bytes({1, 2, 3})),                 // beyond the pixel limit
        bmp(0, 5, 24, 0, {}, bytes({1, 2, 3})),                         // no width
        bmp(2, 2, 7, 0, kPalette, rows),                                // no such depth
        bmp(2, 2, 8, 4, kPalette, rows),                                // JPEG inside
        bmp(2, 2, 8, 2, kPalette, rows),                                // RLE4 on 8 bits
        bmp(2, 2, 8, 0, kPalette, bytes({1, 9, 0, 0, 3, 0, 0, 0}), 4),  // index beyond palette
    };
    std::string far_offset = bmp(2, 2, 8, 0, kPalette, rows);
    far_offset[10] = '\xFF', far_offset[11] = '\xFF', far_offset[12] = '\xFF';
    refused.push_back(far_offset);
    for (std::size_t k = 0; k < refused.size(); ++k)
        EXPECT_FALSE(decode_picture(refused[k])) << "file " << k;
}

// A PNG written through libpng's simplified writer into memory.
std::string png(int width, int height, bool alpha, const std::vector<uint8_t>& samples) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, samples.data(), 0, nullptr));
    std::string out(size, '\0');
    EXPECT_TRUE(
        png_image_write_to_memory(&image, out.data(), &size, 0, samples.data(), 0, nullptr));
    out.resize(size);
    return out;
}

TEST(Pngs, OpaqueAndTransparentPixels) {
    EXPECT_EQ(decoded(png(2, 1, false, {255, 0, 0, 1, 2, 3})),
              (std::vector<uint32_t>{kRed, 0x030201}));
    // Transparency is composited over black.
    EXPECT_EQ(decoded(png(2, 1, true, {0, 255, 0, 255, 255, 255, 255, 0})),
              (std::vector<uint32_t>{kGreen, 0}));
}

TEST(Pngs, DamagedAndHugeFilesAreRefused) {
    std::string good = png(2, 1, false, {255, 0, 0, 1, 2, 3});
    EXPECT_FALSE(decode_picture(good.substr(0, good.size() / 2)));
    std::string huge = good;
    // IHDR's width (bytes 16..19) made 2^30: refused before any pixel memory is taken.
    huge[16] = 0x40;
    EXPECT_FALSE(decode_picture(huge));
    EXPECT_FALSE(decode_picture("GIF89a"));
}

}  // namespace
}  // namespace quillon::testing
