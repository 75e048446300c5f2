// The window procedure: typed keys while a program runs and while an input statement waits,
// Backspace editing, Enter, arrows, mouse events and closing the window.
#include "screen/window_procedure.h"

#include <gtest/gtest.h>

#include "graphics/picture.h"
#include "platform/headless/headless_platform.h"
#include "runtime_fixture.h"
#include "screen/char_screen.h"

namespace quillon::testing {
namespace {

struct WindowProcedureTest : ::testing::Test {
    RuntimeFixture f;
    WindowProcedure procedure{f.rt};

    void SetUp() override { f.rt.host.running = true; }

    // An input statement waits after its prompt: the screen shows `screen`, the cursor at its
    // end, and `typed` has been typed so far.
    void waiting(const std::string& screen, const std::string& typed) {
        f.rt.screen.text = screen + typed;
        f.rt.screen.cursor = static_cast<int32_t>(f.rt.screen.text.size());
        f.rt.screen.input_line = typed;
        f.rt.screen.input_waiting = true;
    }
};

TEST_F(WindowProcedureTest, KeysGoToTheLastKeyWhileNoInputWaits) {
    procedure.key_char('a');
    EXPECT_EQ(f.rt.screen.last_key, 'a');
    procedure.key_char(8);  // Backspace and Enter too are plain keys then
    EXPECT_EQ(f.rt.screen.last_key, 8);
    EXPECT_TRUE(f.platform.output.empty());
}

TEST_F(WindowProcedureTest, KeysAreIgnoredBeforeTheProgramRuns) {
    f.rt.host.running = false;
    procedure.key_char('a');
    procedure.arrow_key(0x1D);
    procedure.mouse(2, 10, 20);
    EXPECT_EQ(f.rt.screen.last_key, -1);
    EXPECT_EQ(f.rt.screen.mouse_event, 0);
}

TEST_F(WindowProcedureTest, ArrowsSetTheLastKeyEvenDuringInput) {
    waiting("? ", "");
    procedure.arrow_key(0x1D);
    EXPECT_EQ(f.rt.screen.last_key, 0x1D);
    EXPECT_EQ(f.rt.screen.input_line, "");
}

TEST_F(WindowProcedureTest, TypedCharactersAreStoredEscapedAndEchoed) {
    waiting("? ", "");
    for (uint8_t key : {uint8_t('a'), uint8_t('"'), uint8_t(0x01), uint8_t(0x82), uint8_t(0xA0)})
        procedure.key_char(key);
    EXPECT_EQ(f.rt.screen.input_line,
              "a\x01"
              "D\x01\x01\x82\xA0");
    EXPECT_EQ(f.platform.output,
              "a\x01"
              "D\x01\x01\x82\xA0");
    EXPECT_EQ(f.rt.screen.last_key, -1);
    EXPECT_TRUE(f.rt.screen.input_waiting);
}

TEST_F(WindowProcedureTest, EnterEndsTheWaitWithALineFeed) {
    waiting("? ", "abc");
    procedure.key_char(13);
    EXPECT_FALSE(f.rt.screen.input_waiting);
    EXPECT_EQ(f.platform.output, "\n");
    EXPECT_EQ(f.rt.screen.input_line, "abc");
}

TEST_F(WindowProcedureTest, BackspaceRemovesOneByteAndMovesColoursDown) {
    waiting("? ", "ab");
    f.rt.screen.text += "\nnext";
    f.rt.screen.text_colours[4] = 0x123456;  // the line feed after "ab"
    procedure.key_char(8);
    EXPECT_EQ(f.rt.screen.text, "? a\nnext");
    EXPECT_EQ(f.rt.screen.cursor, 3);
    EXPECT_EQ(f.rt.screen.input_line, "a");
    EXPECT_EQ(f.rt.screen.text_colours[3], 0x123456u);
    EXPECT_EQ(f.platform.invalidations, 1);
}

TEST_F(WindowProcedureTest, BackspaceRemovesADoubleByteCharacterWhole) {
    waiting("? ", "x\x82\xA0");
    procedure.key_char(8);
    EXPECT_EQ(f.rt.screen.text, "? x");
    EXPECT_EQ(f.rt.screen.input_line, "x");
}

TEST_F(WindowProcedureTest, BackspaceRemovesAnEscapePairWhole) {
    waiting("? ",
            "\x01"
            "D");
    procedure.key_char(8);
    EXPECT_EQ(f.rt.screen.text, "? ");
    EXPECT_EQ(f.rt.screen.input_line, "");
}

// 0x82 0x81 is one character whose trail byte is also a lead byte: the "a" typed after it is
// one byte wide, and the character before it stays whole.
TEST_F(WindowProcedureTest, BackspaceAfterATrailByteThatLooksLikeALeadByte) {
    waiting("? ",
            "\x82\x81"
            "a");
    procedure.key_char(8);
    EXPECT_EQ(f.rt.screen.text, "? \x82\x81");
    EXPECT_EQ(f.rt.screen.input_line, "\x82\x81");
}

TEST_F(WindowProcedureTest, BackspaceNeverErasesThePrompt) {
    waiting("Name? ", "");
    procedure.key_char(8);
    EXPECT_EQ(f.rt.screen.text, "Name? ");
    EXPECT_EQ(f.rt.screen.cursor, 6);
    EXPECT_EQ(f.platform.invalidations, 0);
}

TEST_F(WindowProcedureTest, BackspaceStopsAtALineFeed) {
    waiting("", "ab");
    f.rt.screen.text = "ab\n";
    f.rt.screen.cursor = 3;
    procedure.key_char(8);
    EXPECT_EQ(f.rt.screen.text, "ab\n");
    EXPECT_EQ(f.rt.screen.input_line, "ab");
}

TEST_F(WindowProcedureTest, AFullInputLineTakesNoMoreKeys) {
    waiting("", std::string(kStatementMax, 'x'));
    procedure.key_char('y');
    EXPECT_EQ(f.rt.screen.input_line.size(), kStatementMax);
    EXPECT_EQ(f.platform.beeps, 1);
    EXPECT_TRUE(f.platform.output.empty());
}

TEST_F(WindowProcedureTest, MouseEventsRecordPositionAsUnsignedWords) {
    procedure.mouse(3, 12, 34);
    EXPECT_EQ(f.rt.screen.mouse_event, 3);
    EXPECT_EQ(f.rt.screen.mouse_x, 12);
    EXPECT_EQ(f.rt.screen.mouse_y, 34);
    procedure.mouse(1, -1, 70000);
    EXPECT_EQ(f.rt.screen.mouse_x, 0xFFFF);
    EXPECT_EQ(f.rt.screen.mouse_y, 70000 & 0xFFFF);
    procedure.mouse(6, 1, 1);  // no such event
    EXPECT_EQ(f.rt.screen.mouse_event, 1);
}

TEST_F(WindowProcedureTest, ClosingStopsTheProgramAndWakesAnInput) {
    waiting("? ", "ab");
    procedure.close_requested();
    EXPECT_TRUE(procedure.closed());
    EXPECT_TRUE(f.rt.host.stop);
    EXPECT_FALSE(f.rt.screen.input_waiting);
    EXPECT_FALSE(f.rt.host.cleaned_up);  // the clean-up waits for the worker to return
    procedure.key_char('c');             // keys after the close are ignored
    EXPECT_EQ(f.rt.screen.input_line, "ab");
}

TEST_F(WindowProcedureTest, ResizeFollowsTheClientAreaAndTheCaretIsReported) {
    procedure.resized(320, 200);
    procedure.resized(0, 0);  // minimized: the surface and the text stay as they are
    EXPECT_EQ(f.rt.graphics.surface.width(), 320);
    EXPECT_EQ(f.rt.graphics.surface.height(), 200);
    f.rt.screen.caret_x = 24;
    f.rt.screen.caret_y = 32;
    f.rt.screen.caret_flag = true;
    int x = 0, y = 0;
    EXPECT_TRUE(procedure.caret(x, y));
    EXPECT_EQ(x, 24);
    EXPECT_EQ(y, 32);
    int width = 0;
    procedure.copy_surface([&](const PixelView& view) { width = view.width; });
    EXPECT_EQ(width, 320);
}

}  // namespace
}  // namespace quillon::testing

