// Choosing the back-end, and reading the key and event scripts the headless one delivers.
#include "app/platform_choice.h"

#include "platform/headless/headless_platform.h"
#include "platform/system_services.h"

namespace quillon {
namespace {

bool display_available() {
    return environment_variable("DISPLAY") || environment_variable("WAYLAND_DISPLAY");
}

std::optional<std::string> read_script(const std::string& file, std::string& why) {
    std::string reason;
    auto bytes = read_whole_file(file, &reason);
    if (!bytes) why = "cannot read " + file + ": " + reason;
    return bytes;
}

std::optional<KeyScript> key_script(const CommandLine& line, std::string& why) {
    std::string reason;
    std::optional<KeyScript> keys;
    if (line.keys) {
        keys = KeyScript::from_text(*line.keys, &reason);
        if (!keys) why = "--keys: " + reason;
    } else if (!line.keys_file.empty()) {
        auto bytes = read_script(line.keys_file, why);
        if (!bytes) return std::nullopt;
        keys = KeyScript::from_file(*bytes, &reason);
        if (!keys) why = line.keys_file + ": " + reason;
    } else {
        keys = KeyScript::from_stream(read_standard_input);
    }
    return keys;
}

std::optional<HeadlessInput> headless_input(const CommandLine& line, std::string& why) {
    HeadlessInput input;
    auto keys = key_script(line, why);
    if (!keys) return std::nullopt;
    input.keys = std::move(*keys);
    input.keys_from_terminal = !line.keys && line.keys_file.empty() && standard_input_is_terminal();
    if (!line.events_file.empty()) {
        auto text = read_script(line.events_file, why);
        if (!text) return std::nullopt;
        std::string reason;
        auto events = parse_event_script(*text, &reason);
        if (!events) return why = line.events_file + ": " + reason, std::nullopt;
        input.events = std::move(*events);
    }
    return input;
}

}  // namespace

std::optional<PlatformChoice> choose_platform(const CommandLine& line, const std::string& title,
                                              std::string& why) {
    auto input = headless_input(line, why);
    if (!input) return std::nullopt;
    if (!line.headless && display_available()) {
        // A window back-end is made here; when it cannot open a window, headless serves.
    }
    HeadlessOptions options{line.screen, line.window, title};
    return PlatformChoice{std::make_unique<HeadlessPlatform>(options, std::move(*input)), true};
}

}  // namespace quillon
