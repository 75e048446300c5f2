// The kavpack tokenizer: program text layout, statement and operator tokens, the words kavpack
// adjusts for handlers, comments, source encodings, and the refusals with their lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "kavpack/tokenizer.h"

namespace quillon::kavpack {
namespace {

using namespace std::string_literals;

// Program text shown with tokens as [10 10] and operator tokens as {m}, as in the notes.
std::string show(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if ((byte == 0x10 || byte == 0x11) && i + 1 < text.size()) {
            auto code = static_cast<unsigned char>(text[++i]);
            out += {'[', '1', kHex[byte & 0xF], ' ', kHex[code >> 4], kHex[code & 0xF], ']'};
        } else if (byte == 0x01 && i + 1 < text.size()) {
            out += {'{', text[++i], '}'};
        } else {
            out += text[i];
        }
    }
    return out;
}

// The program lines of a source between the "1 " line and the final empty line.
std::string lines_of(std::string_view source) {
    TokenizeResult result = tokenize_source(source);
    if (!result.image) return "error " + result.error.describe("s");
    std::string text = result.image->text;
    if (text.starts_with("1 \n")) text.erase(0, 3);
    if (text.ends_with("\n\n")) text.pop_back();
    return show(text);
}

// The statements of a one-line source numbered 10.
std::string statements(std::string_view source) {
    std::string lines = lines_of("10 " + std::string(source));
    if (!lines.starts_with("10 ") || !lines.ends_with("\n")) return lines;
    return lines.substr(3, lines.size() - 4);
}

std::string error_of(std::string_view source) {
    TokenizeResult result = tokenize_source(source);
    return result.image ? "no error" : result.error.describe("prog.bas");
}

TEST(TokenizerLayout, ImageTextHasFirstLineAndFinalEmptyLine) {
    EXPECT_EQ(tokenize_source("").image->text, "1 \n\n");
    EXPECT_EQ(tokenize_source("10 END").image->text, "1 \n10 \x10\x78\n\n");
    EXPECT_EQ(tokenize_source("0 CLS\n5 END\n").image->text, "0 \x10\x72\n5 \x10\x78\n\n");
}

TEST(TokenizerLayout, UnnumberedLinesFollowThePreviousNumber) {
    EXPECT_EQ(lines_of("CLS\n' note\n20 END\nBEEP"), "1 [10 72]\n2 \n20 [10 78]\n21 [10 70]\n");
    // Blank lines take no number, so one may stand before the line numbered one higher.
    EXPECT_EQ(lines_of("10 CLS\n\n \t\n11 END\n\nBEEP"), "10 [10 72]\n11 [10 78]\n12 [10 70]\n");
}

TEST(TokenizerLayout, LineNumbersAreKeptAsWritten) {
    EXPECT_EQ(lines_of("  007 END\n8CLS"), "007 [10 78]\n8 [10 72]\n");
}

TEST(TokenizerLayout, SourceLineEndsOfEveryKind) {
    EXPECT_EQ(lines_of("CLS\r\nBEEP\rEND"), "1 [10 72]\n2 [10 70]\n3 [10 78]\n");
}

TEST(TokenizerLayout, DefaultFont) {
    auto image = tokenize_source("END").image;
    EXPECT_EQ(image->face, "\x82l\x82r \x96\xBE\x92\xA9");
    EXPECT_EQ(image->font_numbers, "-16 0 0 0 0 0 0 0 128 0 0 0 0");
}

TEST(TokenizerKeywords, AnyCaseOneBlankBeforeArguments) {
    EXPECT_EQ(statements("print   1"), "[10 10] 1");
    EXPECT_EQ(statements("Locate 0,11"), "[10 7A] 0,11");
    EXPECT_EQ(statements("CLS"), "[10 72]");
    EXPECT_EQ(statements("CLS   :  END  "), "[10 72]:[10 78]");
    EXPECT_EQ(statements("?\"a\""), "[10 10] \"a\"");
    EXPECT_EQ(statements("PSET(3,4)"), "[10 45] (3,4)");
}

TEST(TokenizerKeywords, BareKeywordsKeepTheirBytesAndBlanks) {
    EXPECT_EQ(statements("CLS:IF"), "[10 72]:[10 20]");  // IF's code byte is a blank
    EXPECT_EQ(statements("IF x THEN CLS ELSE END"), "[10 20] x THEN [10 72] ELSE [10 78]");
    EXPECT_EQ(statements("IF x THEN DEFSTR ELSE END"), "[10 20] x THEN [10 62] str ELSE [10 78]");
    EXPECT_EQ(statements("IF x THEN?ELSE"), "[10 20] x THEN?ELSE");  // no blank: no statement
}

TEST(TokenizerKeywords, OnlyWholeWords) {
    EXPECT_EQ(statements("printx=1"), "printx=1");
    EXPECT_EQ(statements("endif$=\"\""), "endif$=\"\"");
    EXPECT_EQ(statements("PRINT#1,a:CLOSE#1"), "[10 10] #1,a:[10 13] #1");
}

TEST(TokenizerKeywords, OnlyWhereAStatementStarts) {
    EXPECT_EQ(statements("OPEN \"f\" FOR INPUT AS #1"), "[10 12] \"f\" FOR INPUT AS #1");
    EXPECT_EQ(statements("ON ERROR GOTO 100"), "[10 24] ERROR GOTO 100");
    EXPECT_EQ(statements("a=1: print a"), "a=1:[10 10] a");
    EXPECT_EQ(statements("PRINT \"x: cls\""), "[10 10] \"x: cls\"");
}

TEST(TokenizerKeywords, AfterThenAndElse) {
    EXPECT_EQ(statements("IF a=1 THEN print 1 ELSE goto 20"),
              "[10 20] a=1 THEN [10 10] 1 ELSE [10 21] 20");
    EXPECT_EQ(statements("if x then cls else end"), "[10 20] x then [10 72] else [10 78]");
    EXPECT_EQ(statements("IF x THEN 100 ELSE *back"), "[10 20] x THEN 100 ELSE *back");
    EXPECT_EQ(statements("IF x THEN a=1:ELSE print 2"), "[10 20] x THEN a=1:ELSE [10 10] 2");
    EXPECT_EQ(statements("PRINT \"then cls\""), "[10 10] \"then cls\"");
}

TEST(TokenizerKeywords, LineInputDefFnAndTypeDeclarations) {
    EXPECT_EQ(statements("line  input  \"Name\";n$"), "[11 12] INPUT \"Name\";n$");
    EXPECT_EQ(statements("LINE INPUT#1,a$"), "[11 12] INPUT #1,a$");
    EXPECT_EQ(statements("LINE (0,0)-(9,9)"), "[11 12] (0,0)-(9,9)");
    EXPECT_EQ(statements("def  FNarea(r)=r*r"), "[10 77] FNarea(r)=r*r");
    EXPECT_EQ(statements("DEF x"), "DEF x");
    EXPECT_EQ(statements("DEFINT i-n"), "[10 62] int i-n");
    EXPECT_EQ(statements("defsng A,B"), "[10 62] sng A,B");
    EXPECT_EQ(statements("DEFSTR s"), "[10 62] str s");
}

TEST(TokenizerOperators, WordsBecomeOperatorTokens) {
    EXPECT_EQ(statements("x=a MOD 3 + NOT b and c Or d xor e"),
              "x=a {m} 3 + {!} b {&} c {|} d {e} e");
    EXPECT_EQ(statements("IF NOT(x) THEN END"), "[10 20] {!}(x) THEN [10 78]");
}

TEST(TokenizerOperators, NotInsideStringsNamesOrLabels) {
    EXPECT_EQ(statements("PRINT \"cats and dogs\""), "[10 10] \"cats and dogs\"");
    EXPECT_EQ(statements("order=android+or$+a.or"), "order=android+or$+a.or");
    EXPECT_EQ(statements("GOTO *or"), "[10 21] *or");
    EXPECT_EQ(statements("*and: ON x GOSUB *a,*not"), "*and:[10 24] x GOSUB *a,*not");
    EXPECT_EQ(statements("RESTORE *mod"), "[10 65] *mod");
}

TEST(TokenizerOperators, DataItemsStayAsWritten) {
    EXPECT_EQ(statements("DATA black, and, or, then:print 1"),
              "[10 63] black, and, or, then:[10 10] 1");
}

TEST(TokenizerOperators, PutKeepsItsModeWord) {
    EXPECT_EQ(statements("PUT (1,1),n,xor"), "[11 11] (1,1),n,xor");
    EXPECT_EQ(statements("PUT (1,1),n , OR :x=1"), "[11 11] (1,1),n , OR :x=1");
    EXPECT_EQ(statements("IF c THEN PUT (1,1),n,XOR ELSE END"),
              "[10 20] c THEN [11 11] (1,1),n,XOR ELSE [10 78]");
    EXPECT_EQ(statements("PUT (1,1),n AND 3,PSET"), "[11 11] (1,1),n {&} 3,PSET");
}

TEST(TokenizerAdjustedWords, BlanksDroppedInFrontOfComparedWords) {
    EXPECT_EQ(statements("MOUSE(2) ON"), "[10 14] (2)ON");
    EXPECT_EQ(statements("mouse (f(1)+1)  stop"), "[10 14] (f(1)+1)stop");
    EXPECT_EQ(statements("CIRCLE (50,50),20,2,,,, F"), "[10 41] (50,50),20,2,,,,F");
    EXPECT_EQ(statements("CIRCLE (50,50),20,c(1,2),,,,  f,3"), "[10 41] (50,50),20,c(1,2),,,,f,3");
    EXPECT_EQ(statements("GPRINT 10,20,\"a,b\",1,2,3,4,\"\", Bold"),
              "[10 47] 10,20,\"a,b\",1,2,3,4,\"\",Bold");
    EXPECT_EQ(statements("PRINT 1,2,3,4,5,6,7,8, 9"), "[10 10] 1,2,3,4,5,6,7,8, 9");
}

TEST(TokenizerComments, DroppedAndTheLineKeepsItsNumber) {
    EXPECT_EQ(lines_of("REM title\nPRINT 1 ' one\nREMARK=2\n' note\nx=1: rem more"),
              "1 \n2 [10 10] 1\n3 REMARK=2\n4 \n5 x=1\n");
    EXPECT_EQ(statements("PRINT \"it's\" ' quote"), "[10 10] \"it's\"");
    EXPECT_EQ(statements("IF x THEN REM nothing"), "[10 20] x THEN");
}

TEST(TokenizerEncoding, Utf8BecomesShiftJis) {
    EXPECT_EQ(lines_of("\xEF\xBB\xBFPRINT \"日本\""),  // with a byte-order mark
              "1 [10 10] \"\x93\xFA\x96\x7B\"\n");
    EXPECT_EQ(lines_of("PRINT \"ｱ\""), "1 [10 10] \"\xB1\"\n");
}

TEST(TokenizerEncoding, ControlCharactersKeptInStrings) {
    // Classic programs ring the bell with a BEL inside a literal; the image holds it as it is.
    EXPECT_EQ(lines_of("PRINT \"\a\x1B[0m\x7F\": BEEP"), "1 [10 10] \"\a\x1B[0m\x7F\":[10 70]\n");
    EXPECT_EQ(lines_of("PRINT \"\x93\xFA\a\""), "1 [10 10] \"\x93\xFA\a\"\n");
}

TEST(TokenizerEncoding, ShiftJisAcceptedWhenNotUtf8) {
    EXPECT_EQ(lines_of("PRINT \"\x93\xFA\x96\x7B\": PRINT \"\x83\x5C\""),
              "1 [10 10] \"\x93\xFA\x96\x7B\":[10 10] \"\x83\x5C\"\n");
}

TEST(TokenizerRefusals, CharactersWithLineAndColumn) {
    EXPECT_EQ(error_of("CLS\nPRINT \"a\0b\""s), "prog.bas:2: NUL character at column 9");
    EXPECT_EQ(error_of("CLS\nCLS\nPRINT \"日😀\""),
              "prog.bas:3: character U+1F600 at column 9 has no Shift-JIS form");
    EXPECT_EQ(error_of("PRINT 1\x1B"),
              "prog.bas:1: control character U+001B outside a string at column 8");
    EXPECT_EQ(error_of("PRINT \"\x93\xFA\"\x07"),  // Shift-JIS source
              "prog.bas:1: control character U+0007 outside a string at column 10");
    EXPECT_EQ(error_of("PRINT \"\x93\xFA\x93\""),
              "prog.bas:1: byte 0x93 at column 9 is not a Shift-JIS character");
    EXPECT_EQ(error_of("PRINT \"\x93\xFA\xFD\""),
              "prog.bas:1: byte 0xFD at column 9 is not a Shift-JIS character");
}

TEST(TokenizerRefusals, LineNumbers) {
    EXPECT_EQ(error_of("10 CLS\n20 CLS\n20 END"),
              "prog.bas:3: line number 20 does not follow line 20 (numbers must increase)");
    EXPECT_EQ(error_of("10 CLS\nEND\n11 BEEP"),
              "prog.bas:3: line number 11 does not follow line 11 (numbers must increase)");
    EXPECT_EQ(error_of("CLS\n" + std::string(20, '1') + " END"),
              "prog.bas:2: line number 11111111111111111111 is longer than 19 characters");
    EXPECT_EQ(error_of("2147483648 END"), "prog.bas:1: line number 2147483648 is above 2147483647");
    EXPECT_EQ(error_of("2147483647 END\nCLS"),
              "prog.bas:2: line number 2147483648 is above 2147483647");
    EXPECT_EQ(error_of(std::string(19, '0') + " END"), "no error");
}

TEST(TokenizerRefusals, StatementLongerThanTheRunLoopHolds) {
    std::string fits = "PRINT \"" + std::string(8191 - 5, 'a') + "\"";  // token, blank, quotes
    EXPECT_EQ(error_of(fits + ":PRINT 1"), "no error");
    EXPECT_EQ(error_of("CLS\n" + fits + "a"),
              "prog.bas:2: a statement is 8192 bytes long; at most 8191 fit");
    // An IF statement runs to the end of its line, whatever ':' it holds.
    std::string half = "x=\"" + std::string(4090, 'a') + "\"";
    EXPECT_EQ(error_of("IF 1 THEN " + half + ":" + half),
              "prog.bas:1: a statement is 8199 bytes long; at most 8191 fit");
}

// Assignments joined by ':' that make exactly `length` bytes.
std::string assignments(std::size_t length) {
    std::string body;
    while (body.size() < length) {
        if (!body.empty()) body += ':';
        std::size_t room = std::min<std::size_t>(length - body.size(), 8000);
        body += "a=\"" + std::string(room - 4, 'a') + "\"";
    }
    return body;
}

TEST(TokenizerRefusals, ProgramLongerThanAnImageHolds) {
    // "1 \n", "10 ", the statements, "\n" and the final "\n": 65535 bytes in all.
    const std::size_t fits = 65535 - 3 - 3 - 1 - 1;
    auto image = tokenize_source("10 " + assignments(fits)).image;
    ASSERT_TRUE(image);
    EXPECT_EQ(image->text.size(), 65535u);
    EXPECT_EQ(error_of("10 " + assignments(fits + 1)),
              "prog.bas:1: the program text grows past 65535 bytes, the most an image holds");
}

TEST(TokenizerRefusals, ArbitraryBytesGiveAnImageOrALineInRange) {
    std::mt19937 random(11);
    for (int i = 0; i < 2000; ++i) {
        std::string source(random() % 200, '\0');
        for (char& c : source)
            c = static_cast<char>(random() % 4 ? random() % 96 + 32 : random() % 256);
        TokenizeResult result = tokenize_source(source);
        if (result.image) continue;
        int lines = 1 + static_cast<int>(std::count(source.begin(), source.end(), '\n') +
                                         std::count(source.begin(), source.end(), '\r'));
        EXPECT_GE(result.error.line, 1);
        EXPECT_LE(result.error.line, lines);
        EXPECT_FALSE(result.error.message.empty());
    }
}

TEST(TokenizerOptions, OptionLineSetsTheFont) {
    auto image =
        tokenize_source(
            "' kavpack: --font-face \"ＭＳ ゴシック\" --font \"-24 0 0 0 700 0 0 0 128 0 0 0 "
            "0\"\nPRINT 1")
            .image;
    ASSERT_TRUE(image);
    EXPECT_EQ(image->face, "\x82l\x82r \x83S\x83V\x83\x62\x83N");
    EXPECT_EQ(image->font_numbers, "-24 0 0 0 700 0 0 0 128 0 0 0 0");
    EXPECT_EQ(image->text, "1 \n1 \x10\x10 1\n\n");  // the option line is no program line
}

TEST(TokenizerOptions, FontNumbersClampedToWhatTheRasterizerUses) {
    auto image =
        tokenize_source("' kavpack: --font \"-16 -2147483648 3700 0 5000 0 0 0 128 0 0 0 0\"\nEND")
            .image;
    ASSERT_TRUE(image);
    EXPECT_EQ(image->font_numbers, "-16 -32767 100 0 1000 0 0 0 128 0 0 0 0");
}

TEST(TokenizerOptions, CommandLineChoiceWins) {
    FontChoice choice;
    choice.numbers = "-12 0 0 0 0 0 0 0 128 0 0 0 0";
    auto image =
        tokenize_source("'kavpack: --font \"-24 0 0 0 0 0 0 0 1 0 0 0 0\"\nEND", choice).image;
    ASSERT_TRUE(image);
    EXPECT_EQ(image->font_numbers, "-12 0 0 0 0 0 0 0 128 0 0 0 0");
}

TEST(TokenizerOptions, RefusedOptionLines) {
    EXPECT_EQ(error_of("CLS\n' kavpack: --font-face x"),
              "prog.bas:2: kavpack options must come before the first program line");
    EXPECT_EQ(error_of("' kavpack: --font \"1 2 3\""),
              "prog.bas:1: the font needs thirteen integers, not 3");
    EXPECT_EQ(error_of("' kavpack: --font \"-16 0 0 0 0 0 0 0 256 0 0 0 0\""),
              "prog.bas:1: font number \"256\" is not an integer from 0 to 255");
    EXPECT_EQ(error_of("' kavpack: --size 3"),
              "prog.bas:1: kavpack options: unknown option \"--size\"");
    EXPECT_EQ(error_of("' kavpack: --font-face \"x"),
              "prog.bas:1: kavpack options: a quoted value is not closed");
}

}  // namespace
}  // namespace quillon::kavpack
