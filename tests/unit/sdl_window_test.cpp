// The SDL window back-end with a real SDL window: events pushed through SDL's queue reach the
// window procedure as the program expects them, worker requests are served on the event
// thread, and closing the window stops the program. SDL's offscreen driver serves by default;
// QUILLON_TEST_VIDEO_DRIVER=x11 runs the same tests on an X server (the GUI tests do).
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "expr/variables.h"
#include "graphics/picture.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/startup.h"
#include "kavpack/tokenizer.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/sdl_window.h"
#include "screen/window_procedure.h"

namespace quillon {
namespace {

constexpr auto kPatience = std::chrono::seconds(10);

// A window procedure that records what the back-end hands it.
class RecordingEvents : public WindowEvents {
  public:
    void paint() override { ++paints; }
    void resized(int width, int height) override {
        std::lock_guard lock(mutex);
        sizes.push_back(Size{width, height});
    }
    void key_char(uint8_t byte) override {
        std::lock_guard lock(mutex);
        typed += static_cast<char>(byte);
    }
    void arrow_key(uint8_t code) override {
        std::lock_guard lock(mutex);
        arrows.push_back(code);
    }
    void mouse(int event, int x, int y) override {
        std::lock_guard lock(mutex);
        mice.push_back({event, x, y});
    }
    void focus(bool) override {}
    void close_requested() override { ++closes; }
    void copy_surface(std::function<void(const PixelView&)> present) override {
        ++copies;
        std::array<uint32_t, 4> pixels{0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF};
        present(PixelView{pixels.data(), 2, 2});
    }
    bool caret(int& x, int& y) override {
        ++caret_queries;
        x = 2;
        y = 16;  // the bottom of the caret's line: the mark covers rows 9 to 14
        return caret_on;
    }

    std::string typed_bytes() {
        std::lock_guard lock(mutex);
        return typed;
    }
    std::vector<uint8_t> arrow_codes() {
        std::lock_guard lock(mutex);
        return arrows;
    }
    std::vector<std::array<int, 3>> mouse_events() {
        std::lock_guard lock(mutex);
        return mice;
    }
    std::vector<Size> resizes() {
        std::lock_guard lock(mutex);
        return sizes;
    }

    std::atomic<int> paints{0};
    std::atomic<int> copies{0};
    std::atomic<int> closes{0};
    std::atomic<int> caret_queries{0};
    std::atomic<bool> caret_on{false};

  private:
    std::mutex mutex;
    std::string typed;
    std::vector<uint8_t> arrows;
    std::vector<std::array<int, 3>> mice;
    std::vector<Size> sizes;
};

// Polls until the condition holds; false after kPatience.
template <typename Condition>
bool wait_for(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

WindowOptions test_options() {
    WindowOptions options;
    options.title = "窓のテスト";
    const char* driver = std::getenv("QUILLON_TEST_VIDEO_DRIVER");
    options.video_driver = driver && *driver ? driver : "offscreen";
    return options;
}

std::unique_ptr<Platform> make_test_platform(const WindowOptions& options = test_options()) {
    return make_sdl_platform(options);
}

void push_text(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    SDL_strlcpy(event.text.text, utf8, sizeof event.text.text);
    SDL_PushEvent(&event);
}

void push_key(SDL_Keycode key, SDL_Scancode scancode, bool down, uint16_t modifiers = KMOD_NONE) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
}

void push_button(uint8_t button, bool down, int x, int y) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

void push_close() {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
}

TEST(SdlWindow, CommittedJapaneseTextArrivesAsShiftJisBytes) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    const std::string expected =
        "\x8A\xBF\x8E\x9A"    // 漢字
        "\xB1\xB2\xB3\xDE"    // ｱｲｳﾞ
        "A\x82\xA0\x81\x60";  // Aあ〜
    platform->run(events, [&] {
        push_text("漢字");
        push_text("ｱｲｳﾞ");
        push_text("Aあ〜");
        wait_for([&] { return events.typed_bytes().size() >= expected.size(); });
    });
    EXPECT_EQ(events.typed_bytes(), expected);
}

TEST(SdlWindow, KeyPressesGiveArrowCodesAndControlCharacters) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    platform->run(events, [&] {
        push_key(SDLK_LEFT, SDL_SCANCODE_LEFT, true);
        push_key(SDLK_UP, SDL_SCANCODE_UP, true);
        push_key(SDLK_RIGHT, SDL_SCANCODE_RIGHT, true);
        push_key(SDLK_DOWN, SDL_SCANCODE_DOWN, true);
        push_key(SDLK_LEFT, SDL_SCANCODE_LEFT, true, KMOD_LALT);  // a system key: nothing
        push_key(SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, true);
        push_key(SDLK_RETURN, SDL_SCANCODE_RETURN, true, KMOD_LALT);  // Alt+Enter: nothing
        push_key(SDLK_RETURN, SDL_SCANCODE_RETURN, true);
        push_key(SDLK_a, SDL_SCANCODE_A, true);  // printable keys type through text input
        push_key(SDLK_c, SDL_SCANCODE_C, true, KMOD_LCTRL);
        push_key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, true);
        wait_for([&] { return events.typed_bytes().size() >= 4; });
    });
    EXPECT_EQ(events.arrow_codes(), (std::vector<uint8_t>{0x1D, 0x1E, 0x1C, 0x1F}));
    EXPECT_EQ(events.typed_bytes(), "\x08\x0D\x03\x1B");
}

