// kavpack: packs BASIC source into a program image appended to a copy of the runtime (or
// written alone), and lists the image at the end of any file as source. Exit status: 0 done,
// 1 the source or a file could not be used, 2 usage errors and files without an image.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/program_image.h"
#include "kavpack/font_options.h"
#include "kavpack/lister.h"
#include "kavpack/tokenizer.h"
#include "kavpack/tool_files.h"
#include "platform/text_codec.h"

namespace fs = std::filesystem;
using namespace quillon;
using namespace quillon::kavpack;

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr std::string_view kUsageText =
    "usage: kavpack [options] SOURCE.bas [-o OUTPUT]\n"
    "       kavpack --image-only [options] SOURCE.bas [-o OUTPUT.img]\n"
    "       kavpack --list FILE [-o OUTPUT.bas]\n"
    "options:\n"
    "  -o, --output FILE    the file to write (default: SOURCE without .bas, or SOURCE.img\n"
    "                       with --image-only; --list prints to standard output)\n"
    "  --runtime FILE       the runtime to copy (default: the kavrun beside kavpack, then\n"
    "                       the one on PATH)\n"
    "  --image-only         write the program image alone\n"
    "  --font-face NAME     the program's font face (default \"ＭＳ 明朝\")\n"
    "  --font \"NUMBERS\"     the thirteen numbers of the program's font\n"
    "                       (default \"-16 0 0 0 0 0 0 0 128 0 0 0 0\")\n"
    "  --list FILE          print the program image at the end of FILE as source\n"
    "  -h, --help           show this help\n";

struct Options {
    bool list = false;
    bool image_only = false;
    std::optional<std::string> output, runtime, face, font;
    std::vector<std::string> files;
};

int usage_error(const std::string& what) {
    std::cerr << "kavpack: " << what << "\n" << kUsageText;
    return kUsage;
}

int failure(const std::string& what, int status = kFailed) {
    std::cerr << "kavpack: " << what << "\n";
    return status;
}

// The value of an option given as "--name VALUE" or "--name=VALUE".
std::optional<std::string> option_value(std::string_view arg, std::string_view name, int& i,
                                        int argc, char** argv, bool& missing) {
    if (arg == name) {
        if (i + 1 >= argc) {
            missing = true;
            return std::nullopt;
        }
        return std::string(argv[++i]);
    }
    if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=')
        return std::string(arg.substr(name.size() + 1));
    return std::nullopt;
}

// Parses the command line; a usage error leaves `error` set.
Options parse_arguments(int argc, char** argv, std::string& error) {
    Options o;
    bool options_end = false;
    for (int i = 1; i < argc && error.empty(); ++i) {
        std::string_view arg = argv[i];
        bool missing = false;
        if (options_end || arg.empty() || arg[0] != '-' || arg == "-") {
            o.files.emplace_back(arg);
        } else if (arg == "--") {
            options_end = true;
        } else if (arg == "--list") {
            o.list = true;
        } else if (arg == "--image-only") {
            o.image_only = true;
        } else if (auto v = option_value(arg, "-o", i, argc, argv, missing)) {
            o.output = v;
        } else if (auto v = option_value(arg, "--output", i, argc, argv, missing)) {
            o.output = v;
        } else if (auto v = option_value(arg, "--runtime", i, argc, argv, missing)) {
            o.runtime = v;
        } else if (auto v = option_value(arg, "--font-face", i, argc, argv, missing)) {
            o.face = v;
        } else if (auto v = option_value(arg, "--font", i, argc, argv, missing)) {
            o.font = v;
        } else {
            error = missing ? std::string(arg) + " needs a value"
                            : "unknown option " + std::string(arg);
        }
    }
    return o;
}

// The font options of the command line in image form; a usage error leaves `error` set.
FontChoice font_choice(const Options& o, std::string& error) {
    FontChoice choice;
    if (o.face) {
        choice.face = utf8_to_sjis(*o.face);
        if (!choice.face)
            error = "--font-face: the name has a character without a Shift-JIS form";
        else if (!check_face(*choice.face, &error))
            error = "--font-face: " + error;
    }
    if (o.font && error.empty() && !(choice.numbers = canonical_font_numbers(*o.font, &error)))
        error = "--font: " + error;
    return choice;
}

