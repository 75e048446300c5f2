// The SDL platform's event thread: runs the worker, turns SDL events into calls of the window
// procedure, carries out the worker's requests, and presents the window surface with the
// blinking caret over it.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/sdl/sdl_message_box.h"
#include "platform/sdl/sdl_window.h"
#include "platform/text_codec.h"

namespace quillon {

void present_pixels(const PixelView& view, SDL_Surface* target) {
    int width = std::min(view.width, target->w);
    int height = std::min(view.height, target->h);
    if (width < target->w || height < target->h) SDL_FillRect(target, nullptr, 0);
    if (!view.pixels || width <= 0 || height <= 0) return;
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_XBGR8888, view.pixels, view.width * 4,
                      target->format->format, target->pixels, target->pitch);
}

void invert_rect(SDL_Surface* surface, int x, int y, int width, int height) {
    if (surface->format->BytesPerPixel != 4) return;
    const uint32_t mask = surface->format->Rmask | surface->format->Gmask | surface->format->Bmask;
    for (int row = std::max(0, y); row < std::min(surface->h, y + height); ++row) {
        auto* line = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                 static_cast<std::ptrdiff_t>(row) * surface->pitch);
        for (int col = std::max(0, x); col < std::min(surface->w, x + width); ++col)
            line[col] ^= mask;
    }
}

void draw_caret(SDL_Surface* surface, int x, int line_bottom) {
    invert_rect(surface, x, line_bottom - kCaretRise, kCaretWidth, kCaretHeight);
}

namespace {

constexpr int kMouseMove = 1;
constexpr int kLeftDown = 2;
constexpr int kRightDown = 3;
constexpr int kLeftUp = 4;
constexpr int kRightUp = 5;

// Events that a window disabled by its modal box does not get (key states are still kept).
bool takes_input(const SDL_Event& event) {
    switch (event.type) {
        case SDL_TEXTINPUT:
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return true;
        case SDL_WINDOWEVENT:
            return event.window.event == SDL_WINDOWEVENT_CLOSE;
        default:
            return false;
    }
}

uint64_t deadline_wait(uint64_t deadline, uint64_t now) {
    return deadline > now ? deadline - now : 0;
}

}  // namespace

void SdlPlatform::run(WindowEvents& events, const std::function<void()>& worker) {
    if (!window_) {  // the window is gone: a second run has nothing to show
        worker();
        return;
    }
    loop_ = LoopState{};
    loop_.events = &events;
    loop_.present_interval = frame_interval();
    worker_done_ = false;
    SDL_ShowWindow(window_);
    SDL_StartTextInput();
    int width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    if (width != options_.window.width || height != options_.window.height)
        handle_resize(width, height);
    paint_requested_ = true;
    std::thread thread([this, &worker] { worker_main(worker); });
    event_loop();
    thread.join();
    present_last_frame();
    box_.reset();
    SDL_StopTextInput();
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    loop_.events = nullptr;
    if (worker_failure_) std::rethrow_exception(worker_failure_);
}

void SdlPlatform::worker_main(const std::function<void()>& worker) {
    try {
        worker();
    } catch (...) {
        worker_failure_ = std::current_exception();  // rethrown on the main thread
    }
    worker_done_ = true;
    wake();
    SDL_TLSCleanup();  // SDL keeps per-thread data (its error text) for threads it did not start
}

void SdlPlatform::event_loop() {
    while (!worker_done_) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(wait_timeout()))) {
            handle_event(event);
            while (SDL_PollEvent(&event))
                handle_event(event);
        }
        serve_requests();
        if (loop_.closing && !worker_done_ && SDL_GetTicks64() >= loop_.close_deadline)
            abandon_worker();
    }
}

// How long the loop may sleep: until the next presentation, caret blink or close deadline.
uint32_t SdlPlatform::wait_timeout() const {
    const uint64_t now = SDL_GetTicks64();
    uint64_t wait = kIdleWaitMs;
    if (loop_.present_due)
        wait = std::min(wait, deadline_wait(loop_.last_present + loop_.present_interval, now));
    if (loop_.caret_shown) wait = std::min(wait, deadline_wait(loop_.next_blink, now));
    if (loop_.closing) wait = std::min(wait, deadline_wait(loop_.close_deadline, now));
    return static_cast<uint32_t>(wait);
}

