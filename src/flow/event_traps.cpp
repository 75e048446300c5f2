// Mouse event traps: the MOUSE(n) ON/OFF/STOP switch, the trap statements set by ON MOUSE(n),
// and the firing of a trap from the event thread. Statements and the check-and-set of state and
// missed flag are guarded by FlowState::trap_mutex, so no event is lost between them.
#include "flow/event_traps.h"

#include <mutex>
#include <string>

#include "expr/evaluator.h"
#include "flow/jumps.h"
#include "flow/program_text.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr int8_t kTrapOn = -1;
constexpr int8_t kTrapStopped = 1;
constexpr int8_t kTrapOff = 0;

bool is_word(std::string_view text, std::string_view lower_word) {
    return text.size() == lower_word.size() && flow::word_at(text, 0, lower_word);
}

// Switching on delivers an event missed while the trap was stopped, once: the missed flag is
// cleared as the event is queued.
void switch_on(Runtime& rt, EventTrap& trap) {
    if (!trap.statement.empty() && trap.missed) {
        set_pending_statement(rt, trap.statement);
        trap.missed = false;
    }
    trap.state = kTrapOn;
}

}  // namespace

void set_mouse_trap(Runtime& rt, int event, std::string_view statement) {
    if (statement.size() > kEventTrapMax) {
        report_error(rt, kMemoryRange);  // the statement would not fit the trap's buffer
        return;
    }
    std::lock_guard lock(rt.flow.trap_mutex);
    rt.flow.mouse_traps[static_cast<std::size_t>(event - 1)].statement.assign(statement);
}

void mouse_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    std::size_t close =
        args.empty() || args[0] != '(' ? std::string_view::npos : closing_bracket(args, 0, false);
    if (close == std::string_view::npos) {
        report_error(rt, kSyntaxError);
        return;
    }
    const int32_t before = rt.host.position;
    int32_t event = eval_integer(rt, args.substr(1, close - 1));
    if (evaluation_failed(rt, before)) return;
    if (event < 1 || event > kMouseEvents) {
        report_error(rt, kOutOfRange);
        return;
    }
    std::string_view word = args.substr(close + 1);
    if (!is_word(word, "on") && !is_word(word, "off") && !is_word(word, "stop")) {
        report_error(rt, kSyntaxError);
        return;
    }
    std::lock_guard lock(rt.flow.trap_mutex);
    EventTrap& trap = rt.flow.mouse_traps[static_cast<std::size_t>(event - 1)];
    if (is_word(word, "on")) {
        switch_on(rt, trap);
    } else if (is_word(word, "off")) {
        trap.missed = false;
        trap.state = kTrapOff;
    } else {
        trap.state = kTrapStopped;
    }
}

void fire_event_trap(Runtime& rt, int event) {
    if (event < 1 || event > kMouseEvents || !rt.host.running || rt.host.stop) return;
    std::lock_guard lock(rt.flow.trap_mutex);
    EventTrap& trap = rt.flow.mouse_traps[static_cast<std::size_t>(event - 1)];
    if (trap.state == kTrapOn && !trap.statement.empty())
        set_pending_statement(rt, trap.statement);
    else if (trap.state == kTrapStopped)
        trap.missed = true;
}

}  // namespace quillon
