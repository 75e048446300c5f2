// The settings file: where it lives, its format, and the serial-port setting's start-up rules
// applied through it.
#include "platform/settings_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/runtime.h"
#include "host/startup.h"
#include "platform/headless/headless_platform.h"

namespace quillon {
namespace {

constexpr char kKey[] = "Software\\Wrenfield\\Quillon";

// A temporary XDG_CONFIG_HOME for one test.
struct SettingsFileTest : ::testing::Test {
    std::filesystem::path folder;
    std::string saved;
    bool had_saved = false;

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("quillon-settings-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) saved = old, had_saved = true;
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    void TearDown() override {
        if (had_saved)
            ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(folder);
    }
    std::string file_text() {
        std::ifstream in(folder / "quillon" / "settings.ini");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // One start-up of the runtime's settings on a headless platform.
    std::string start_up() {
        HeadlessPlatform platform(HeadlessOptions{}, HeadlessInput{}, [](std::string_view) {});
        Runtime rt(platform);
        initialise_settings(rt);
        return rt.host.serial_setting;
    }
};

TEST_F(SettingsFileTest, TheFileLivesUnderXdgConfigHome) {
    EXPECT_EQ(SettingsFile::default_path(), (folder / "quillon" / "settings.ini").string());
}

TEST_F(SettingsFileTest, FirstStartWritesTheDefaultAndLaterStartsReadIt) {
    EXPECT_EQ(start_up(), "1 9600 8 0 0 1 0");
    EXPECT_EQ(file_text(),
              "# Quillon settings\n[Software\\Wrenfield\\Quillon]\nRS232C=1 9600 8 0 0 1 0\n");
    SettingsFile(SettingsFile::default_path()).write(kKey, "RS232C", "2 4800 7 1 0 2 1");
    HeadlessPlatform platform(HeadlessOptions{}, HeadlessInput{}, [](std::string_view) {});
    Runtime rt(platform);
    initialise_settings(rt);
    EXPECT_EQ(rt.devices.serial.values[1], 4800);
    EXPECT_EQ(rt.devices.serial.values[6], 1);
}

TEST_F(SettingsFileTest, AKeyWithoutTheValueGetsTheDefaultWritten) {
    SettingsFile file(SettingsFile::default_path());
    ASSERT_TRUE(file.create_key(kKey));
    EXPECT_FALSE(file.read(kKey, "RS232C"));
    EXPECT_EQ(start_up(), "1 9600 8 0 0 1 0");
    EXPECT_EQ(file.read(kKey, "RS232C"), "1 9600 8 0 0 1 0");
}

TEST_F(SettingsFileTest, NamesMatchWithoutLetterCaseAndOddBytesSurvive) {
    SettingsFile file(SettingsFile::default_path());
    const std::string odd = "a=b%c\nd[e]#\x82\xA0";
    ASSERT_TRUE(file.write("Key", "name=x", odd));
    EXPECT_TRUE(file.key_exists("KEY"));
    EXPECT_EQ(file.read("kEy", "NAME=X"), odd);
    ASSERT_TRUE(file.write("key", "Name=X", "second"));
    auto sections = parse_settings(file_text());
    ASSERT_EQ(sections.size(), 1u);
    ASSERT_EQ(sections[0].values.size(), 1u);
    EXPECT_EQ(sections[0].values[0].second, "second");
}

TEST_F(SettingsFileTest, AStoreThatCannotBeWrittenRefusesQuietly) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "quillon") << "a file where the folder should be";
    SettingsFile file(SettingsFile::default_path());
    EXPECT_FALSE(file.create_key(kKey));
    EXPECT_FALSE(file.write(kKey, "RS232C", "x"));
    EXPECT_EQ(start_up(), "1 9600 8 0 0 1 0");  // the defaults serve
}

TEST(SettingsFormat, LinesThatAreNotOursAreSkipped) {
    auto sections = parse_settings(
        "junk\n[A]\r\nx=1\nnot a value\n# c\n[a]\ny=%4\n\tCOM1 = /dev/ttyUSB0 \n[B]\n");
    ASSERT_EQ(sections.size(), 2u);
    ASSERT_EQ(sections[0].values.size(), 3u);
    EXPECT_EQ(sections[0].values[1].second, "%4");
    EXPECT_EQ(sections[0].values[2].first, "COM1");  // blanks around either side are layout
    EXPECT_EQ(sections[0].values[2].second, "/dev/ttyUSB0");
    EXPECT_TRUE(sections[1].values.empty());
    const std::vector<SettingsSection> blanks{{"K", {{" n ", "  two blanks each side  "}}}};
    sections = parse_settings(format_settings(blanks));
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(sections[0].values, blanks[0].values);  // a value's own blanks survive
}

}  // namespace
}  // namespace quillon