TEST(SdlWindow, KeyStateFollowsPressAndRelease) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    Platform& p = *platform;
    std::vector<int16_t> seen;
    p.run(events, [&] {
        push_key(SDLK_SPACE, SDL_SCANCODE_SPACE, true);
        push_key(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, true);
        wait_for([&] { return p.key_state(0xA0) < 0; });
        seen = {p.key_state(32), p.key_state(0x10), p.key_state(0xA0), p.key_state(0xA1),
                p.key_state(0x41)};
        push_key(SDLK_SPACE, SDL_SCANCODE_SPACE, false);
        push_button(SDL_BUTTON_LEFT, true, 1, 1);
        wait_for([&] { return p.key_state(1) < 0; });
        seen.push_back(p.key_state(32));
        seen.push_back(p.key_state(1));
    });
    EXPECT_EQ(seen, (std::vector<int16_t>{INT16_MIN, INT16_MIN, INT16_MIN, 0, 0, 0, INT16_MIN}));
    EXPECT_EQ(p.key_state(-1), 0);
    EXPECT_EQ(p.key_state(100000), 0);
}

bool has_move_to(const std::vector<std::array<int, 3>>& mice, int x, int y) {
    return std::find(mice.begin(), mice.end(), std::array<int, 3>{1, x, y}) != mice.end();
}

TEST(SdlWindow, MouseEventsCarryTheirKindAndClientPosition) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    const std::vector<std::array<int, 3>> expected = {
        {2, 10, 20}, {4, 11, 21}, {3, 30, 40}, {5, 31, 41}};
    platform->run(events, [&] {
        push_button(SDL_BUTTON_LEFT, true, 10, 20);
        push_button(SDL_BUTTON_LEFT, false, 11, 21);
        push_button(SDL_BUTTON_RIGHT, true, 30, 40);
        push_button(SDL_BUTTON_MIDDLE, true, 50, 50);  // no event of its own
        push_button(SDL_BUTTON_RIGHT, false, 31, 41);
        SDL_Event motion{};
        motion.type = SDL_MOUSEMOTION;
        motion.motion.x = 7;
        motion.motion.y = 8;
        SDL_PushEvent(&motion);
        wait_for([&] { return has_move_to(events.mouse_events(), 7, 8); });
    });
    std::vector<std::array<int, 3>> buttons;
    for (const auto& e : events.mouse_events())  // a real pointer may add moves of its own
        if (e[0] != 1) buttons.push_back(e);
    EXPECT_EQ(buttons, expected);
    EXPECT_TRUE(has_move_to(events.mouse_events(), 7, 8));
}