void SdlPlatform::handle_event(const SDL_Event& event) {
    WindowEvents& events = *loop_.events;
    if (event.type == wake_event_) {
        wake_pending_ = false;  // requests are served after the events
        return;
    }
    if (box_ && handle_box_event(event)) return;
    if (boxes_open_ > 0 && takes_input(event)) return;  // the box's owner is disabled
    switch (event.type) {
        case SDL_QUIT:
            handle_close();
            break;
        case SDL_WINDOWEVENT:
            handle_window_event(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            handle_key(event.key);
            break;
        case SDL_TEXTINPUT:
            for (char byte : text_input_to_sjis(event.text.text))
                events.key_char(static_cast<uint8_t>(byte));
            break;
        case SDL_MOUSEMOTION:
            events.mouse(kMouseMove, event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            handle_mouse_button(event.button);
            break;
        default:
            break;
    }
}

void SdlPlatform::handle_window_event(const SDL_WindowEvent& event) {
    WindowEvents& events = *loop_.events;
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            handle_resize(event.data1, event.data2);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            loop_.present_due = true;
            break;
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            refresh_window_rect();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            loop_.focused = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            if (!loop_.focused) release_all_keys();  // key releases elsewhere go unseen
            events.focus(loop_.focused);
            caret_dirty_ = true;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            handle_close();
            break;
        default:
            break;
    }
}

// A new client area: the surface follows it and is repainted. A window without a client area
// (minimized) keeps the size it had.
void SdlPlatform::handle_resize(int width, int height) {
    if (width > 0 && height > 0) {
        std::lock_guard lock(state_mutex_);
        client_size_ = Size{width, height};
    }
    loop_.events->resized(width, height);
    loop_.events->paint();
    loop_.present_due = true;
    refresh_window_rect();
}

// Arrow keys and the control characters come from key presses (repeats included); all other
// characters arrive as committed text. Alt combinations type nothing, so Alt+Enter does nothing.
void SdlPlatform::handle_key(const SDL_KeyboardEvent& event) {
    set_key(virtual_key_for_scancode(event.keysym.scancode), event.state == SDL_PRESSED);
    if (event.type != SDL_KEYDOWN || (event.keysym.mod & KMOD_ALT) || boxes_open_ > 0) return;
    WindowEvents& events = *loop_.events;
    if (auto arrow = arrow_key_code(event.keysym.sym)) {
        events.arrow_key(*arrow);
        return;
    }
    if (auto control = typed_control_char(event.keysym.sym, event.keysym.mod))
        events.key_char(*control);
}

void SdlPlatform::handle_mouse_button(const SDL_MouseButtonEvent& event) {
    const bool pressed = event.state == SDL_PRESSED;
    set_key(virtual_key_for_mouse_button(event.button), pressed);
    int kind = 0;
    if (event.button == SDL_BUTTON_LEFT) kind = pressed ? kLeftDown : kLeftUp;
    if (event.button == SDL_BUTTON_RIGHT) kind = pressed ? kRightDown : kRightUp;
    if (kind != 0) loop_.events->mouse(kind, event.x, event.y);
}

// The user closed the window: the program is told to stop, and has close_timeout_ms to do so.
void SdlPlatform::handle_close() {
    if (loop_.closing) return;
    loop_.closing = true;
    loop_.close_deadline =
        SDL_GetTicks64() + static_cast<uint64_t>(std::max(0, options_.close_timeout_ms));
    loop_.events->close_requested();
}

void SdlPlatform::serve_requests() {
    serve_message_box();
    apply_commands();
    if (ime_dirty_.exchange(false)) apply_ime_rect();
    if (paint_requested_.exchange(false)) {
        loop_.events->paint();
        loop_.present_due = true;
    }
    if (present_requested_) loop_.present_due = true;  // cleared when the frame is shown
    if (caret_dirty_.exchange(false)) {
        loop_.caret_phase = true;  // a moved caret shows at once, then blinks
        loop_.next_blink = SDL_GetTicks64() + kCaretBlinkMs;
        loop_.present_due = true;
    }
    tick_caret();
    present_if_due();
}

void SdlPlatform::apply_commands() {
    std::vector<WindowCommand> commands;
    {
        std::lock_guard lock(state_mutex_);
        commands.swap(commands_);
    }
    for (const WindowCommand& command : commands)
        apply_command(command);
    if (!commands.empty()) refresh_window_rect();
}

// Moves take the outer edges, as the WINDOW statement gives them; SDL places the client area.
void SdlPlatform::apply_command(const WindowCommand& command) {
    if (command.kind == WindowCommand::Kind::Show) {
        if (command.show == WindowShow::Maximized) SDL_MaximizeWindow(window_);
        if (command.show == WindowShow::Minimized) SDL_MinimizeWindow(window_);
        if (command.show == WindowShow::Normal) SDL_RestoreWindow(window_);
        return;
    }
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window_);
    const Rect& r = command.rect;
    SDL_SetWindowPosition(window_, r.left + left, r.top + top);
    SDL_SetWindowSize(window_, std::max(1, r.right - r.left - left - right),
                      std::max(1, r.bottom - r.top - top - bottom));
    paint_requested_ = true;
}

void SdlPlatform::apply_ime_rect() {
    Rect r;
    {
        std::lock_guard lock(state_mutex_);
        r = ime_rect_;
    }
    SDL_Rect rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
    SDL_SetTextInputRect(&rect);
}

