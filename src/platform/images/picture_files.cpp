// Picture files: the format told by the first bytes, the file read whole (within a limit).
#include <array>
#include <cstring>

#include "platform/image_files.h"
#include "platform/system_services.h"

namespace quillon {
namespace {

constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool starts_with_png_signature(std::string_view bytes) {
    return bytes.size() >= kPngSignature.size() &&
           std::memcmp(bytes.data(), kPngSignature.data(), kPngSignature.size()) == 0;
}

}  // namespace

std::optional<DecodedImage> decode_picture(std::string_view bytes, std::string* why) {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return decode_bmp(bytes, why);
    if (starts_with_png_signature(bytes)) return decode_png(bytes, why);
    if (why) *why = "not a bitmap or PNG file";
    return std::nullopt;
}

std::optional<DecodedImage> load_picture_file(const std::string& path, std::string* why) {
    auto bytes = read_whole_file(path, why, kPictureFileMax);
    if (!bytes) return std::nullopt;
    return decode_picture(*bytes, why);
}

}  // namespace quillon