TEST(SdlWindow, InvalidatePaintsAndPresentsOnTheEventThread) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    Platform& p = *platform;
    int paints_before = 0;
    bool painted = false, presented = false;
    p.run(events, [&] {
        wait_for([&] { return events.copies > 0; });  // the first frame
        paints_before = events.paints;
        int copies_before = events.copies;
        p.invalidate();
        painted = wait_for([&] { return events.paints > paints_before; });
        presented = wait_for([&] { return events.copies > copies_before; });
        int queries_before = events.caret_queries;
        p.caret_changed();
        wait_for([&] { return events.caret_queries > queries_before; });
    });
    EXPECT_GE(paints_before, 1);  // the window is painted when it is shown
    EXPECT_TRUE(painted);
    EXPECT_TRUE(presented);
    EXPECT_GE(events.caret_queries, 2);
}

TEST(SdlWindow, MovedWindowReportsItsRectangleAndResizesTheClientArea) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    Platform& p = *platform;
    Rect asked{20, 30, 20 + 320, 30 + 240};
    Rect read_back;
    Size client;
    p.run(events, [&] {
        p.move_window(asked);
        read_back = p.window_rect();
        wait_for([&] { return !events.resizes().empty(); });
        wait_for([&] { return p.window_rect().right - p.window_rect().left == 320; });
        client = p.client_size();
        p.show_window(WindowShow::Maximized);
        p.show_window(WindowShow::Normal);
    });
    EXPECT_EQ(read_back.left, asked.left);
    EXPECT_EQ(read_back.bottom, asked.bottom);
    ASSERT_FALSE(events.resizes().empty());
    Rect now = p.window_rect();
    EXPECT_EQ(now.right - now.left, 320);
    EXPECT_EQ(now.bottom - now.top, 240);
    // Without a frame (offscreen, or no window manager) the client area is the whole window.
    EXPECT_LE(events.resizes().back().width, 320);
    EXPECT_EQ(client.width, events.resizes().back().width);
    EXPECT_GT(events.paints, 1);
}

TEST(SdlWindow, SizesAndTitleComeFromTheOptions) {
    WindowOptions options = test_options();
    options.window = Size{300, 200};
    options.screen = Size{800, 600};
    auto platform = make_sdl_platform(options);
    ASSERT_TRUE(platform) << SDL_GetError();
    EXPECT_EQ(platform->display_size().width, 800);
    EXPECT_EQ(platform->display_size().height, 600);
    EXPECT_EQ(platform->client_size().width, 300);
    EXPECT_EQ(platform->client_size().height, 200);
    EXPECT_EQ(platform->window_title(), "\x91\x8B\x82\xCC\x83\x65\x83\x58\x83\x67");  // 窓のテスト
}

// Sets environment variables for one scope and puts the old values back.
class ScopedEnvironment {
  public:
    void unset(const char* name) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        unsetenv(name);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            if (value) setenv(name.c_str(), value->c_str(), 1);
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(SdlWindow, NoWindowWithoutADisplayOrAWorkingVideoDriver) {
    ScopedEnvironment environment;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"})
        environment.unset(name);
    WindowOptions options;  // SDL's choice of driver: needs a display
    EXPECT_FALSE(make_sdl_platform(options));
    setenv("SDL_VIDEODRIVER", "offscreen", 1);  // a driver without a display is no display
    EXPECT_FALSE(make_sdl_platform(options));
    unsetenv("SDL_VIDEODRIVER");
    options.video_driver = "no-such-driver";
    EXPECT_FALSE(make_sdl_platform(options));
    options.video_driver = "offscreen";
    EXPECT_TRUE(make_sdl_platform(options)) << SDL_GetError();
}

TEST(SdlWindow, ClosingTheWindowAsksTheProgramToStop) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    bool stopped = false;
    platform->run(events, [&] {
        push_close();
        push_close();  // a second close while stopping changes nothing
        stopped = wait_for([&] { return events.closes > 0; });
        platform->beep();  // no audio device is no failure
    });
    EXPECT_TRUE(stopped);
    EXPECT_EQ(events.closes, 1);
}

// A message box is up: a second window besides the program's.
bool box_is_up() {
    int windows = 0;
    for (uint32_t id = 1; id < 64; ++id)
        windows += SDL_GetWindowFromID(id) != nullptr;
    return windows >= 2;
}

