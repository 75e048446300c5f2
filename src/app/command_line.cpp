// Parsing kavrun's options: "--name VALUE" or "--name=VALUE", in any order around FILE.
#include "app/command_line.h"

#include <charconv>
#include <cstdint>

#include "host/limits.h"

namespace quillon {
namespace {

bool takes_value(const std::string& name) {
    return name == "--screen" || name == "--window" || name == "--keys" || name == "--keys-file" ||
           name == "--events" || name == "--screenshot" || name == "--audio" || name == "--printer";
}

// Stores the value of one option that takes one.
bool set_value(CommandLine& line, const std::string& name, const std::string& value,
               std::string& why) {
    if (name == "--screen" || name == "--window") {
        auto size = parse_size(value);
        if (!size) return why = name + " wants WIDTHxHEIGHT, got \"" + value + "\"", false;
        if (!fits_canvas(*size))
            return why = name + " " + value + " is too large: at most " +
                         std::to_string(kCanvasSideMax) + " pixels a side and " +
                         std::to_string(kCanvasAreaMax) + " pixels in all",
                   false;
        (name == "--screen" ? line.screen : line.window) = *size;
        line.screen_given = line.screen_given || name == "--screen";
    } else if (name == "--keys") {
        line.keys = value;
    } else if (name == "--keys-file") {
        line.keys_file = value;
    } else if (name == "--events") {
        line.events_file = value;
    } else if (name == "--audio") {
        line.audio_file = value;
    } else if (name == "--printer") {
        line.printer_file = value;
    } else {
        line.screenshot = value;
    }
    if (value.empty() && name != "--keys") return why = name + " wants a value", false;
    return true;
}

bool set_flag(CommandLine& line, const std::string& name) {
    if (name == "--headless") return line.headless = true;
    if (name == "--dump-text") return line.dump_text = true;
    if (name == "--help" || name == "-h") return line.help = true;
    return false;
}

}  // namespace

const char kUsage[] =
    "usage: kavrun [options] [FILE]\n"
    "Runs a BASIC program: FILE.bas (source), a file that ends with a program image,\n"
    "or, without FILE, the image appended to kavrun itself.\n"
    "  --headless         no window: the transcript goes to standard output\n"
    "  --screen WxH       display size, hence the picture's (default 1024x768)\n"
    "  --window WxH       window client area (default 640x400)\n"
    "  --keys TEXT        scripted keys; \\n is Enter, \\b Backspace, \\\\ a backslash\n"
    "  --keys-file FILE   scripted keys from a file; a line feed is Enter\n"
    "  --events FILE      scripted mouse events and key-state changes\n"
    "  --dump-text        at the end, print the character screen's text\n"
    "  --screenshot FILE  at the end, save the window surface as PNG\n"
    "  --audio FILE.wav   also record everything that sounds (PLAY, MCI, BEEP) to FILE\n"
    "  --printer FILE.pdf LPRINT's pages go to FILE instead of the default printer\n"
    "  --help             show this help\n";

std::optional<Size> parse_size(const std::string& text) {
    std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return std::nullopt;
    Size size;
    auto whole = [&](std::size_t from, std::size_t to, int& value) {
        const char* first = text.data() + from;
        const char* last = text.data() + to;
        auto [end, ec] = std::from_chars(first, last, value);
        return first != last && ec == std::errc() && end == last;
    };
    if (!whole(0, x, size.width) || !whole(x + 1, text.size(), size.height)) return std::nullopt;
    if (size.width < 1 || size.height < 1) return std::nullopt;
    return size;
}

bool fits_canvas(Size size) {
    return size.width <= kCanvasSideMax && size.height <= kCanvasSideMax &&
           static_cast<int64_t>(size.width) * size.height <= kCanvasAreaMax;
}

std::optional<CommandLine> parse_command_line(const std::vector<std::string>& args,
                                              std::string& why) {
    CommandLine line;
    bool options_end = false;
    bool have_file = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        std::string arg = args[k];
        if (!options_end && arg == "--") {
            options_end = true;
            continue;
        }
        if (options_end || arg.empty() || arg[0] != '-' || arg == "-") {
            if (have_file) return why = "more than one FILE given", std::nullopt;
            line.file = arg;
            have_file = true;
            continue;
        }
        std::size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        if (takes_value(name)) {
            std::string value;
            if (equals != std::string::npos)
                value = arg.substr(equals + 1);
            else if (k + 1 < args.size())
                value = args[++k];
            else
                return why = name + " wants a value", std::nullopt;
            if (!set_value(line, name, value, why)) return std::nullopt;
        } else if (equals != std::string::npos || !set_flag(line, name)) {
            return why = "unknown option " + arg, std::nullopt;
        }
    }
    if (line.keys && !line.keys_file.empty())
        return why = "--keys and --keys-file cannot be used together", std::nullopt;
    if (have_file && line.file.empty()) return why = "FILE is empty", std::nullopt;
    return line;
}

}  // namespace quillon
