// The one place where kavrun chooses its back-end: a window when a display is there and one
// can be opened, else headless.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "platform/platform.h"

namespace quillon {

struct PlatformChoice {
    std::unique_ptr<Platform> platform;
    bool headless = false;
};

// Makes the back-end for the command line. Nothing, with `why`, when a script named on the
// command line cannot be read or the --audio file cannot be written.
// `title` is the window title (UTF-8).
std::optional<PlatformChoice> choose_platform(const CommandLine& line, const std::string& title,
                                              std::string& why);

}  // namespace quillon
