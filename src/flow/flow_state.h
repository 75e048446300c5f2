// State of control flow: the GOSUB stack, the FOR stack with its re-entry flag, and the mouse
// event traps (read by the window procedure on the event thread).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "flow/scan_memory.h"
#include "host/limits.h"

namespace quillon {

struct GosubEntry {
    int32_t position = 0;
    bool inline_branch = false;
};

struct EventTrap {
    std::string statement;         // GOTO/GOSUB statement; guarded by FlowState::trap_mutex
    std::atomic<int8_t> state{0};  // -1 on, 1 stopped, 0 off
    std::atomic<bool> missed{false};
};

struct FlowState {
    std::array<GosubEntry, kGosubDepthMax> gosub{};
    int32_t gosub_depth = 0;
    std::array<double, kForDepthMax> for_limits{};
    int32_t for_top = -1;
    bool for_reentry = false;
    int32_t for_reentry_mark = 0;  // the separator before the FOR that NEXT sent back to
    GosubEntry for_reentry_next;   // where that NEXT stood, to go on after it
    std::mutex trap_mutex;
    std::array<EventTrap, kMouseEvents> mouse_traps;
    bool remember_scans = true;  // keep scan results (off to measure the plain rescans)
    ScanMemory scans;
};

}  // namespace quillon