namespace quillon::testing {
namespace {

TEST_F(WindowProcedureTest, EchoAndBackspaceEditTheScreenTogether) {
    waiting("? ", "");
    for (uint8_t key : {uint8_t('x'), uint8_t(0x82), uint8_t(0xA0)})
        procedure.key_char(key);
    EXPECT_EQ(f.rt.screen.text, "? x\x82\xA0");
    procedure.key_char(8);
    procedure.key_char(8);
    procedure.key_char(8);  // only the prompt is left: nothing more goes
    EXPECT_EQ(f.rt.screen.text, "? ");
    EXPECT_EQ(f.rt.screen.input_line, "");
    EXPECT_EQ(f.rt.screen.cursor, 2);
}

// The headless back-end types a scripted line into a waiting input statement through the
// window procedure, and closes the window when the script runs out.
TEST(HeadlessInputWait, AScriptedLineFillsTheInputLine) {
    std::string transcript;
    HeadlessInput input;
    input.keys = *KeyScript::from_text("ab\\bc\\nrest", nullptr);
    HeadlessPlatform platform(
        HeadlessOptions{}, std::move(input),
        [&](std::string_view text) { transcript.append(text); }, "/nonexistent/settings.ini");
    Runtime rt(platform);
    WindowProcedure procedure(rt);
    create_picture(rt);
    platform.run(procedure, [&] {
        rt.host.running = true;
        write_text(rt, "? ");
        rt.screen.input_waiting = true;
        platform.want_keys(KeyDemand::Line);
        EXPECT_FALSE(rt.screen.input_waiting);
        EXPECT_EQ(rt.screen.input_line, "ac");
        rt.screen.input_line.clear();
        rt.screen.input_waiting = true;
        platform.want_keys(KeyDemand::Line);  // "rest" and no Enter: the window closes
        EXPECT_TRUE(rt.host.stop);
        EXPECT_FALSE(rt.screen.input_waiting);
        EXPECT_EQ(rt.screen.input_line, "rest");
    });
    EXPECT_EQ(transcript, "? abc\nrest");
}

}  // namespace
}  // namespace quillon::testing