// The box is the runtime's own window: it needs no desktop services (no X core fonts, no
// dialog program), keeps the program waiting, and answers to Enter or Esc.
TEST(SdlMessageBox, WaitsForEnterOrEscWhileTheWindowGoesOnPainting) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    std::atomic<int> answered{0};
    platform->run(events, [&] {
        for (SDL_Keycode key : {SDLK_RETURN, SDLK_ESCAPE}) {
            std::thread answer([&, key] {
                // Only once the box is up (a second window) does the key answer it.
                wait_for(box_is_up);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                EXPECT_EQ(answered, key == SDLK_RETURN ? 0 : 1);
                platform->invalidate();  // the program's window paints meanwhile
                push_key(key, SDL_SCANCODE_UNKNOWN, true);
            });
            platform->message_box("\x8C^\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7\n\nError line:30",
                                  "Basic - Error", MessageIcon::Error);
            ++answered;
            answer.join();
        }
    });
    EXPECT_EQ(answered, 2);
    EXPECT_GT(events.paints, 0);
}

TEST(SdlMessageBox, ACancelledBoxEndsAndLaterOnesReturnAtOnce) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    bool returned = false;
    platform->run(events, [&] {
        std::thread stopper([&] {
            wait_for(box_is_up);
            platform->cancel_message_box();  // a signal stops the program
        });
        platform->message_box("box", "title", MessageIcon::Information);
        stopper.join();
        platform->message_box("after", "title", MessageIcon::None);
        returned = true;
    });
    EXPECT_TRUE(returned);
}

TEST(SdlWindow, WorkerFailureReachesTheCaller) {
    auto platform = make_test_platform();
    ASSERT_TRUE(platform) << SDL_GetError();
    RecordingEvents events;
    EXPECT_THROW(platform->run(events, [] { throw std::runtime_error("worker"); }),
                 std::runtime_error);
}

TEST(SdlWindowDeathTest, ProgramThatDoesNotStopAfterCloseEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            WindowOptions options = test_options();
            options.close_timeout_ms = 100;
            auto platform = make_sdl_platform(options);
            if (!platform) std::_Exit(3);
            RecordingEvents events;
            platform->run(events, [] {
                push_close();
                for (;;)  // a blocking call that never returns
                    std::this_thread::sleep_for(std::chrono::seconds(1));
            });
            std::_Exit(4);
        },
        ::testing::ExitedWithCode(0), "did not stop");
}

TEST(SdlPresent, WindowSurfacePixelsReachTheScreenInItsFormat) {
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 32, SDL_PIXELFORMAT_RGB888);
    ASSERT_TRUE(target);
    SDL_FillRect(target, nullptr, 0x123456);
    std::array<uint32_t, 2> pixels{0x0000FF, 0xFF8000};  // red; 0x00BBGGRR: blue 255, green 128
    present_pixels(PixelView{pixels.data(), 2, 1}, target);
    auto at = [target](int x, int y) {
        return static_cast<uint32_t*>(target->pixels)[y * target->pitch / 4 + x] & 0xFFFFFF;
    };
    EXPECT_EQ(at(0, 0), 0xFF0000u);
    EXPECT_EQ(at(1, 0), 0x0080FFu);
    EXPECT_EQ(at(2, 0), 0u);  // not covered by the window surface: black
    EXPECT_EQ(at(0, 1), 0u);
    invert_rect(target, 1, -5, 9, 6);  // clipped to the surface
    EXPECT_EQ(at(0, 0), 0xFF0000u);
    EXPECT_EQ(at(1, 0), 0xFF7F00u);
    EXPECT_EQ(at(2, 0), 0xFFFFFFu);
    EXPECT_EQ(at(2, 1), 0u);
    SDL_FreeSurface(target);
}

void push_focus(bool gained) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&event);
}

// The frames SDL's offscreen driver saved, in order, as the colour of one pixel each.
std::vector<uint32_t> saved_frame_pixels(const std::filesystem::path& folder, int x, int y) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".bmp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<uint32_t> pixels;
    for (const auto& file : files) {
        SDL_Surface* frame = SDL_LoadBMP(file.string().c_str());
        if (!frame) continue;
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(frame, SDL_PIXELFORMAT_RGB888, 0);
        pixels.push_back(static_cast<uint32_t*>(rgb->pixels)[y * rgb->pitch / 4 + x] & 0xFFFFFF);
        SDL_FreeSurface(rgb);
        SDL_FreeSurface(frame);
    }
    return pixels;
}

