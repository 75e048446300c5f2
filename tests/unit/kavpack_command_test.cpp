// kavpack's command line end to end: packing onto a copy of the runtime, images alone,
// listing, and the refusals with their messages and exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "host/program_image.h"
#include "kavpack/tokenizer.h"
#include "scratch_folder.h"

namespace quillon::kavpack {
namespace {

namespace fs = std::filesystem;

using Outcome = quillon::testing::CommandResult;
using quillon::testing::read_file;

class KavpackCommand : public quillon::testing::ScratchFolderTest {
  protected:
    KavpackCommand() : ScratchFolderTest("kavpack-test") {}

    // Runs kavpack with `args` (already quoted for the shell) from the test folder.
    Outcome kavpack(const std::string& args) { return shell("'" KAVPACK_PATH "' " + args); }

    // Files left in the folder other than the captured output.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            std::string name = entry.path().filename().string();
            if (name != "out.txt" && name != "err.txt") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(KavpackCommand, PacksOntoACopyOfTheRuntime) {
    write(folder / "game.bas", "10 PRINT \"日本\"\n20 END\n");
    Outcome o = kavpack("--runtime '" KAVRUN_PATH "' game.bas -o game");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    std::string runtime = read_file(KAVRUN_PATH);
    std::string packed = read_file(folder / "game");
    ASSERT_GT(packed.size(), runtime.size());
    EXPECT_EQ(packed.substr(0, runtime.size()), runtime);
    auto image = read_program_image(packed);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->text, "1 \n10 \x10\x10 \"\x93\xFA\x96\x7B\"\n20 \x10\x78\n\n");
    auto perms = fs::status(folder / "game").permissions();
    EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(files(), (std::vector<std::string>{"game", "game.bas"}));
}

TEST_F(KavpackCommand, DefaultRuntimeAndOutputName) {
    write(folder / "demo.bas", "END\n");
    Outcome o = kavpack("demo.bas");  // kavrun is built beside kavpack
    ASSERT_EQ(o.status, 0) << o.err;
    auto image = read_program_image(read_file(folder / "demo"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->text, "1 \n1 \x10\x78\n\n");
}

TEST_F(KavpackCommand, ImageOnlyWithFontOptions) {
    write(folder / "a.bas", "CLS\n");
    Outcome o = kavpack(
        "--image-only --font-face 'ＭＳ ゴシック' --font '-24  0 0 0 700 0 0 0 128 0 0 0 0' a.bas");
    ASSERT_EQ(o.status, 0) << o.err;
    ProgramImage expected{"\x82l\x82r \x83S\x83V\x83\x62\x83N", "-24 0 0 0 700 0 0 0 128 0 0 0 0",
                          "1 \n1 \x10\x72\n\n"};
    EXPECT_EQ(read_file(folder / "a.img"), *write_program_image(expected));
    EXPECT_EQ(fs::status(folder / "a.img").permissions() & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(KavpackCommand, ListsTheImageOfAnyFile) {
    write(folder / "a.bas",
          "' kavpack: --font \"-20 0 0 0 0 0 0 0 128 0 0 0 0\"\n"
          "10 if a and b then print \"はい\" else end\n");
    ASSERT_EQ(kavpack("--runtime '" KAVRUN_PATH "' a.bas -o a.exe").status, 0);
    Outcome o = kavpack("--list a.exe");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out,
              "' kavpack: --font \"-20 0 0 0 0 0 0 0 128 0 0 0 0\"\n"
              "10 IF a AND b then PRINT \"はい\" else END\n");
    // The listing packs into the same image.
    write(folder / "b.bas", o.out);
    ASSERT_EQ(kavpack("--image-only b.bas").status, 0);
    auto a = read_program_image(read_file(folder / "a.exe"));
    auto b = read_program_image(read_file(folder / "b.img"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->text, b->text);
    EXPECT_EQ(a->face, b->face);
    EXPECT_EQ(a->font_numbers, b->font_numbers);
}

TEST_F(KavpackCommand, ListingThatCannotPackBackIsWarned) {
    ProgramImage foreign{"\x82l\x82r \x96\xBE\x92\xA9", "-16 0 0 0 0 0 0 0 128 0 0 0 0",
                         "10 \x10\x10 1\n"};  // no "1 " line, no final empty line
    write(folder / "f.img", *write_program_image(foreign));
    Outcome o = kavpack("--list f.img");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "10 PRINT 1\n");
    EXPECT_EQ(o.err,
              "kavpack: warning: f.img: the listing does not pack back into the same image "
              "(program line 10)\n");
}

TEST_F(KavpackCommand, FileWithoutAnImage) {
    write(folder / "plain.txt", "10 PRINT 1\n");
    Outcome o = kavpack("--list plain.txt");
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err,
              "kavpack: plain.txt holds no program image: the program length does not fit the "
              "file\n");
}

TEST_F(KavpackCommand, SourceErrorsLeaveNoOutput) {
    write(folder / "bad.bas", "10 CLS\n5 END\n");
    write(folder / "bad.img", "old");
    Outcome o = kavpack("--image-only bad.bas -o bad.img");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "bad.bas:2: line number 5 does not follow line 10 (numbers must increase)\n");
    EXPECT_EQ(read_file(folder / "bad.img"), "old");
    EXPECT_EQ(files(), (std::vector<std::string>{"bad.bas", "bad.img"}));
}

TEST_F(KavpackCommand, MissingFilesAndRuntime) {
    write(folder / "a.bas", "END\n");
    Outcome o = kavpack("--runtime no-such-runtime a.bas -o a");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err,
              "kavpack: cannot read the runtime no-such-runtime: No such file or directory\n");
    o = kavpack("--image-only missing.bas");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "kavpack: cannot read missing.bas: No such file or directory\n");
    o = kavpack("--image-only a.bas -o no-such-folder/a.img");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.starts_with("kavpack: cannot write no-such-folder/a.img: ")) << o.err;
    EXPECT_EQ(files(), std::vector<std::string>{"a.bas"});
}

TEST_F(KavpackCommand, UsageErrors) {
    write(folder / "a.bas", "END\n");
    for (const char* args : {"", "--frobnicate a.bas", "a.bas b.bas", "--font", "a.bas -o",
                             "--font '1 2 3' a.bas", "--list", "--list --image-only a.bas",
                             "--font-face '😀' a.bas", "--image-only a.bas -o a.bas"}) {
        Outcome o = kavpack(args);
        EXPECT_EQ(o.status, 2) << args;
        EXPECT_NE(o.err.find("usage: kavpack"), std::string::npos) << args;
        EXPECT_TRUE(o.err.starts_with("kavpack: ")) << args;
    }
    Outcome o = kavpack("--font '1 2 3' a.bas");
    EXPECT_TRUE(o.err.starts_with("kavpack: --font: the font needs thirteen integers, not 3\n"));
    EXPECT_EQ(files(), std::vector<std::string>{"a.bas"});
    o = kavpack("--help");
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(o.out.starts_with("usage: kavpack")) << o.out;
}

}  // namespace
}  // namespace quillon::kavpack
