// The built-in functions: results, argument counts and their errors, the width conversions,
// and the functions that read keys, the mouse, the picture and files.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "expr/builtins.h"
#include "expr/calls.h"
#include "host/error_report.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

// The value text of one call, e.g. call("mid$(\"abcdef\",2,3)").
std::string call(RuntimeFixture& f, std::string text) {
    expand_calls(f.rt, text);
    return text;
}

bool reported(const RuntimeFixture& f, int number, std::string_view text = {}) {
    return !f.platform.boxes.empty() &&
           f.platform.boxes[0].text.rfind(error_message(number, text), 0) == 0;
}

// Expands `text` on a fresh runtime: true when exactly the report of `number` was shown.
bool fails_with(std::string text, int number, std::string_view name = {}) {
    RuntimeFixture f;
    expand_calls(f.rt, text);
    return f.platform.boxes.size() == 1 &&
           f.platform.boxes[0].text == error_report_text(number, name, 0);
}

bool succeeds(std::string text) {
    RuntimeFixture f;
    expand_calls(f.rt, text);
    return f.platform.boxes.empty();
}

TEST(NumericBuiltins, RoundingAndTruncation) {
    RuntimeFixture f;
    EXPECT_EQ(call(f, "int(-2.5)"), "-3");
    EXPECT_EQ(call(f, "fix(-2.5)"), "-2");
    EXPECT_EQ(call(f, "cint(2.5)"), "3");
    EXPECT_EQ(call(f, "cint(-2.5)"), "-2");
    EXPECT_EQ(call(f, "int(3e9)"), "3e+09");  // beyond 32 bits: no wrapped "%d"
    EXPECT_EQ(call(f, "sgn(-0.1)"), "-1");
    EXPECT_EQ(call(f, "sgn(0)"), "0");
    EXPECT_EQ(call(f, "abs(-1.5)"), "1.5");
    EXPECT_EQ(call(f, "csng(0.5)"), "0.5000000");
    EXPECT_EQ(call(f, "sqr(16)"), "4");
    EXPECT_EQ(call(f, "exp(0)"), "1");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(NumericBuiltins, MisuseErrorsNameTheFunction) {
    RuntimeFixture a;
    EXPECT_EQ(call(a, "log(0)"), "0");
    EXPECT_TRUE(reported(a, kFunctionMisuse, "Log"));
    RuntimeFixture b;
    call(b, "sqr(-1)");
    EXPECT_TRUE(reported(b, kFunctionMisuse, "Sqr"));
    RuntimeFixture c;
    call(c, "asc(\"\")");
    EXPECT_TRUE(reported(c, kFunctionMisuse, "Asc"));
}

TEST(ArgumentCheck, CountsAndBrackets) {
    RuntimeFixture f;
    EXPECT_EQ(check_arguments(f.rt, "1,(2,3),\"a,b\"", 3, true), 3);
    EXPECT_EQ(check_arguments(f.rt, "", 0, true), 0);
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(check_arguments(f.rt, "1,2", 1, true), 2);
    EXPECT_TRUE(reported(f, kArgumentCount));
    RuntimeFixture g;
    EXPECT_EQ(check_arguments(g.rt, "1),(2", 2, true), -1);
    EXPECT_TRUE(reported(g, kSyntaxError));
}

TEST(ArgumentCheck, EveryFunctionRefusesWrongCounts) {
    EXPECT_TRUE(fails_with("abs(1,2)", kArgumentCount));
    EXPECT_TRUE(fails_with("abs()", kArgumentCount));
    EXPECT_TRUE(fails_with("mid$(\"a\")", kArgumentCount));
    EXPECT_TRUE(fails_with("instr(1,\"a\",\"b\",2)", kArgumentCount));
    EXPECT_TRUE(fails_with("RGB(1,2)", kArgumentCount));
    EXPECT_TRUE(fails_with("rnd(1,2)", kArgumentCount));
    EXPECT_TRUE(succeeds("rnd()"));
}

TEST(StringBuiltins, SlicesAndLengths) {
    RuntimeFixture f;
    EXPECT_EQ(call(f, "mid$(\"abcdef\",2,3)"), "\"bcd\"");
    EXPECT_EQ(call(f, "mid$(\"abcdef\",5)"), "\"ef\"");
    EXPECT_EQ(call(f, "mid$(\"abc\",9)"), "\"\"");
    EXPECT_EQ(call(f, "left$(\"abc\",5)"), "\"abc\"");
    EXPECT_EQ(call(f, "left$(\"abc\",-1)"), "\"\"");
    EXPECT_EQ(call(f, "right$(\"abc\",2)"), "\"bc\"");
    EXPECT_EQ(call(f, "len(chr$(34))"), "1");
    EXPECT_EQ(call(f, "asc(chr$(65))"), "65");
    EXPECT_EQ(call(f, "asc(chr$(34))"), "34");  // the real byte, not the escape
    EXPECT_EQ(call(f, "chr$(34)"),
              "\"\x01"
              "D\"");
    EXPECT_EQ(call(f, "chr$(322)"), "\"B\"");
    EXPECT_EQ(call(f, "string$(3,\"xyz\")"), "\"xxx\"");
    EXPECT_EQ(call(f, "space$(0)"), "\"\"");
    EXPECT_EQ(call(f, "spc(2)"), "\"  \"");
    EXPECT_EQ(call(f, "space$(-3)"), "\"\"");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(StringBuiltins, EscapedBytesCountOnce) {
    RuntimeFixture f;
    // A quote inside a string: positions and slices agree with len.
    EXPECT_EQ(call(f,
                   "left$(\"\x01"
                   "Dab\",1)"),
              "\"\x01"
              "D\"");
    EXPECT_EQ(call(f,
                   "instr(\"\x01"
                   "Dab\",\"b\")"),
              "3");
    EXPECT_EQ(call(f,
                   "mid$(\"a\x01"
                   "Db\",2,1)"),
              "\"\x01"
              "D\"");
    EXPECT_EQ(call(f,
                   "string$(2,\"\x01"
                   "D\")"),
              "\"\x01"
              "D\x01"
              "D\"");
}

TEST(StringBuiltins, SliceErrors) {
    EXPECT_TRUE(fails_with("mid$(\"abc\",0)", kOutOfRange));
    EXPECT_TRUE(fails_with("mid$(\"abc\",1,-1)", kSyntaxError));
    EXPECT_TRUE(fails_with("kmid$(\"abc\",1,-1)", kSyntaxError));
    EXPECT_TRUE(fails_with("instr(0,\"abc\",\"a\")", kOutOfRange));
    EXPECT_TRUE(fails_with("space$(100000)", kMemoryRange));
    EXPECT_TRUE(fails_with("string$(2,\"\")", kFunctionMisuse, "String$"));
}

TEST(StringBuiltins, Search) {
    RuntimeFixture f;
    EXPECT_EQ(call(f, "instr(\"abcabc\",\"c\")"), "3");
    EXPECT_EQ(call(f, "instr(4,\"abcabc\",\"c\")"), "6");
    EXPECT_EQ(call(f, "instr(\"abc\",\"x\")"), "0");
    EXPECT_EQ(call(f, "instr(\"abc\",\"\")"), "0");
    EXPECT_EQ(call(f, "instr(2,\"abc\",\"\")"), "2");
    EXPECT_EQ(call(f, "instr(9,\"abc\",\"a\")"), "0");
}

TEST(StringBuiltins, NumbersToText) {
    RuntimeFixture f;
    EXPECT_EQ(call(f, "hex$(255)"), "\"FF\"");
    EXPECT_EQ(call(f, "hex$(-1)"), "\"FFFFFFFF\"");
    EXPECT_EQ(call(f, "oct$(8)"), "\"10\"");
    EXPECT_EQ(call(f, "str$(5)"), "\" 5\"");
    EXPECT_EQ(call(f, "str$(-5)"), "\"-5\"");
    EXPECT_EQ(call(f, "str$(0.5)"), "\" .5\"");
    EXPECT_EQ(call(f, "str$(-0.5)"), "\"-.5\"");
}

TEST(StringBuiltins, Val) {
    RuntimeFixture f;
    EXPECT_EQ(call(f, "val(\"12abc\")"), "12");
    EXPECT_EQ(call(f, "val(\"&HFF\")"), "255");
    EXPECT_EQ(call(f, "val(\"&hff\")"), "255");
    EXPECT_EQ(call(f, "val(\"&O17\")"), "15");
    EXPECT_EQ(call(f, "val(\"-&H10\")"), "0");
    EXPECT_EQ(call(f, "val(\"&H-10\")"), "0");
    EXPECT_EQ(call(f, "val(\"&HFFFFFFFF\")"), "2.14748e+09");  // 2147483647 as "%g"
    EXPECT_EQ(call(f, "val(\"1 2\")"), "12");
    EXPECT_EQ(call(f, "val(\"-1.5e3\")"), "-1.5");
    EXPECT_EQ(call(f, "val(\"1234567\")"), "1.23457e+06");
    EXPECT_EQ(call(f, "val(\"abc\")"), "0");
    EXPECT_EQ(call(f, "val(\"--5\")"), "0");
}

TEST(DoubleByteBuiltins, CountCharacters) {
    RuntimeFixture f;
    // "あいa" : two double-byte characters and one ASCII letter.
    const std::string s =
        "\"\x82\xA0\x82\xA2"
        "a\"";
    EXPECT_EQ(call(f, "klen(" + s + ")"), "3");
    EXPECT_EQ(call(f, "len(" + s + ")"), "5");
    EXPECT_EQ(call(f, "kmid$(" + s + ",2,1)"), "\"\x82\xA2\"");
    EXPECT_EQ(call(f, "kmid$(" + s + ",2)"),
              "\"\x82\xA2"
              "a\"");
    EXPECT_EQ(call(f, "kinstr(" + s + ",\"a\")"), "3");
    EXPECT_EQ(call(f, "kinstr(3," + s + ",\"a\")"), "3");
    EXPECT_EQ(call(f, "instr(" + s + ",\"a\")"), "5");
}

TEST(DoubleByteBuiltins, KinstrMatchesOnlyWholeCharacters) {
    RuntimeFixture f;
    // 表 is 0x95 0x5C: its trail byte is a backslash, which is no character of its own.
    EXPECT_EQ(call(f, "kinstr(\"\x95\\\\\",\"\\\")"), "2");  // 表 and a backslash
    EXPECT_EQ(call(f, "instr(\"\x95\\\\\",\"\\\")"), "2");
    EXPECT_EQ(call(f, "kinstr(\"\x95\\\",\"\\\")"), "0");  // 表 alone
}

TEST(WidthConversion, AsciiAndKanaBothWays) {
    EXPECT_EQ(to_full_width("A1 "), "\x82`\x82P\x81@");  // Ａ１ and the full-width blank
    EXPECT_EQ(to_full_width("\xB6\xDE\xCA\xDF\xB3\xDE\xB1"),
              "\x83K\x83p\x83\x94\x83\x41");                // ｶﾞﾊﾟｳﾞｱ -> ガパヴア
    EXPECT_EQ(to_full_width("\xB1\xDE"), "\x83\x41\x81J");  // ｱﾞ has no voiced form
    EXPECT_EQ(to_full_width("\x82\xA0"), "\x82\xA0");       // double-byte kept
    EXPECT_EQ(to_half_width("\x83K\x83p\x83\x94\x82`\x81@"),
              "\xB6\xDE\xCA\xDF\xB3\xDE"
              "A ");
    EXPECT_EQ(to_half_width("\x82\xA0"), "\x82\xA0");  // hiragana has no half-width form
    for (int c = 0x20; c <= 0x7E; ++c) {
        std::string one(1, static_cast<char>(c));
        EXPECT_EQ(to_half_width(to_full_width(one)), one) << c;
    }
    for (int c = 0xA1; c <= 0xDF; ++c) {
        std::string one(1, static_cast<char>(c));
        EXPECT_EQ(to_half_width(to_full_width(one)), one) << c;
    }
}

TEST(WidthConversion, ThroughTheFunctions) {
    RuntimeFixture f;
    EXPECT_EQ(call(f, "akcnv$(\"ab\")"), "\"\x82\x81\x82\x82\"");
    EXPECT_EQ(call(f, "kacnv$(\"\x81h\")"),
              "\"\x01"
              "D\"");  // ” narrows to an escaped quote
}

TEST(DeviceBuiltins, MouseKeysAndColours) {
    RuntimeFixture f;
    f.rt.screen.mouse_x = 12;
    f.rt.screen.mouse_y = 34;
    f.rt.screen.mouse_event = 3;
    EXPECT_EQ(call(f, "mousestate(0)"), "12");
    EXPECT_EQ(call(f, "mousestate(1)"), "34");
    EXPECT_EQ(call(f, "mousestate(2)"), "3");
    EXPECT_EQ(call(f, "RGB(255,0,0)"), "-255");
    EXPECT_EQ(call(f, "rgb(1,2,3)"), "-197121");
    EXPECT_EQ(call(f, "rgb(256,0,0)"), "0");
    EXPECT_EQ(call(f, "KeyState(32)"), "0");
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_TRUE(fails_with("mousestate(3)", kOutOfRange));
}

TEST(DeviceBuiltins, PointReadsThePicture) {
    RuntimeFixture f;
    f.rt.graphics.picture.set_pixel(3, 4, 0x0000FF);
    f.rt.graphics.picture.set_pixel(5, 6, 0x030201);
    EXPECT_EQ(call(f, "point(3,4)"), "2");
    EXPECT_EQ(call(f, "point(5,6)"), "-197121");
    EXPECT_EQ(call(f, "point(0,0)"), "0");
    EXPECT_EQ(call(f, "point(-1,0)"), "-1");
    EXPECT_EQ(call(f, "point(5000,0)"), "-1");
}

TEST(DeviceBuiltins, InputWaitsForEachCharacter) {
    RuntimeFixture f;
    f.rt.screen.last_key = 'x';
    EXPECT_EQ(call(f, "input$(1)"), "\"x\"");
    EXPECT_EQ(f.platform.key_demands, std::vector<KeyDemand>{KeyDemand::Character});
    EXPECT_EQ(call(f, "input$(0)"), "\"\"");
}

TEST(DeviceBuiltins, InputGivesUpWhenTheProgramStops) {
    RuntimeFixture f;
    f.rt.screen.last_key = 'x';
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        f.rt.host.stop = true;  // the window was closed while input$ waits
    });
    std::string out;
    call_builtin(f.rt, "input$", "2", out);
    closer.join();
    EXPECT_EQ(out, "\"x\"");
}

TEST(DeviceBuiltins, FilesThatAreNotOpen) {
    EXPECT_TRUE(fails_with("eof(1)", kFileAccess));
    EXPECT_TRUE(fails_with("eof(0)", kFileAccess));
    EXPECT_TRUE(fails_with("lof(#1)", kFileAccess));
    EXPECT_TRUE(fails_with("lof(1)", kFileAccess));
}

TEST(DeviceBuiltins, RandomNumbers) {
    RuntimeFixture f;
    std::string first = call(f, "rnd(1)");
    EXPECT_GE(std::stod(first), 0.0);
    EXPECT_LE(std::stod(first), 0.98301);
    EXPECT_EQ(call(f, "rnd(0)"), first);  // rnd(0) gives the previous number
    EXPECT_EQ(first.find('.'), 1u);       // "%.7f"
    EXPECT_EQ(first.size(), 9u);
}

}  // namespace
}  // namespace quillon::testing