std::size_t count_files(const std::filesystem::path& folder) {
    std::error_code error;
    auto entries = std::filesystem::directory_iterator(folder, error);
    return error ? 0 : static_cast<std::size_t>(std::distance(entries, {}));
}

// The caret is laid over the presented frame only while the window has the focus: the 9 x 6
// mark at the caret's top-left inverts what is under it (black turns white).
TEST(SdlWindow, CaretShowsOnlyWhileTheWindowHasTheFocus) {
    if (test_options().video_driver != "offscreen") GTEST_SKIP() << "frames are saved offscreen";
    const auto folder = std::filesystem::path(::testing::TempDir()) / "sdl_caret_frames";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);  // the driver saves frames in the working folder
    setenv("SDL_VIDEO_OFFSCREEN_SAVE_FRAMES", "1", 1);
    {
        auto platform = make_test_platform();
        ASSERT_TRUE(platform) << SDL_GetError();
        RecordingEvents events;
        events.caret_on = true;
        platform->run(events, [&] {
            wait_for([&] { return count_files(folder) >= 1; });
            std::size_t before = count_files(folder);
            push_focus(true);
            wait_for([&] { return count_files(folder) > before; });
            before = count_files(folder);
            push_focus(false);
            wait_for([&] { return count_files(folder) > before; });
        });
    }
    unsetenv("SDL_VIDEO_OFFSCREEN_SAVE_FRAMES");
    std::filesystem::current_path(previous);
    auto inside = saved_frame_pixels(folder, 6, 11);   // under the mark
    auto outside = saved_frame_pixels(folder, 6, 15);  // just below it
    ASSERT_GE(inside.size(), 3u);
    EXPECT_EQ(inside.front(), 0u);  // no focus yet
    EXPECT_NE(std::find(inside.begin(), inside.end(), 0xFFFFFFu), inside.end());
    EXPECT_EQ(inside.back(), 0u);  // the focus went away
    EXPECT_EQ(std::count(outside.begin(), outside.end(), 0u),
              static_cast<std::ptrdiff_t>(outside.size()));
}

// The caret of a 16-pixel line whose bottom is y 16 covers rows 9 to 14: inside its own line,
// never over the line below.
TEST(SdlPresent, TheCaretSitsInsideItsLineAboveItsBottom) {
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 12, 20, 32, SDL_PIXELFORMAT_RGB888);
    ASSERT_TRUE(target);
    SDL_FillRect(target, nullptr, 0);
    draw_caret(target, 2, 16);
    auto lit = [target](int x, int y) {
        return (static_cast<uint32_t*>(target->pixels)[y * target->pitch / 4 + x] & 0xFFFFFF) != 0;
    };
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(lit(x, y), x >= 2 && x < 11 && y >= 9 && y < 15) << x << "," << y;
    SDL_FreeSurface(target);
}

}  // namespace
}  // namespace quillon

// The whole road of a typed line: SDL events through the window procedure into a waiting input
// statement of a real program, run by the SDL back-end's worker.
namespace quillon {
namespace {

struct SdlProgram {
    std::unique_ptr<Platform> platform = make_test_platform();
    std::optional<Runtime> rt;
    std::optional<WindowProcedure> procedure;

