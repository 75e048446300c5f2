// The kavpack lister: images spelt back as source, and the round trip pack -> list -> pack
// that must give the same image, for the examples and the golden test programs too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "kavpack/lister.h"
#include "kavpack/tokenizer.h"
#include "platform/text_codec.h"

namespace quillon::kavpack {
namespace {

using namespace std::string_literals;

std::string listing(std::string_view source) {
    auto image = tokenize_source(source).image;
    return image ? list_program(*image) : "error";
}

// Packs, lists and packs again; true when both images are the same.
::testing::AssertionResult round_trips(std::string_view source) {
    TokenizeResult first = tokenize_source(source);
    if (!first.image) return ::testing::AssertionFailure() << first.error.describe("source");
    std::string listed = list_program(*first.image);
    TokenizeResult second = tokenize_source(listed);
    if (!second.image) return ::testing::AssertionFailure() << second.error.describe("listing");
    const ProgramImage& a = *first.image;
    const ProgramImage& b = *second.image;
    if (a.text != b.text || a.face != b.face || a.font_numbers != b.font_numbers)
        return ::testing::AssertionFailure() << "the listing packs differently:\n" << listed;
    return ::testing::AssertionSuccess();
}

TEST(Lister, TokensSpeltAsWords) {
    EXPECT_EQ(listing("10 cls: ? \"a\";x mod 2\n20 if not a and b then goto 10 else end\n"
                      "30 line input \"n\";n$: defint i-n: defstr s\n40 def fna(x)=x or 1"),
              "10 CLS:PRINT \"a\";x MOD 2\n20 IF NOT a AND b then GOTO 10 else END\n"
              "30 LINE INPUT \"n\";n$:DEFINT i-n:DEFSTR s\n40 DEF fna(x)=x OR 1\n");
}

TEST(Lister, NumbersLeftOutWhenTheyCountFromOne) {
    // A line left empty (its comment dropped) keeps its number: a blank source line takes none.
    EXPECT_EQ(listing("CLS\n' note\nPRINT 1 ' one\nEND"), "CLS\n2\nPRINT 1\nEND\n");
    EXPECT_EQ(listing("CLS\n5 \nEND"), "1 CLS\n5\n6 END\n");
    EXPECT_EQ(listing("0 CLS\nEND"), "0 CLS\n1 END\n");
}

TEST(Lister, JapaneseTextBackInUtf8) {
    EXPECT_EQ(listing("PRINT \"日本語ｶﾅ\""), "PRINT \"日本語ｶﾅ\"\n");
}

TEST(Lister, FontOptionsOnlyWhenNotTheDefault) {
    ProgramImage image = *tokenize_source("END").image;
    EXPECT_EQ(list_program(image), "END\n");
    image.face = "\x82l\x82r \x83S\x83V\x83\x62\x83N";
    EXPECT_EQ(list_program(image), "' kavpack: --font-face \"ＭＳ ゴシック\"\nEND\n");
    image.font_numbers = "-24 0 0 0 0 0 0 0 128 0 0 0 0";
    EXPECT_EQ(list_program(image),
              "' kavpack: --font-face \"ＭＳ ゴシック\" --font \"-24 0 0 0 0 0 0 0 128 0 0 0 0\"\n"
              "END\n");
}

TEST(Lister, ForeignImagesAreListedAsFarAsTheyGo) {
    ProgramImage image = *tokenize_source("").image;
    image.text = "10 \x10\x10x\x01mb\x10\x99\n20 \x10\x62 big A\n30 \x10\x78\0 \x10\x78\n"s;
    EXPECT_EQ(list_program(image), "10 PRINT x MOD b[10 99]\n20 DEFTYPE big A\n30 END\n");
}

TEST(Lister, ArbitraryImagesListAsValidUtf8) {
    std::mt19937 random(5);
    for (int i = 0; i < 2000; ++i) {
        ProgramImage image{std::string(random() % 40, 'f'), "1 2 3", std::string()};
        image.text.resize(random() % 300);
        for (char& c : image.text)
            c = static_cast<char>(random() % 3 ? random() % 20 + '0' : random() % 256);
        for (char& c : image.face)
            c = static_cast<char>(random() % 256);
        EXPECT_TRUE(is_valid_utf8(list_program(image)));
    }
}

TEST(ListerRoundTrip, SyntaxOfEveryKind) {
    EXPECT_TRUE(round_trips(
        "' kavpack: --font-face \"ＭＳ ゴシック\" --font \"-24 0 0 0 700 0 0 0 128 0 0 0 0\"\n"
        "10 cls: print \"hello: world\" ' comment\n20 ? \"x\";a mod 3, not b and c or d xor e\n"
        "30 if a=1 then print 1 else goto 10\n40 line input \"name\";n$ : LINE INPUT#1,a$\n"
        "50 def fna(x)=x*2 : defint a-z : DEFSTR s : defsng t\n"
        "60 mouse(2) on : circle (50,50),20,2,,,, F : gprint 10,20,\"a,b\",1,2,3,4,\"\", bold\n"
        "70 put (1,1),0,xor : put (1,1),0, or\n80 data apple, and, or : rem nothing\n"
        "90 goto *or\n100 *or: print \"日本語\" : REM x\n110 on x gosub *a,*and\n"
        "120 if x then cls else if y then end\n130 printx=1\n140 PRINT#1,\"x\": close#1\n"
        "150\n160 IF x THEN a=1:ELSE b=2\n"));
    EXPECT_TRUE(round_trips("CLS\n\n' note\nPRINT 1\n"));
    EXPECT_TRUE(round_trips("0 CLS\n1 END\n"));
    EXPECT_TRUE(round_trips(""));
}

// Sources put together at random from the pieces that matter to the tokenizer.
std::string random_source(std::mt19937& random) {
    static const char* const kPieces[] = {
        "PRINT",      "print",  "?",      "IF",    "THEN",   "else",
        "GOTO",       "GOSUB",  "ON",     "LINE",  "INPUT",  "DEF",
        "FNa(x)",     "DEFINT", "defstr", "DATA",  "PUT",    "MOUSE",
        "CIRCLE",     "GPRINT", "REM",    "CLS",   "END",    "mod",
        "AND",        "or",     "XOR",    "not",   "and$",   "x",
        "a.or",       "*or",    "*",      ",",     ":",      "'",
        "\"",         "(",      ")",      "=",     "1",      "20",
        " ",          "  ",     "\t",     "#",     "日本",   "ｶ",
        "-",          "0 ",     ";",      "THEN ", " ELSE ", "' kavpack: --font-face x",
        "LINE INPUT "};
    std::string source;
    int lines = static_cast<int>(random() % 4);
    for (int line = 0; line < lines; ++line) {
        if (random() % 3 == 0) source += std::to_string(10 * (line + 1)) + " ";
        int pieces = static_cast<int>(random() % 12);
        for (int i = 0; i < pieces; ++i)
            source += kPieces[random() % std::size(kPieces)];
        source += "\n";
    }
    return source;
}

TEST(ListerRoundTrip, GeneratedSources) {
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        std::string source = random_source(random);
        if (!tokenize_source(source).image) continue;
        ASSERT_TRUE(round_trips(source)) << "source:\n" << source;
    }
}

// Every .bas file of a folder of the tree packs, lists and packs again to the same image.
void expect_folder_round_trips(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().extension() != ".bas") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream source;
        source << in.rdbuf();
        if (!tokenize_source(source.str()).image) continue;  // a refusal test of its own
        EXPECT_TRUE(round_trips(source.str())) << entry.path();
    }
}

TEST(ListerRoundTrip, ExampleAndTestPrograms) {
    expect_folder_round_trips(std::filesystem::path(QUILLON_TEST_DATA) / "programs");
    expect_folder_round_trips(std::filesystem::path(QUILLON_TEST_DATA) / ".." / "examples");
}

}  // namespace
}  // namespace quillon::kavpack
