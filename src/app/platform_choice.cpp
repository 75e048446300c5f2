// Choosing the back-end, making the --audio recording, and reading the key and event scripts
// the headless one delivers.
#include "app/platform_choice.h"

#include "platform/audio/audio_engine.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/system_services.h"

namespace quillon {
namespace {

// Key and event scripts are delivered by the headless back-end, so they imply it.
bool wants_window(const CommandLine& line) {
    return !line.headless && !line.keys && line.keys_file.empty() && line.events_file.empty();
}

// The recording is made at once, empty until something sounds: a file that cannot be written
// is refused before the program runs, and no recording of an earlier run stays behind.
bool make_recording(const std::string& file, std::string& why) {
    std::string reason;
    if (file.empty() || WavWriter().open(file, kAudioRate, kAudioChannels, &reason)) return true;
    why = "cannot write " + file + ": " + reason;
    return false;
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
    if (!make_recording(line.audio_file, why)) return std::nullopt;
    if (wants_window(line)) {
        WindowOptions window;
        window.screen = line.screen;
        window.window = line.window;
        window.title = title;
        window.audio_file = line.audio_file;
        window.printer_file = line.printer_file;
        std::string reason;
        if (auto platform = make_sdl_platform(window, &reason))
            return PlatformChoice{std::move(platform), false};
        // A display is there but refused the window: say so, rather than run headless in
        // silence.
        if (!reason.empty())
            write_standard_error("kavrun: cannot open a window (" + reason +
                                 "); running headless\n");
    }
    auto input = headless_input(line, why);
    if (!input) return std::nullopt;
    HeadlessOptions options{line.screen, line.window, title, line.audio_file, line.printer_file};
    return PlatformChoice{std::make_unique<HeadlessPlatform>(options, std::move(*input)), true};
}

}  // namespace quillon
