// The lister: a program image printed back as source that kavpack packs into the same image.
#pragma once

#include <string>

#include "host/program_image.h"

namespace quillon::kavpack {

// The program as UTF-8 source: an option line when the font is not the default, then one
// line per program line, with statement and operator tokens spelt as words. Line numbers are
// left out when the lines are numbered 1, 2, 3 ... as kavpack numbers unnumbered lines.
std::string list_program(const ProgramImage& image);

}  // namespace quillon::kavpack
