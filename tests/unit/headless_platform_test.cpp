// The headless back-end's delivery: keys only when the program asks, events before their
// statement counts, key states, window moves and the transcript of boxes.
#include "platform/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

// Records what the back-end hands to the window procedure.
struct RecordingEvents : WindowEvents {
    std::string log;
    int paints = 0;
    void paint() override { ++paints; }
    void resized(int w, int h) override {
        log += "size " + std::to_string(w) + "x" + std::to_string(h) + ";";
    }
    void key_char(uint8_t byte) override { log += static_cast<char>(byte); }
    void arrow_key(uint8_t code) override { log += "arrow " + std::to_string(code) + ";"; }
    void mouse(int e, int x, int y) override {
        log +=
            "mouse " + std::to_string(e) + " " + std::to_string(x) + "," + std::to_string(y) + ";";
    }
    void focus(bool) override {}
    void close_requested() override { log += "close;"; }
    void copy_surface(std::function<void(const PixelView&)>) override {}
    bool caret(int&, int&) override { return false; }
};

struct HeadlessTest : ::testing::Test {
    std::string transcript;
    RecordingEvents events;

    HeadlessPlatform make(KeyScript keys, std::string event_text = "") {
        HeadlessInput input;
        input.keys = std::move(keys);
        input.events = *parse_event_script(event_text, nullptr);
        return HeadlessPlatform(
            HeadlessOptions{}, std::move(input),
            [this](std::string_view text) { transcript.append(text); },
            "/nonexistent/settings.ini");
    }
    // Runs `worker` inside the platform, as kavrun does.
    void run(HeadlessPlatform& platform, const std::function<void()>& worker) {
        platform.run(events, worker);
    }
};

TEST_F(HeadlessTest, ALineIsTypedUpToAndIncludingEnter) {
    auto platform = make(*KeyScript::from_text("ab\\ncd\\n", nullptr));
    run(platform, [&] { platform.want_keys(KeyDemand::Line); });
    EXPECT_EQ(events.log, "ab\r");
    run(platform, [&] { platform.want_keys(KeyDemand::Line); });
    EXPECT_EQ(events.log, "ab\rcd\r");
}

TEST_F(HeadlessTest, AUsedUpScriptClosesTheWindowForInputButNotForPolls) {
    auto platform = make(*KeyScript::from_text("x", nullptr));
    run(platform, [&] {
        platform.want_keys(KeyDemand::Line);  // "x" and then nothing: the window closes
        platform.want_keys(KeyDemand::Poll);
        platform.want_keys(KeyDemand::Character);
    });
    EXPECT_EQ(events.log, "xclose;close;");
}

TEST_F(HeadlessTest, CharactersAndPollsTakeOneKeyEach) {
    auto platform = make(*KeyScript::from_text("pq", nullptr));
    run(platform, [&] {
        platform.want_keys(KeyDemand::Poll);
        platform.want_keys(KeyDemand::Character);
        platform.want_keys(KeyDemand::Poll);
    });
    EXPECT_EQ(events.log, "pq");
}

TEST_F(HeadlessTest, EventsArriveBeforeTheirStatementCounts) {
    auto platform = make(KeyScript(),
                         "2 click left 5 6\n3 keydown left\n3 keydown space\n4 keyup space\n"
                         "5 move 1 2\n6 close\n");
    std::vector<int16_t> space_states;
    std::vector<int16_t> button_states;
    run(platform, [&] {
        for (uint64_t count = 1; count <= 5; ++count) {
            platform.before_statement(count);
            space_states.push_back(platform.key_state(0x20));
            button_states.push_back(platform.key_state(0x01));
            events.log += "|";
        }
    });
    EXPECT_EQ(events.log, "|mouse 2 5,6;mouse 4 5,6;|arrow 29;||mouse 1 1,2;|");
    EXPECT_EQ(space_states, (std::vector<int16_t>{0, 0, INT16_MIN, 0, 0}));
    EXPECT_EQ(button_states, (std::vector<int16_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(platform.key_state(0x25), INT16_MIN);
    EXPECT_EQ(platform.key_state(-1), 0);
    EXPECT_EQ(platform.key_state(4096), 0);
}

TEST_F(HeadlessTest, APressHoldsTheButtonUntilItsRelease) {
    auto platform = make(KeyScript(), "1 press right 0 0\n3 release right 0 0\n");
    std::vector<int16_t> states;
    run(platform, [&] {
        for (uint64_t count = 1; count <= 3; ++count) {
            platform.before_statement(count);
            states.push_back(platform.key_state(0x02));
        }
    });
    EXPECT_EQ(states, (std::vector<int16_t>{INT16_MIN, INT16_MIN, 0}));
}

TEST_F(HeadlessTest, MovingTheWindowResizesTheSurfaceAtTheNextStatement) {
    auto platform = make(KeyScript());
    run(platform, [&] {
        platform.move_window(Rect{10, 20, 330, 220});
        EXPECT_EQ(platform.client_size().width, 320);
        EXPECT_EQ(events.log, "");
        platform.before_statement(1);
        platform.show_window(WindowShow::Maximized);
        platform.before_statement(2);
        platform.show_window(WindowShow::Normal);
        platform.invalidate();
        platform.before_statement(3);
    });
    EXPECT_EQ(events.log, "size 320x200;size 1024x768;size 320x200;");
    EXPECT_EQ(platform.window_rect().left, 10);
    EXPECT_EQ(events.paints, 0);  // a resize repaints by itself
}

TEST_F(HeadlessTest, BoxesAndScreenTextMakeTheTranscript) {
    auto platform = make(KeyScript());
    run(platform, [&] {
        platform.screen_output("Lv:");
        platform.message_box("\x8C^\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7\n\nError line:30",
                             "Basic - Error", MessageIcon::Error);
    });
    EXPECT_EQ(transcript, "Lv:\n[Basic - Error] 型が違います\n\nError line:30\n");
}

}  // namespace
}  // namespace quillon
