// The whole interpreter state, one struct per subsystem, passed explicitly to every routine.
#pragma once

#include "devices/device_state.h"
#include "expr/expr_state.h"
#include "flow/flow_state.h"
#include "graphics/graphics_state.h"
#include "host/host_state.h"
#include "platform/platform.h"
#include "screen/screen_state.h"

namespace quillon {

struct Runtime {
    explicit Runtime(Platform& platform_) : platform(platform_) {}
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    HostState host;          // program text, position, flags, data list, error trap
    ExprState expr;          // variable store, user functions, declared letters, random generator
    FlowState flow;          // GOSUB stack, FOR stack and re-entry flag, event traps
    ScreenState screen;      // character screen, caret, input line (shared with the event thread)
    GraphicsState graphics;  // picture, window surface, text colours
    DeviceState devices;     // file table, program folder
    Platform& platform;      // the operating system
};

}  // namespace quillon
