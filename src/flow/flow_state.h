// State of control flow: the GOSUB stack, the FOR stack with its re-entry request, the mouse
// event traps (read by the window procedure on the event thread) and the remembered scans.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "flow/scan_memory.h"
#include "host/limits.h"

namespace quillon {

// NEXT's request that the FOR before it take the re-entry path. Only the FOR at `mark` takes
// it, so a trap's subroutine that runs in between opens its own loops normally.
struct ForReentry {
    bool pending = false;
    int32_t mark = 0;           // the separator before that FOR
    int32_t next_position = 0;  // where that NEXT stood, to go on after it
    bool next_inline_branch = false;
};

struct GosubEntry {
    int32_t position = 0;
    bool inline_branch = false;
    ForReentry for_reentry;  // restored by RETURN, for a trap's call between NEXT and FOR
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
    ForReentry for_reentry;
    std::mutex trap_mutex;
    std::array<EventTrap, kMouseEvents> mouse_traps;
    bool remember_scans = true;  // keep scan results (off to measure the plain rescans)
    ScanMemory scans;
};

}  // namespace quillon
