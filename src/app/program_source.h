// Where kavrun's program comes from: BASIC source tokenized in memory, a file that ends with a
// program image, or the image appended to kavrun itself.
#pragma once

#include <optional>
#include <string>

#include "host/program_image.h"

namespace quillon {

struct ProgramSource {
    ProgramImage image;
    std::string folder;  // the program folder: the folder of the file that holds the program
    std::string title;   // the window title: that file's name without its extension
};

// Loads the program of FILE (empty: kavrun itself). Nothing, with a one-line `why`, when the
// file cannot be read, its source does not tokenize, or it holds no valid image (then
// `no_image` is set, so that the usage can be shown too).
std::optional<ProgramSource> load_program_source(const std::string& file, std::string& why,
                                                 bool& no_image);

}  // namespace quillon
