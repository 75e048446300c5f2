// Message boxes through SDL_ShowMessageBox. SDL shows them in a separate window with its own
// connection to the display, so the caller blocks while the program's window stays live.
#include "platform/sdl/sdl_message_box.h"

#include <SDL_messagebox.h>

#include <signal.h>
#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/text_codec.h"

namespace quillon {
namespace {

uint32_t icon_flags(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return SDL_MESSAGEBOX_ERROR;
        case MessageIcon::Information:
            return SDL_MESSAGEBOX_INFORMATION;
        case MessageIcon::None:
            break;
    }
    return 0;
}

}  // namespace

void show_message_box(SDL_Window* owner, std::string_view text, std::string_view title,
                      MessageIcon icon) {
    const std::string utf8_text = sjis_to_utf8(text);
    const std::string utf8_title = sjis_to_utf8(title);
    SDL_MessageBoxButtonData ok{};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.buttonid = 1;
    ok.text = "OK";
    SDL_MessageBoxData data{};
    data.flags = icon_flags(icon);
    data.window = owner;
    data.title = utf8_title.c_str();
    data.message = utf8_text.c_str();
    data.numbuttons = 1;
    data.buttons = &ok;
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) == 0) return;
    std::fprintf(stderr, "[%s] %s\n", utf8_title.c_str(), utf8_text.c_str());
}

void end_message_box_processes() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream children(task.path() / "children");
        long pid = 0;
        while (children >> pid)
            if (pid > 0) kill(static_cast<pid_t>(pid), SIGKILL);
    }
}

}  // namespace quillon
