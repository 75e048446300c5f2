// kavrun's command line: the options, their parsing and the usage text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillon {

struct CommandLine {
    std::string file;  // empty: the image appended to kavrun itself
    bool headless = false;
    Size screen{1024, 768};  // the display, hence the picture
    bool screen_given = false;
    Size window{640, 400};            // the window's client area
    std::optional<std::string> keys;  // --keys TEXT
    std::string keys_file;
    std::string events_file;
    bool dump_text = false;
    std::string screenshot;
    std::string audio_file;    // --audio: a WAV recording of everything that sounds
    std::string printer_file;  // --printer: LPRINT's pages go to this PDF file
    bool help = false;
};

// Parses the arguments after the program name; nothing, with `why`, on a usage error.
std::optional<CommandLine> parse_command_line(const std::vector<std::string>& args,
                                              std::string& why);

// "WxH" with both sides positive.
std::optional<Size> parse_size(const std::string& text);
// Within the largest picture the runtime makes.
bool fits_canvas(Size size);

extern const char kUsage[];

}  // namespace quillon
