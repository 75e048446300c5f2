// The headless transcript: escape pairs shown as their characters, Shift-JIS as UTF-8, and
// message boxes on lines of their own.
#include "platform/headless/transcript.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct TranscriptTest : ::testing::Test {
    std::string out;
    Transcript transcript{[this](std::string_view text) { out.append(text); }, false};
    std::string finished() {
        transcript.flush(true);
        return out;
    }
};

TEST(ScreenTextToUtf8, EscapePairsStandForTheirCharacters) {
    EXPECT_EQ(screen_text_to_utf8("a\x01L\x01"
                                  "D\x01\x01\x01Zb"),
              std::string("a \"\x01\x00"
                          "b",
                          6));
    EXPECT_EQ(screen_text_to_utf8("\x01x"), "\x01x");  // no pair: drawn as itself
    EXPECT_EQ(screen_text_to_utf8("\x82\xA0\xB1"), "あｱ");
}

TEST_F(TranscriptTest, ACharacterSplitBetweenWritesIsJoined) {
    transcript.screen_output("x\x82");
    transcript.screen_output("\xA0\x01");
    transcript.screen_output("D\n");
    EXPECT_EQ(finished(), "xあ\"\n");
}

TEST_F(TranscriptTest, MessageBoxesStartOnAFreshLine) {
    transcript.message_box("first", "T");
    transcript.screen_output("? ");
    transcript.message_box("\x95s\x90\xB3\n\nWarning line:10", "Basic - Warning");
    transcript.screen_output("done\n");
    transcript.message_box("", "");
    EXPECT_EQ(finished(), "[T] first\n? \n[Basic - Warning] 不正\n\nWarning line:10\ndone\n[] \n");
}

TEST_F(TranscriptTest, AByteLeftWaitingIsWrittenBeforeABox) {
    transcript.screen_output("a\x82");
    transcript.message_box("m", "t");
    EXPECT_EQ(finished(), "a\xEF\xBF\xBD\n[t] m\n");
}

TEST_F(TranscriptTest, MutedOutputKeepsTheLineStateOnly) {
    transcript.screen_output("? ");
    transcript.set_muted(true);
    transcript.screen_output("42\n");
    transcript.message_box("shown", "box");
    transcript.set_muted(false);
    EXPECT_EQ(finished(), "? [box] shown\n");
}

TEST_F(TranscriptTest, OutputIsBufferedUntilFlushed) {
    transcript.screen_output("abc");
    EXPECT_EQ(out, "");
    transcript.flush();
    EXPECT_EQ(out, "abc");
}

}  // namespace
}  // namespace quillon
