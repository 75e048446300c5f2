// The run loop, the statement dispatcher, the branch-part filter and the program-end clean-up.
#pragma once

#include <string>
#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;
struct HostState;

// Runs the program text from the current position: 1 when it ran off its end, 0 when stopped.
int run_program(Runtime& rt);

// Executes one statement; true when a handler ran.
bool dispatch_statement(Runtime& rt, std::string_view statement);

// Applied to each statement of a THEN or ELSE part; false when it is not to be dispatched.
bool branch_part_filter(Runtime& rt, std::string& statement);

// What the branch-part filter decides for a statement (which it may cut at its ELSE or turn into
// a GOTO): whether it is dispatched, and whether the rest of the line is skipped.
struct BranchPart {
    bool dispatch = true;
    bool skip_line = false;
};
BranchPart filter_branch_part(std::string& statement);

// The byte at a position of the program text; -1 reads as a line feed, past the end as NUL.
char program_byte(const HostState& host, int32_t pos);
// Drops trailing blanks and tabs, but never the second byte of a leading token (the IF token's
// second byte is 0x20, a blank).
void trim_trailing_blanks(std::string& text);
// IF: the statement text is cut before its THEN (blank, tab or ")" then "then" then blank, tab
// or ":"), keeping a ")" and dropping a blank or tab. Quotes are not looked at.
void cut_before_then(std::string& statement);
// The statement that starts at `start`, read as the run loop reads it in its statement mode
// (from an empty statement, outside quotes), trimmed; `end` receives its separator. False when
// it is longer than a statement may be.
bool cut_statement(const HostState& host, int32_t start, std::string& statement, int32_t& end);

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
