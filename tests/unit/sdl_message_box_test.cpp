// The runtime's own message box: its layout (lines, icon, button) and its drawing with the
// runtime's fonts, Japanese included.
#include <gtest/gtest.h>

#include <string>

#include "platform/fonts/system_font.h"
#include "platform/sdl/sdl_message_box.h"

namespace quillon {
namespace {

const std::string kReport =
    "\x8C^\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7\n\nError line:30";  // 型が違います ...

struct BoxTest : ::testing::Test {
    std::unique_ptr<Font> font = open_system_font(message_box_font_record());
};

bool inside(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST_F(BoxTest, LinesStandRightOfTheIconAndAboveTheButton) {
    MessageBoxLayout layout = lay_out_message_box(*font, kReport, MessageIcon::Error);
    ASSERT_EQ(layout.lines.size(), 3u);
    EXPECT_EQ(layout.lines[0].text, "\x8C^\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7");
    EXPECT_EQ(layout.lines[1].text, "");
    EXPECT_EQ(layout.lines[2].text, "Error line:30");
    const Rect box{0, 0, layout.size.width, layout.size.height};
    EXPECT_TRUE(inside(box, layout.icon));
    EXPECT_TRUE(inside(box, layout.button));
    for (const auto& line : layout.lines) {
        EXPECT_GE(line.x, layout.icon.right);
        EXPECT_LE(line.y + font->metrics().height, layout.text_bottom);
    }
    EXPECT_GE(layout.button.top, layout.text_bottom);
    // Without an icon the text starts at the margin.
    EXPECT_LT(lay_out_message_box(*font, "x", MessageIcon::None).lines[0].x, layout.lines[0].x);
}

TEST_F(BoxTest, LongLinesBreakBetweenCharactersWithinTheBox) {
    std::string wide;
    for (int k = 0; k < 100; ++k)
        wide += "\x82\xA0";  // あ: no blanks to break at
    MessageBoxLayout layout = lay_out_message_box(*font, wide, MessageIcon::None);
    ASSERT_GT(layout.lines.size(), 1u);
    std::string joined;
    for (const auto& line : layout.lines) {
        EXPECT_EQ(line.text.size() % 2, 0u);  // never half a character
        joined += line.text;
    }
    EXPECT_EQ(joined, wide);
    EXPECT_LE(layout.size.width, 600);
}

TEST_F(BoxTest, DrawsTheIconTheJapaneseTextAndTheButton) {
    MessageBoxLayout layout = lay_out_message_box(*font, kReport, MessageIcon::Error);
    std::vector<uint32_t> pixels(static_cast<std::size_t>(layout.size.width) * layout.size.height,
                                 0x123456);
    PixelView view{pixels.data(), layout.size.width, layout.size.height};
    draw_message_box(view, layout, *font, MessageIcon::Error);
    auto count = [&](const Rect& r, uint32_t colour) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += pixels[static_cast<std::size_t>(y) * view.width + x] == colour;
        return n;
    };
    EXPECT_EQ(count(Rect{0, 0, view.width, view.height}, 0x123456), 0);  // every pixel drawn
    EXPECT_GT(count(layout.icon, 0x2311E8), 200);                        // the red disc
    const auto& first = layout.lines[0];
    Rect line{first.x, first.y, view.width, first.y + font->metrics().height};
    EXPECT_GT(count(line, 0x000000), 30);           // the glyphs of 型が違います, in black
    EXPECT_GT(count(layout.button, 0x000000), 10);  // "OK"
}

}  // namespace
}  // namespace quillon
