// kavrun as a user runs it: where the program comes from, exit statuses, usage errors, the
// transcript of an error and the screenshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "host/program_image.h"
#include "scratch_folder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

using Result = testing::CommandResult;

struct KavrunTest : testing::ScratchFolderTest {
    KavrunTest() : ScratchFolderTest("quillon-kavrun") {}

    static std::string image(const std::string& program_text) {
        ProgramImage image;
        image.face = "\x82l\x82r \x96\xBE\x92\xA9";
        image.font_numbers = "-16 0 0 0 0 0 0 0 128 0 0 0 0";
        image.text = program_text;
        return *write_program_image(image);
    }
    // Runs `program` (kavrun or a packed copy) with `args`, settings kept in the test folder.
    Result run(const std::string& args, const std::string& program = KAVRUN_PATH) {
        return shell("'" + program + "' " + args);
    }
};

const std::string kChainReport = "[Basic - Error] Chain 命令語は使用できません\n\nError line:10\n";

TEST_F(KavrunTest, WithoutAnImageItSaysSoAndShowsTheUsage) {
    Result r = run("--headless");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no program image"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: kavrun"), std::string::npos);
    EXPECT_EQ(r.out, "");
}

TEST_F(KavrunTest, FilesWithoutAValidImageAreRefused) {
    std::string good = image("10 \x10\x78\n");
    write(folder / "truncated.exe", good.substr(5));
    write(folder / "foreign.txt", "just some text\n");
    write(folder / "short.bin", "\x01");
    fs::create_directories(folder / "dir");
    for (const char* name : {"truncated.exe", "foreign.txt", "short.bin", "missing.exe", "dir"}) {
        Result r = run(std::string("--headless ") + name);
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << name;
    }
    // A file that holds no image gets the usage too; one that cannot be read only its line.
    EXPECT_NE(run("--headless foreign.txt").err.find("usage: kavrun"), std::string::npos);
    EXPECT_EQ(run("--headless missing.exe").err.find("usage: kavrun"), std::string::npos);
}

TEST_F(KavrunTest, AnErrorIsReportedWithItsLineAndExitsWithOne) {
    write(folder / "chain.img", image("1 \n10 \x10\x71 \"x\"\n20 \x10\x78\n"));
    Result r = run("--headless chain.img");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, kChainReport);
}

TEST_F(KavrunTest, EndAndTheEndOfTheTextExitWithZero) {
    write(folder / "end.img", image("10 \x10\x78\n20 \x10\x71\n"));
    write(folder / "empty.img", image(""));
    EXPECT_EQ(run("--headless end.img").status, 0);
    Result r = run("--headless empty.img --dump-text");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(KavrunTest, SourceFilesAreTokenizedInMemory) {
    write(folder / "chain.BAS", "1 '\n10 CHAIN \"x\"\n20 END\n");
    Result r = run("--headless chain.BAS");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, kChainReport);
    write(folder / "bad.bas", "20 END\n10 END\n");
    r = run("--headless bad.bas");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("kavrun: bad.bas:2: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find("usage"), std::string::npos);
}

TEST_F(KavrunTest, AWindowThatCannotOpenIsNamedThenTheRunIsHeadless) {
    write(folder / "chain.bas", "CHAIN \"x\"\n");
    // A display is named, but nothing answers there.
    write(folder / "no-display",
          "#!/bin/sh\nunset WAYLAND_DISPLAY SDL_VIDEODRIVER\nDISPLAY=:31999 exec '" +
              std::string(KAVRUN_PATH) + "' \"$@\"\n");
    fs::permissions(folder / "no-display", fs::perms::owner_all);
    Result r = run("chain.bas", (folder / "no-display").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "[Basic - Error] Chain 命令語は使用できません\n\nError line:1\n");
    EXPECT_EQ(r.err.rfind("kavrun: cannot open a window (", 0), 0u) << r.err;
    EXPECT_TRUE(r.err.ends_with("); running headless\n")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(KavrunTest, AnImageAppendedToKavrunItselfRuns) {
    fs::copy_file(KAVRUN_PATH, folder / "packed");
    std::ofstream(folder / "packed", std::ios::binary | std::ios::app)
        << image("1 \n10 \x10\x71 \"x\"\n");
    Result r = run("--headless", (folder / "packed").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, kChainReport);
}

TEST_F(KavrunTest, UsageErrorsExitWithTwo) {
    write(folder / "end.img", image("10 \x10\x78\n"));
    write(folder / "bad.events", "1 move 1\n");
    const char* bad[] = {
        "--screen 0x10 end.img", "--window big end.img", "--keys a --keys-file k end.img",
        "--nonsense end.img",    "end.img other.img",    "--screen"};
    for (const char* args : bad) {
        Result r = run(std::string("--headless ") + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("usage: kavrun"), std::string::npos) << args;
    }
    Result huge = run("--headless --screen 16384x16384 end.img");  // well formed, too large
    EXPECT_EQ(huge.status, 2);
    EXPECT_EQ(huge.err.rfind("kavrun: --screen 16384x16384 is too large: at most 16384 pixels a "
                             "side and 33554432 pixels in all\n",
                             0),
              0u)
        << huge.err;
    // Scripts that cannot be read are named in one line.
    Result events = run("--headless --events bad.events end.img");
    EXPECT_EQ(events.status, 2);
    EXPECT_EQ(events.err,
              "kavrun: bad.events: line 1: unknown event or wrong number of arguments\n");
    Result keys = run("--headless --keys-file missing end.img");
    EXPECT_EQ(keys.status, 2);
    EXPECT_EQ(keys.err, "kavrun: cannot read missing: No such file or directory\n");
    // So is an --audio file that cannot be written, before the program runs; one that can is
    // made at once, an empty recording when nothing sounds.
    write(folder / "chain.bas", "CHAIN \"x\"\n");
    Result audio = run("--headless --audio missing/x.wav chain.bas");
    EXPECT_EQ(audio.status, 2);
    EXPECT_EQ(audio.err, "kavrun: cannot write missing/x.wav: No such file or directory\n");
    EXPECT_EQ(audio.out, "");
    write(folder / "quiet.wav", "an earlier recording");
    EXPECT_EQ(run("--headless --audio quiet.wav end.img").status, 0);
    std::string wav = read(folder / "quiet.wav");
    EXPECT_EQ(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4) + wav.substr(36, 4), "RIFFdata");
}

TEST_F(KavrunTest, TheScreenshotHasTheWindowSize) {
    write(folder / "end.img", image("10 \x10\x78\n"));
    Result r = run("--headless --window 320x200 --screenshot shot.png end.img");
    EXPECT_EQ(r.status, 0) << r.err;
    std::string png = read(folder / "shot.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    auto be32 = [&](std::size_t at) {
        return (static_cast<uint8_t>(png[at]) << 24) | (static_cast<uint8_t>(png[at + 1]) << 16) |
               (static_cast<uint8_t>(png[at + 2]) << 8) | static_cast<uint8_t>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), 320);
    EXPECT_EQ(be32(20), 200);
    EXPECT_EQ(run("--headless --screenshot /nonexistent/x.png end.img").status, 2);
}

}  // namespace
}  // namespace quillon
