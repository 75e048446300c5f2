// A runtime on the fake platform, loaded with program text given as raw bytes.
#pragma once

#include <string>

#include "fake_platform.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/startup.h"

namespace quillon::testing {

struct RuntimeFixture {
    FakePlatform platform;
    Runtime rt{platform};

    explicit RuntimeFixture(std::string program_text = "") { load(std::move(program_text)); }
    // With a display and window of `size` (small ones make runs by the thousand quick).
    RuntimeFixture(std::string program_text, Size size) {
        platform.display = size;
        platform.client = size;
        load(std::move(program_text));
    }

    void load(std::string program_text) {
        ProgramImage image;
        image.face = "\x82l\x82r \x96\xBE\x92\xA9";  // ＭＳ 明朝
        image.font_numbers = "-16 0 0 0 0 0 0 0 128 0 0 0 0";
        image.text = std::move(program_text);
        rt.graphics.picture.resize(platform.display.width, platform.display.height);
        rt.graphics.surface.resize(platform.client.width, platform.client.height);
        initialise_settings(rt);
        load_program(rt, image);
        initialise_program_state(rt);
    }

    int run() { return run_program(rt); }
};

}  // namespace quillon::testing
