// A folder of its own for each test that runs the programs as a user does: files written and
// read in it, and commands run in it by the shell, with a settings folder of their own.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace quillon::testing {

struct CommandResult {
    int status = -1;  // the exit status; -1 when the command did not exit
    std::string out;
    std::string err;
};

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ScratchFolderTest : public ::testing::Test {
  protected:
    explicit ScratchFolderTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 (prefix_ + "-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Writes a file; a relative path is taken in the folder.
    void write(const std::filesystem::path& path, std::string_view bytes) const {
        std::ofstream(folder / path, std::ios::binary) << bytes;
    }
    std::string read(const std::filesystem::path& path) const { return read_file(folder / path); }

    // Runs `command` (quoted for the shell) in the folder, after the assignments in `env`,
    // with standard input empty and the settings in the folder's config/.
    CommandResult shell(const std::string& command, const std::string& env = "") const {
        const std::string line = "cd '" + folder.string() + "' && XDG_CONFIG_HOME='" +
                                 folder.string() + "/config' " + env + " " + command +
                                 " </dev/null >out.txt 2>err.txt";
        const int raw = std::system(line.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read("out.txt"), read("err.txt")};
    }

    std::filesystem::path folder;

  private:
    std::string prefix_;
};

}  // namespace quillon::testing
