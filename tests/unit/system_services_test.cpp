// The shared system services: file reads with their refusals, atomic writes, and the paths
// that give the program folder and the window title.
#include "platform/system_services.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace quillon {
namespace {

namespace fs = std::filesystem;

struct SystemServicesTest : ::testing::Test {
    fs::path folder;
    void SetUp() override {
        folder = fs::canonical(fs::temp_directory_path()) /
                 ("quillon-services-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string path(const char* name) { return (folder / name).string(); }
};

TEST_F(SystemServicesTest, WholeFilesAndTailsAreRead) {
    std::ofstream(path("f"), std::ios::binary) << "0123456789";
    EXPECT_EQ(read_whole_file(path("f")), "0123456789");
    EXPECT_EQ(read_file_tail(path("f"), 3), "789");
    EXPECT_EQ(read_file_tail(path("f"), 100), "0123456789");
    std::string why;
    EXPECT_FALSE(read_whole_file(path("f"), &why, 9));
    EXPECT_EQ(why, "the file is too large");
}

TEST_F(SystemServicesTest, FoldersDevicesAndMissingFilesAreRefused) {
    std::string why;
    EXPECT_FALSE(read_whole_file(folder.string(), &why));
    EXPECT_EQ(why, "not a regular file");
    EXPECT_FALSE(read_file_tail("/dev/zero", 10, &why));
    EXPECT_EQ(why, "not a regular file");
    EXPECT_FALSE(read_whole_file(path("missing"), &why));
    EXPECT_FALSE(why.empty());
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);  // no writer: opening must not wait
    EXPECT_FALSE(read_whole_file(path("pipe"), &why));
    EXPECT_EQ(why, "not a regular file");
}

TEST_F(SystemServicesTest, AtomicWritesMakeTheirFoldersAndLeaveNoTemporaries) {
    const std::string target = path("a/b/settings.ini");
    ASSERT_TRUE(write_file_atomically(target, "one"));
    ASSERT_TRUE(write_file_atomically(target, "two"));
    EXPECT_EQ(read_whole_file(target), "two");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "a" / "b"), fs::directory_iterator()),
              1);
    std::ofstream(path("blocker")) << "x";
    EXPECT_FALSE(write_file_atomically(path("blocker/inside"), "x"));
}

TEST_F(SystemServicesTest, TheProgramFolderIsTheFoldersOwnNotALinksTarget) {
    fs::create_directories(folder / "real");
    std::ofstream(path("real/prog.bas")) << "10 END\n";
    fs::create_symlink(folder / "real" / "prog.bas", folder / "link.bas");
    EXPECT_EQ(absolute_folder_of(path("link.bas")), folder.string());
    EXPECT_EQ(absolute_folder_of(path("real/../real/prog.bas")), (folder / "real").string());
    EXPECT_EQ(absolute_folder_of("/prog.bas"), "/");
    EXPECT_EQ(absolute_folder_of("prog.bas"), fs::current_path().string());
}

TEST(SystemServicesNames, TheTitleIsTheFileNameWithoutItsExtension) {
    EXPECT_EQ(file_stem("/a/b/game.bas"), "game");
    EXPECT_EQ(file_stem("dir.d/kavrun"), "kavrun");
    EXPECT_EQ(file_stem("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(file_stem(".hidden"), ".hidden");
}

}  // namespace
}  // namespace quillon
