// The run loop, the statement dispatcher, the branch-part filter and the program-end clean-up.
#pragma once

#include <string>
#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// Runs the program text from the current position: 1 when it ran off its end, 0 when stopped.
int run_program(Runtime& rt);

// Executes one statement; true when a handler ran.
bool dispatch_statement(Runtime& rt, std::string_view statement);

// Applied to each statement of a THEN or ELSE part; false when it is not to be dispatched.
bool branch_part_filter(Runtime& rt, std::string& statement);

// Sets the stop flag and releases every program resource, each exactly once.
void program_end_cleanup(Runtime& rt);

// Queues a statement to run after the current one (event traps); replaces one still pending.
void set_pending_statement(Runtime& rt, std::string_view statement);
// Asks for the media completion assignment to run after the current statement, so that it
// writes the variables on the interpreter's thread. Callable from any thread.
void post_media_notification(Runtime& rt);

// Handlers of the host's own statements.
void statement_not_built(Runtime& rt, StatementContext& ctx);
void end_statement(Runtime& rt, StatementContext& ctx);
void data_statement(Runtime& rt, StatementContext& ctx);
void chain_statement(Runtime& rt, StatementContext& ctx);
void run_statement(Runtime& rt, StatementContext& ctx);
void clear_statement(Runtime& rt, StatementContext& ctx);

}  // namespace quillon