    // Runs the source on the window while `user` acts from another thread.
    void run(std::string_view source, const std::function<void(Runtime&)>& user) {
        auto image = kavpack::tokenize_source(source).image;
        ASSERT_TRUE(image);
        rt.emplace(*platform);
        procedure.emplace(*rt);
        create_picture(*rt);
        platform->run(*procedure, [&] {
            load_program(*rt, *image);
            initialise_program_state(*rt);
            std::thread acting([&] { user(*rt); });
            run_program(*rt);
            acting.join();
        });
    }
    std::string var(std::string_view name) {
        std::string out;
        get_variable(*rt, name, out);
        return out;
    }
    ~SdlProgram() {
        if (!rt) return;
        final_release(*rt);
        release_picture(*rt);
    }
};

void when_waiting(Runtime& rt) {
    wait_for([&] { return rt.screen.input_waiting.load(); });
}

TEST(SdlInput, JapaneseTextIsStoredAsShiftJisBytes) {
    SdlProgram program;
    ASSERT_TRUE(program.platform) << SDL_GetError();
    program.run("INPUT \"名前\";A$\nLINE INPUT B$", [](Runtime& rt) {
        when_waiting(rt);
        push_text("漢字");
        push_text("ｱｲｳﾞ");
        push_key(SDLK_RETURN, SDL_SCANCODE_RETURN, true);
        wait_for([&] { return !rt.screen.input_waiting.load(); });
        when_waiting(rt);
        push_text("x,");
        push_text("〜か");
        push_key(SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, true);  // the whole か goes
        push_key(SDLK_RETURN, SDL_SCANCODE_RETURN, true);
    });
    EXPECT_EQ(program.var("A$"), "\"\x8A\xBF\x8E\x9A\xB1\xB2\xB3\xDE\"");  // 漢字ｱｲｳﾞ
    EXPECT_EQ(program.var("B$"), "\"x,\x81\x60\"");                        // x,〜
}

TEST(SdlInput, ArrowKeysReachTheProgram) {
    SdlProgram program;
    ASSERT_TRUE(program.platform) << SDL_GetError();
    program.run("K$=INPUT$(1)", [](Runtime& rt) {
        wait_for([&] { return rt.host.running.load(); });
        push_key(SDLK_LEFT, SDL_SCANCODE_LEFT, true);
    });
    EXPECT_EQ(program.var("K$"), "\"\x1D\"");
}

TEST(SdlInput, ClosingTheWindowWhileInputWaitsEndsTheProgram) {
    SdlProgram program;
    ASSERT_TRUE(program.platform) << SDL_GetError();
    program.run("A$=\"old\"\nINPUT A$\nA$=\"after\"", [](Runtime& rt) {
        when_waiting(rt);
        push_text("typed");
        wait_for([&] {
            std::lock_guard lock(rt.graphics.display_mutex);
            return rt.screen.input_line == "typed";
        });
        push_close();
    });
    EXPECT_EQ(program.var("A$"), "\"old\"");
    EXPECT_TRUE(program.rt->host.stop);
    EXPECT_TRUE(program.rt->host.cleaned_up);
    EXPECT_FALSE(program.rt->host.error_stopped);
}

void push_window_event(uint8_t kind, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

void push_motion(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

// The event thread and the worker at once on everything they share: the program prints, moves
// the caret, clears, recolours and resizes its window, polls keys and takes mouse traps, while
// the user resizes, uncovers, clicks, moves the mouse and switches the focus. The threads must
// keep to their locks (ThreadSanitizer runs this) and the program sees the key that ends it.
TEST(SdlInput, ProgramAndWindowEventsRunTogether) {
    SdlProgram program;
    ASSERT_TRUE(program.platform) << SDL_GetError();
    program.run(R"(ON MOUSE(2) GOSUB *click
MOUSE(2) ON
*top
N=N+1
COLOR N MOD 8
PRINT N;"漢字";
LOCATE N MOD 20,N MOD 10
IF N MOD 50=0 THEN CLS
IF N MOD 70=0 THEN WINDOW 10,10,300+N MOD 40,200+N MOD 30
K$=INKEY$
IF K$="q" THEN END
GOTO *top
*click
C=C+1
RETURN
)",
                [](Runtime& rt) {
                    wait_for([&] { return rt.host.running.load(); });
                    for (int k = 0; k < 150; ++k) {
                        push_window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 200 + k % 90, 150 + k % 70);
                        push_window_event(SDL_WINDOWEVENT_EXPOSED);
                        push_motion(k % 180, k % 120);
                        push_button(SDL_BUTTON_LEFT, true, k % 180, 10);
                        push_button(SDL_BUTTON_LEFT, false, k % 180, 10);
                        push_window_event(k % 2 ? SDL_WINDOWEVENT_FOCUS_LOST
                                                : SDL_WINDOWEVENT_FOCUS_GAINED);
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    }
                    push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
                    push_text("q");
                });
    EXPECT_EQ(program.var("K$"), "\"q\"");
    EXPECT_NE(program.var("C"), "0");  // clicks reached the trap
    EXPECT_FALSE(program.rt->host.error_stopped);
}

}  // namespace
}  // namespace quillon
