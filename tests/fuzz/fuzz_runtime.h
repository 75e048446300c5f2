// A fresh runtime on the fake platform for each fuzz input, with a few variables of every
// kind already stored so that references in the input find something to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "expr/assignment.h"
#include "fake_platform.h"
#include "host/runtime.h"
#include "host/startup.h"

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

inline std::string_view input_text(const uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace quillon::fuzz
