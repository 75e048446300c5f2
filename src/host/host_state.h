// State of the runtime host: the program text and the run loop's position in it, the flags
// that stop and gate the program, the pending statement, the error trap and the data list.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/prepared_statement.h"
#include "host/statement.h"
#include "platform/platform.h"

namespace quillon {

struct HostState {
    // The program text: NUL-terminated Shift-JIS lines "NUMBER statements\n". Handlers index
    // it from -1 (before the first byte) to its size (the terminating NUL).
    std::string program;
    bool program_released = false;  // freed by the program-end clean-up

    int32_t position = 0;        // the byte the run loop is looking at; -1 before the text
    int32_t statement_mark = 0;  // separator before the statement being executed
    int32_t line_number = 0;     // number of the line being executed
    bool inline_branch = false;  // executing a THEN or ELSE part of the current line

    std::atomic<bool> stop{false};     // set by the program-end clean-up
    std::atomic<bool> running{false};  // set when the run loop starts, never cleared
    std::atomic<bool> cleaned_up{false};
    std::atomic<bool> error_stopped{false};  // an error report (not a warning) stopped the program

    // A statement queued by an event trap, run once after the current statement.
    std::mutex pending_mutex;
    std::string pending;
    std::atomic<bool> has_pending{false};
    bool media_notified = false;  // a media play with notify ended (guarded by pending_mutex)

    std::string error_trap;          // GOTO/GOSUB statement run instead of error reports
    bool in_error_trap = false;      // the error-trap statement is being dispatched
    bool statement_trapped = false;  // the statement being run has had an error trapped

    std::string data_list;   // markers and DATA items, comma-separated
    int32_t data_index = 0;  // next item READ may consume

    // Statement contexts, one per dispatch depth (the error trap and pending statements
    // dispatch from inside a statement), reused so that dispatching allocates nothing.
    std::vector<std::unique_ptr<StatementContext>> contexts;
    std::size_t dispatch_depth = 0;

    uint64_t statements_run = 0;  // statements dispatched so far (event scripts count them)

    // Statements prepared at their positions (off: every statement runs from its text).
    bool prepare_statements = true;
    PreparedCache prepared;

    FontRecord font;                                  // the runtime's font, from the program image
    std::string serial_setting = "1 9600 8 0 0 1 0";  // the text the serial defaults came from
};

}  // namespace quillon