// The output file when -o is not given: the source without .bas (.img for an image alone).
std::optional<fs::path> default_output(const fs::path& source, bool image_only) {
    fs::path output = source;
    if (image_only) return output.replace_extension(".img");
    if (!source.has_extension()) return std::nullopt;
    return output.replace_extension();
}

bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// The bytes to write before the image: a copy of the runtime, or nothing.
std::optional<std::string> runtime_bytes(const Options& o, const char* argv0, int& status) {
    if (o.image_only) return std::string();
    std::optional<fs::path> runtime;
    if (o.runtime)
        runtime = fs::path(*o.runtime);
    else
        runtime = find_runtime(argv0);
    if (!runtime) {
        status = failure(
            "no runtime to copy: kavrun is neither beside kavpack nor on PATH "
            "(give --runtime FILE, or --image-only)");
        return std::nullopt;
    }
    std::string why;
    auto bytes = read_whole_file(*runtime, why);
    if (!bytes) status = failure("cannot read the runtime " + runtime->string() + ": " + why);
    return bytes;
}

int pack(const Options& o, const char* argv0) {
    if (o.files.size() != 1) return usage_error("give one SOURCE file to pack");
    const fs::path source = o.files[0];
    std::string error;
    FontChoice choice = font_choice(o, error);
    if (!error.empty()) return usage_error(error);
    std::optional<fs::path> output =
        o.output ? std::optional(fs::path(*o.output)) : default_output(source, o.image_only);
    if (!output) return usage_error("give the output file with -o");
    if (same_file(*output, source)) return usage_error("the output would overwrite the source");

    std::string why;
    auto text = read_whole_file(source, why);
    if (!text) return failure("cannot read " + source.string() + ": " + why);
    TokenizeResult result = tokenize_source(*text, choice);
    if (!result.image) {
        std::cerr << result.error.describe(source.string()) << "\n";
        return kFailed;
    }
    if (result.image->face.size() > kFaceNameMax)
        std::cerr << "kavpack: warning: the face name is " << result.image->face.size()
                  << " bytes long; the runtime uses the first 31 bytes\n";
    int status = 0;
    auto bytes = runtime_bytes(o, argv0, status);
    if (!bytes) return status;
    *bytes += *write_program_image(*result.image);
    if (!write_whole_file(*output, *bytes, !o.image_only, why))
        return failure("cannot write " + output->string() + ": " + why);
    return 0;
}

// The first program line where two program texts differ, for the listing check.
std::string first_difference(const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    std::size_t start = a.rfind('\n', at == 0 ? 0 : at - 1);
    start = start == std::string::npos || at == 0 ? 0 : start + 1;
    std::size_t end = a.find_first_not_of("0123456789", start);
    return a.substr(start, (end == std::string::npos ? a.size() : end) - start);
}

// Warns when the listing would not pack back into the same image.
void check_listing(const std::string& file, const ProgramImage& image, const std::string& text) {
    TokenizeResult again = tokenize_source(text);
    if (again.image && again.image->text == image.text && again.image->face == image.face &&
        again.image->font_numbers == image.font_numbers)
        return;
    std::cerr << "kavpack: warning: " << file << ": the listing does not pack back into the same "
              << "image";
    if (!again.image)
        std::cerr << " (" << again.error.describe("listing") << ")";
    else if (again.image->text != image.text)
        std::cerr << " (program line " << first_difference(image.text, again.image->text) << ")";
    std::cerr << "\n";
}

int list(const Options& o) {
    if (o.files.size() != 1) return usage_error("give one FILE to list");
    if (o.image_only || o.runtime || o.face || o.font)
        return usage_error("--list takes no packing options");
    const std::string& file = o.files[0];
    std::string why;
    auto bytes = read_whole_file(file, why);
    if (!bytes) return failure("cannot read " + file + ": " + why);
    auto image = read_program_image(*bytes, &why);
    if (!image) return failure(file + " holds no program image: " + why, kUsage);
    std::string text = list_program(*image);
    check_listing(file, *image, text);
    if (!o.output) {
        std::cout << text << std::flush;
        return std::cout ? 0 : failure("cannot write the listing");
    }
    if (!write_whole_file(*o.output, text, false, why))
        return failure("cannot write " + *o.output + ": " + why);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsageText;
            return 0;
        }
    }
    std::string error;
    Options options = parse_arguments(argc, argv, error);
    if (!error.empty()) return usage_error(error);
    return options.list ? list(options) : pack(options, argv[0]);
}
