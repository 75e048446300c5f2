// Loading the program: only the last bytes of a file can hold an image, so only those are read.
#include "app/program_source.h"

#include "host/limits.h"
#include "kavpack/tokenizer.h"
#include "platform/system_services.h"

namespace quillon {
namespace {

// The largest image: face name and font numbers of up to 255 bytes with their length bytes,
// the program text and its two length bytes.
constexpr std::size_t kImageMax = 255 + 1 + 255 + 1 + kProgramMax + 2;

bool is_source_name(const std::string& file) {
    if (file.size() < 4) return false;
    std::string end = file.substr(file.size() - 4);
    for (char& c : end)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return end == ".bas";
}

std::optional<ProgramImage> image_from_source(const std::string& file, std::string& why) {
    std::string reason;
    auto source = read_whole_file(file, &reason);
    if (!source) return why = "cannot read " + file + ": " + reason, std::nullopt;
    kavpack::TokenizeResult result = kavpack::tokenize_source(*source);
    if (!result.image) why = result.error.describe(file);
    return result.image;
}

std::optional<ProgramImage> image_at_end_of(const std::string& file, std::string& why,
                                            bool& no_image) {
    std::string reason;
    auto tail = read_file_tail(file, kImageMax, &reason);
    if (!tail) return why = "cannot read " + file + ": " + reason, std::nullopt;
    auto image = read_program_image(*tail, &reason);
    no_image = !image;
    if (!image) return why = "no program image in " + file + " (" + reason + ")", std::nullopt;
    return image;
}

}  // namespace

std::optional<ProgramSource> load_program_source(const std::string& file, std::string& why,
                                                 bool& no_image) {
    no_image = false;
    std::string holder = file.empty() ? executable_path() : file;
    if (holder.empty()) return why = "cannot find kavrun's own file", std::nullopt;
    auto image = !file.empty() && is_source_name(file) ? image_from_source(file, why)
                                                       : image_at_end_of(holder, why, no_image);
    if (!image) return std::nullopt;
    return ProgramSource{std::move(*image), absolute_folder_of(holder), file_stem(holder)};
}

}  // namespace quillon