void SdlPlatform::tick_caret() {
    const uint64_t now = SDL_GetTicks64();
    if (now < loop_.next_blink) return;
    loop_.next_blink = now + kCaretBlinkMs;
    loop_.caret_phase = !loop_.caret_phase;
    if (loop_.caret_shown) loop_.present_due = true;
}

// However many statements draw, the window is presented at most once per frame of the display
// it is on.
uint64_t SdlPlatform::frame_interval() const {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window_);
    int hz = kAssumedRefreshHz;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0)
        hz = mode.refresh_rate;
    return static_cast<uint64_t>(std::max(1, 1000 / hz));
}

// What the program drew last is shown before its window goes, even within the frame interval.
void SdlPlatform::present_last_frame() {
    if (present_requested_.exchange(false)) loop_.present_due = true;
    if (loop_.present_due) present_frame();
    loop_.present_due = false;
}

void SdlPlatform::present_if_due() {
    const uint64_t now = SDL_GetTicks64();
    if (!loop_.present_due || now < loop_.last_present + loop_.present_interval) return;
    loop_.present_due = false;
    loop_.last_present = now;
    present_requested_ = false;  // drawing from here on asks (and wakes) for the next frame
    present_frame();
}

// The caret is no part of the window surface: it is laid over each presented frame, and only
// while the window has the focus.
void SdlPlatform::present_frame() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    int caret_x = 0, caret_y = 0;
    loop_.caret_shown = loop_.events->caret(caret_x, caret_y) && loop_.focused;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    loop_.events->copy_surface([surface](const PixelView& view) { present_pixels(view, surface); });
    if (loop_.caret_shown && loop_.caret_phase) draw_caret(surface, caret_x, caret_y);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(window_);
}

void SdlPlatform::refresh_window_rect() {
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &width, &height);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    std::lock_guard lock(state_mutex_);
    if (!commands_.empty()) return;  // a move still to come: keep the rectangle it asked for
    window_rect_ = Rect{x - left, y - top, x + width + right, y + height + bottom};
}

void SdlPlatform::set_key(int virtual_key, bool down) {
    if (virtual_key > 0 && virtual_key < kVirtualKeyCount)
        keys_down_[static_cast<std::size_t>(virtual_key)] = down;
}

void SdlPlatform::release_all_keys() {
    for (auto& key : keys_down_)
        key = false;
}

// The program did not stop after the window was closed (a blocking call that never returns):
// the process ends without it, as it would when its window is destroyed.
void SdlPlatform::abandon_worker() {
    std::fprintf(stderr, "kavrun: the program did not stop after its window was closed\n");
    std::fflush(nullptr);
    std::_Exit(0);
}

// Opens the box the worker asked for, or ends the one that is up when the program is being
// stopped. A box that cannot be shown leaves its title and text on standard error.
void SdlPlatform::serve_message_box() {
    std::optional<BoxRequest> request;
    bool waiting = false;
    {
        std::lock_guard lock(box_mutex_);
        request.swap(box_request_);
        waiting = box_waiting_;
    }
    if (boxes_cancelled_) {
        if (waiting) answer_box();  // the box that is up, or the one asked for, ends unseen
        return;
    }
    if (!request) return;
    if (!box_font_) box_font_ = open_font(message_box_font_record());
    std::string why;
    box_ = MessageBoxWindow::open(window_, *box_font_, request->text, request->title, request->icon,
                                  &why);
    if (box_) return;
    std::fprintf(stderr, "[%s] %s\n(kavrun: no message box: %s)\n",
                 sjis_to_utf8(request->title).c_str(), sjis_to_utf8(request->text).c_str(),
                 why.c_str());
    answer_box();
}

// While a box is up, every key goes to it (key states are still kept), and so do the events
// of its own window; a click on the owner brings the box back in front. False for the
// owner's other events, which go on as usual (painting, resizing).
bool SdlPlatform::handle_box_event(const SDL_Event& event) {
    uint32_t window_id = 0;
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            set_key(virtual_key_for_scancode(event.key.keysym.scancode), event.type == SDL_KEYDOWN);
            if (box_->handle(event)) answer_box();
            return true;
        case SDL_WINDOWEVENT:
            window_id = event.window.windowID;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            window_id = event.button.windowID;
            break;
        case SDL_MOUSEMOTION:
            window_id = event.motion.windowID;
            break;
        default:
            return false;
    }
    if (window_id != box_->id()) {
        if (event.type == SDL_MOUSEBUTTONDOWN) box_->raise();
        return false;
    }
    if (box_->handle(event)) answer_box();
    return true;
}

void SdlPlatform::answer_box() {
    box_.reset();
    {
        std::lock_guard lock(box_mutex_);
        box_waiting_ = false;
    }
    box_answered_.notify_all();
}

}  // namespace quillon
