// The WAV writer: the header's sizes follow the sound written, a second at a time while the file
// is open (what a killed process leaves behind) and exactly once it is closed.
#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/wav_writer.h"
#include "scratch_folder.h"

namespace quillon {
namespace {

struct WavWriterTest : testing::ScratchFolderTest {
    WavWriterTest() : ScratchFolderTest("quillon-wav") {}

    // The RIFF size, the data size and the length of the file as it stands on disk.
    std::vector<uint32_t> sizes() const {
        std::string b = read(folder / "x.wav");
        if (b.size() < 44) return {};
        auto le32 = [&](std::size_t at) {
            uint32_t v = 0;
            for (std::size_t k = 4; k-- > 0;)
                v = v << 8 | static_cast<uint8_t>(b[at + k]);
            return v;
        };
        return {le32(4), le32(40), static_cast<uint32_t>(b.size())};
    }
};

TEST_F(WavWriterTest, TheHeaderFollowsEverySecondAndTheEnd) {
    WavWriter writer;
    ASSERT_TRUE(writer.open((folder / "x.wav").string(), 100, 2));  // 400 bytes a second
    std::vector<int16_t> samples(150, 7);
    writer.write(samples.data(), samples.size());  // 300 bytes: not yet a second
    EXPECT_EQ(sizes()[1], 0u);
    writer.write(samples.data(), samples.size());  // 600 bytes
    EXPECT_EQ(sizes(), (std::vector<uint32_t>{36 + 600, 600, 44 + 600}));
    writer.write(samples.data(), 10);
    writer.close();
    EXPECT_EQ(sizes(), (std::vector<uint32_t>{36 + 620, 620, 44 + 620}));
    std::string why;
    EXPECT_FALSE(writer.open((folder / "missing" / "x.wav").string(), 100, 2, &why));
    EXPECT_EQ(why, "No such file or directory");
}

}  // namespace
}  // namespace quillon
