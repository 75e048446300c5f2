// The graphics statements on the fake platform: the image table's memory limit and its release
// at program end and at CLEAR, pictures handed over by the platform, and GPRINT's pen following
// the program font's escapement.
#include <gtest/gtest.h>

#include <string>

#include "host/error_report.h"
#include "host/limits.h"
#include "kavpack/tokenizer.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

struct GraphicsStatementsTest : ::testing::Test {
    RuntimeFixture f;

    void load(std::string_view source) {
        auto result = kavpack::tokenize_source(source);
        ASSERT_TRUE(result.image) << result.error.message;
        f.load(result.image->text);
    }
    std::string error_box() const {
        for (const auto& box : f.platform.boxes)
            if (box.title == "Basic - Error") return box.text.substr(0, box.text.find("\n\n"));
        return "";
    }
};

TEST_F(GraphicsStatementsTest, ImagesBeyondTheMemoryLimitAreRefused) {
    load("GET (0,0)-(2,2),A\nGET (0,0)-(4,4),B\nPRINT \"not here\"");
    f.rt.graphics.image_pixels = kImageTablePixelsMax - 10;  // room for the first image only
    int images = -1;
    f.platform.statement_hook = [&](uint64_t) {
        images = static_cast<int>(f.rt.graphics.images.size());
    };
    f.run();
    EXPECT_EQ(images, 1);  // before the second GET
    EXPECT_EQ(error_box(), error_message(kInternalMemory, ""));
    EXPECT_EQ(f.platform.output, "");
    // The program's end deletes every image.
    EXPECT_TRUE(f.rt.graphics.images.empty());
    EXPECT_EQ(f.rt.graphics.image_pixels, 0);
}

TEST_F(GraphicsStatementsTest, ClearGivesBackTheImagesMemory) {
    load("GET (0,0)-(2,2),A\nCLEAR\nGET (0,0)-(4,4),B\nPRINT B");
    f.rt.graphics.image_pixels = kImageTablePixelsMax - 10;  // room for the first image only
    f.run();
    EXPECT_EQ(error_box(), "");
    EXPECT_EQ(f.platform.output, " 0\n");
}

TEST_F(GraphicsStatementsTest, PicturesFromThePlatformBecomeImages) {
    f.rt.devices.program_folder = "/nowhere";
    f.platform.pictures["/nowhere/pic/a.bmp"] = DecodedImage{2, 1, {0x0000FF, 0x00FF00}};
    load("PICLOAD \"pic\\a.bmp\",N\nPUT (5,6),N,PSET\nPRINT N;POINT(5,6);POINT(6,6);POINT(7,6)");
    f.run();
    EXPECT_EQ(f.platform.output, " 0 2 4 0\n");
}

TEST_F(GraphicsStatementsTest, GprintsPenFollowsTheEscapement) {
    load("GPRINT 100,300,\"AB\"");
    f.rt.host.font.escapement = 900;  // upwards
    f.run();
    const Canvas& picture = f.rt.graphics.picture;
    EXPECT_EQ(picture.pixel(103, 305), kWhite);  // A's cell at (100,300)
    EXPECT_EQ(picture.pixel(103, 297), kWhite);  // B's cell 8 pixels higher, at (100,292)
    EXPECT_EQ(picture.pixel(111, 305), 0u);      // nothing along the unturned baseline
}

}  // namespace
}  // namespace quillon::testing
