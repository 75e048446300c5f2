// A fresh runtime on the fake platform for each fuzz input, with a few variables of every
// kind already stored so that references in the input find something to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "expr/assignment.h"
#include "fake_platform.h"
#include "host/runtime.h"
#include "host/startup.h"
#include "memory_file_system.h"

namespace quillon::fuzz {

struct FuzzRuntime {
    testing::FakePlatform platform;
    Runtime rt{platform};

    FuzzRuntime() {
        initialise_program_state(rt);
        for (const char* statement :
             {"a=1", "b=-2.5", "i%=7", "s!=1/3", "a$=\"abc\"", "k$(2)=\"x y\"", "e(1)=3"})
            assign(rt, statement);
        StatementContext dim;
        dim.args = "m(3,3),v(10)";
        dim_arrays(rt, dim);
    }
};

// A program run on the fake platform, with a small display so that each input starts fast.
struct ProgramRun {
    testing::FakePlatform platform;
    Runtime rt{platform};

    explicit ProgramRun(std::string_view text) {
        platform.files = std::make_unique<MemoryFileSystem>();  // never the real disk
        platform.display = Size{64, 48};
        platform.client = Size{64, 48};
        rt.graphics.picture.resize(platform.display.width, platform.display.height);
        rt.graphics.surface.resize(platform.client.width, platform.client.height);
        ProgramImage image;
        image.face = "\x82l\x82r \x96\xBE\x92\xA9";  // ＭＳ 明朝
        image.font_numbers = "-16 0 0 0 0 0 0 0 128 0 0 0 0";
        image.text = std::string(text);
        initialise_settings(rt);
        load_program(rt, image);
        initialise_program_state(rt);
    }
};

inline std::string_view input_text(const uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace quillon::fuzz
