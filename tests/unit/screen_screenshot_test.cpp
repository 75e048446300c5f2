// kavrun's screenshot of the screen statements with the real font: LOCATE's padding shows the
// picture where printed blanks show their background colour.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0x0000FF;  // as 0xRRGGBB

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    uint32_t at(int x, int y) const {
        std::size_t k = (static_cast<std::size_t>(y) * width + x) * 3;
        return (uint32_t{rgb[k]} << 16) | (uint32_t{rgb[k + 1]} << 8) | rgb[k + 2];
    }
};

// Runs a source program headless and reads the screenshot it leaves.
bool run_for_screenshot(const std::string& source, Screenshot& shot) {
    fs::path folder = fs::temp_directory_path() / ("quillon-shot-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "prog.bas") << source;
    std::string command = "cd '" + folder.string() + "' && XDG_CONFIG_HOME='" + folder.string() +
                          "' '" KAVRUN_PATH "' --headless --screenshot shot.png prog.bas " +
                          "</dev/null >/dev/null 2>&1";
    bool ran = std::system(command.c_str()) == 0;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::string path = (folder / "shot.png").string();
    if (ran && png_image_begin_read_from_file(&image, path.c_str())) {
        image.format = PNG_FORMAT_RGB;
        shot.width = static_cast<int>(image.width);
        shot.height = static_cast<int>(image.height);
        shot.rgb.resize(PNG_IMAGE_SIZE(image));
        ran = png_image_finish_read(&image, nullptr, shot.rgb.data(), 0, nullptr) != 0;
    } else {
        ran = false;
    }
    png_image_free(&image);
    fs::remove_all(folder);
    return ran;
}

TEST(ScreenScreenshot, LocatePaddingShowsThePictureNotTheBackground) {
    Screenshot shot;
    ASSERT_TRUE(run_for_screenshot("COLOR 7,1\nLOCATE 2,0\nPRINT \"A\"\nPRINT \"  A\"\n", shot));
    ASSERT_GE(shot.height, 32);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(shot.at(x, 8), kBlack) << "padding at x " << x;  // line 0: two blank pairs
        EXPECT_EQ(shot.at(x, 24), kBlue) << "blank at x " << x;    // line 1: two printed blanks
    }
}

}  // namespace
}  // namespace quillon
