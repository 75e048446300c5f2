// The headless back-end's scripts: keys from text, files and streams, and the events file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/event_script.h"
#include "platform/headless/key_script.h"

namespace quillon {
namespace {

std::string drain(KeyScript& script, bool wait = true) {
    std::string keys;
    while (auto key = script.next(wait))
        keys += static_cast<char>(*key);
    return keys;
}

// A stream handing out its chunks one read at a time; "" stands for nothing ready yet.
KeyScript stream_of(std::vector<std::string> chunks) {
    auto index = std::make_shared<std::size_t>(0);
    return KeyScript::from_stream([chunks, index](char* buffer, std::size_t size, bool) -> long {
        if (*index >= chunks.size()) return 0;
        const std::string& chunk = chunks[(*index)++];
        if (chunk.empty()) return -1;
        std::size_t n = std::min(size, chunk.size());
        chunk.copy(buffer, n);
        return static_cast<long>(n);
    });
}

TEST(KeyScriptText, EscapesBecomeEnterBackspaceAndBackslash) {
    auto script = KeyScript::from_text("ab\\bc\\n\\\\n\\x", nullptr);
    ASSERT_TRUE(script);
    EXPECT_EQ(drain(*script), "ab\bc\r\\n\\x");
}

TEST(KeyScriptText, JapaneseComesAsLeadThenTrailByte) {
    auto script = KeyScript::from_text("あｱ\\n", nullptr);
    ASSERT_TRUE(script);
    EXPECT_EQ(drain(*script), "\x82\xA0\xB1\r");
}

TEST(KeyScriptText, ACharacterWithoutShiftJisFormIsRefused) {
    std::string why;
    EXPECT_FALSE(KeyScript::from_text("ok\xF0\x9F\x98\x80", &why));
    EXPECT_NE(why.find("byte 2"), std::string::npos);
}

TEST(KeyScriptText, ShiftJisTrailBytesAreNotEscapes) {
    // 0x95 0x5C is one character whose trail byte is a backslash: "\n" after it stays.
    auto script = KeyScript::from_text("\x95\x5Cn", nullptr);
    ASSERT_TRUE(script);
    EXPECT_EQ(drain(*script), "\x95\x5Cn");
}

TEST(KeyScriptFile, LineEndsBecomeOneEnterEach) {
    auto script = KeyScript::from_file("1\n2\r\n3\r\r4", nullptr);
    ASSERT_TRUE(script);
    EXPECT_EQ(drain(*script), "1\r2\r3\r\r4");
}

TEST(KeyScriptStream, CharactersSplitBetweenReadsAreJoined) {
    auto script = stream_of({"a\xE3\x81", "\x82\r", "\nb"});
    EXPECT_EQ(drain(script), "a\x82\xA0\rb");
}

TEST(KeyScriptStream, ShiftJisInputIsTakenAsItStands) {
    auto script = stream_of({"\x82", "\xA0x"});
    EXPECT_EQ(drain(script), "\x82\xA0x");
}

TEST(KeyScriptStream, APollWithNothingReadyGivesNoKeyAndKeepsTheStream) {
    auto script = stream_of({"", "k"});
    EXPECT_FALSE(script.next(false));
    EXPECT_EQ(script.next(false), 'k');
    EXPECT_FALSE(script.next(true));  // the end of the stream
}

TEST(KeyScriptStream, AnIncompleteCharacterAtTheEndIsStillDelivered) {
    auto script = stream_of({"x\xE3"});
    EXPECT_EQ(drain(script), "x\xE3");
}

TEST(EventScript, ParsesEveryEventInCountOrder) {
    std::string why;
    auto events = parse_event_script(
        "# a comment\n"
        "5 move 10 -20\n"
        "\n"
        "3 click right 1 2\n"
        "5 keydown Space\n"
        "7 keyup 0x25\n"
        "9 release left 3 4\n"
        "9 close\n",
        &why);
    ASSERT_TRUE(events) << why;
    ASSERT_EQ(events->size(), 7u);
    using Kind = ScriptedEvent::Kind;
    EXPECT_EQ((*events)[0].before, 3u);
    EXPECT_EQ((*events)[0].mouse_event, 3);
    EXPECT_EQ((*events)[1].mouse_event, 5);
    EXPECT_EQ((*events)[2].mouse_event, 1);
    EXPECT_EQ((*events)[2].y, -20);
    EXPECT_EQ((*events)[3].kind, Kind::KeyDown);
    EXPECT_EQ((*events)[3].key, 0x20);
    EXPECT_EQ((*events)[4].key, 0x25);
    EXPECT_EQ((*events)[5].mouse_event, 4);
    EXPECT_EQ((*events)[6].kind, Kind::Close);
}

TEST(EventScript, ABadLineIsNamed) {
    const char* bad[] = {"1 move 10\n",       "x move 1 2\n",   "1 press middle 1 2\n",
                         "1 keydown nokey\n", "1 fly\n",        "1 move 1 99999999999\n",
                         "-1 close\n",        "1 keydown 256\n"};
    for (const char* text : bad) {
        std::string why;
        std::string script = std::string("# ok\n") + text;
        EXPECT_FALSE(parse_event_script(script, &why)) << text;
        EXPECT_EQ(why.rfind("line 2: ", 0), 0u) << why;
    }
}

TEST(EventScript, KeyNames) {
    EXPECT_EQ(virtual_key_from_name("a"), 'A');
    EXPECT_EQ(virtual_key_from_name("7"), '7');
    EXPECT_EQ(virtual_key_from_name("F12"), 0x7B);
    EXPECT_EQ(virtual_key_from_name("down"), 0x28);
    EXPECT_EQ(virtual_key_from_name("13"), 13);
    EXPECT_EQ(virtual_key_from_name("0"), '0');
    EXPECT_EQ(virtual_key_from_name("f13"), -1);
}

}  // namespace
}  // namespace quillon
