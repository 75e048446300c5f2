// A runtime whose character screen uses a box font that records every character it draws,
// so that tests can check where, in which colours and which characters were drawn.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "runtime_fixture.h"
#include "screen/char_screen.h"

namespace quillon::testing {

struct DrawnCharacter {
    unsigned code;
    int x;
    int y;
    uint32_t colour;
    int32_t background;
};

class RecordingFont : public BoxFont {
  public:
    void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
              int32_t background) const override {
        drawn.push_back({code, x, y, colour, background});
        BoxFont::draw(target, x, y, code, colour, background);
    }
    mutable std::vector<DrawnCharacter> drawn;
};

struct ScreenFixture : RuntimeFixture {
    RecordingFont* font;  // null once another font replaced it

    ScreenFixture() {
        auto made = std::make_unique<RecordingFont>();
        font = made.get();
        rt.screen.font = std::move(made);
    }

    void use_font(std::unique_ptr<Font> other) {
        font = nullptr;
        rt.screen.font = std::move(other);
    }
    // Puts text on the screen as if it had been written, cursor where given.
    void set_text(std::string text, int32_t cursor) {
        rt.screen.text = std::move(text);
        rt.screen.cursor = cursor;
    }
    void write(std::string_view text) {
        if (font) font->drawn.clear();
        write_text(rt, text);
    }
    const std::string& text() const { return rt.screen.text; }
    int32_t cursor() const { return rt.screen.cursor; }
    uint32_t surface_pixel(int x, int y) const { return rt.graphics.surface.pixel(x, y); }
    // The characters drawn by the last write, in order.
    std::string drawn_codes() const {
        std::string out;
        for (const auto& d : font->drawn)
            out += static_cast<char>(d.code);
        return out;
    }
};

}  // namespace quillon::testing
