// kavrun: runs the program image appended to itself, or the program in FILE, in a window or
// headless. Start-up order: display size, picture and window surface, settings, a black
// picture, then the worker (program and font, program state, run loop), then the final release.
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/platform_choice.h"
#include "app/program_source.h"
#include "graphics/picture.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/startup.h"
#include "platform/file_system.h"
#include "platform/headless/transcript.h"
#include "platform/screenshot.h"
#include "platform/signal_watch.h"
#include "platform/system_services.h"
#include "screen/char_screen.h"
#include "screen/window_procedure.h"

namespace quillon {
namespace {

constexpr int kExitEnded = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

int usage_error(const std::string& why) {
    write_standard_error("kavrun: " + why + "\n" + kUsage);
    return kExitUsage;
}

// A file named on the command line that cannot serve: one line says why.
int file_error(const std::string& why) {
    write_standard_error("kavrun: " + why + "\n");
    return kExitUsage;
}

// The worker: the program and its font, the program state, then the run loop. A window closed
// before the program starts keeps it from starting.
void run_worker(Runtime& rt, const WindowProcedure& procedure, const ProgramSource& source) {
    load_program(rt, source.image);
    initialise_program_state(rt);
    rt.devices.program_folder = program_name_of(source.folder);  // as programs spell names
    if (!procedure.closed()) run_program(rt);
}

std::string screen_text(Runtime& rt) {
    std::lock_guard lock(rt.graphics.display_mutex);
    return rt.screen.text;
}

// --dump-text and --screenshot, once everything has run; false when the screenshot failed.
bool finish_outputs(Runtime& rt, const CommandLine& line) {
    if (line.dump_text) write_standard_output(screen_text_to_utf8(screen_text(rt)));
    if (line.screenshot.empty()) return true;
    std::string why;
    bool saved = false;
    present_surface(rt,
                    [&](const PixelView& view) { saved = save_png(line.screenshot, view, &why); });
    if (saved) return true;
    write_standard_error("kavrun: cannot save " + line.screenshot + ": " + why + "\n");
    return false;
}

int run(const CommandLine& line) {
    std::string why;
    bool no_image = false;
    auto source = load_program_source(line.file, why, no_image);
    if (!source) return no_image || line.file.empty() ? usage_error(why) : file_error(why);
    auto choice = choose_platform(line, source->title, why);
    if (!choice) return file_error(why);

    Runtime rt(*choice->platform);
    // QUILLON_RESCAN=1 makes every jump and loop scan the text again (benchmarks compare both);
    // QUILLON_TEXT_PATH=1 runs every statement from its text, none prepared (tests compare).
    rt.flow.remember_scans = std::getenv("QUILLON_RESCAN") == nullptr;
    rt.host.prepare_statements = std::getenv("QUILLON_TEXT_PATH") == nullptr;
    WindowProcedure procedure(rt);
    // A termination signal stops the program as closing its window does (an input wait too);
    // the clean-up and the outputs follow as at any end, then the signal ends the process.
    SignalWatch signals([&procedure, &rt] {
        procedure.close_requested();
        rt.platform.cancel_message_box();
        end_standard_input();
    });
    create_picture(rt);
    initialise_settings(rt);
    clear_graphics_screen(rt);
    rt.platform.run(procedure, [&] { run_worker(rt, procedure, *source); });
    signals.program_stopped();
    // The outputs show the window as it was last seen, before its destruction.
    bool outputs_done = finish_outputs(rt, line);
    final_release(rt);
    release_picture(rt);
    signals.end_if_signalled();
    if (!outputs_done) return kExitUsage;
    return rt.host.error_stopped ? kExitError : kExitEnded;
}

}  // namespace
}  // namespace quillon

int main(int argc, char** argv) {
    using namespace quillon;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string why;
    auto line = parse_command_line(args, why);
    if (!line) return usage_error(why);
    if (line->help) {
        write_standard_output(kUsage);
        return kExitEnded;
    }
    return run(*line);
}
