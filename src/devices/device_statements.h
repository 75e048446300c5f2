// Handlers of the device statements: OPEN and CLOSE (open_close.cpp), CHDIR, KILL, MKDIR and
// FILES (folder_statements.cpp).
#pragma once

#include "host/statement.h"

namespace quillon {

struct Runtime;

void open_statement(Runtime& rt, StatementContext& ctx);
void close_statement(Runtime& rt, StatementContext& ctx);
void chdir_statement(Runtime& rt, StatementContext& ctx);
void kill_statement(Runtime& rt, StatementContext& ctx);
void mkdir_statement(Runtime& rt, StatementContext& ctx);
void files_statement(Runtime& rt, StatementContext& ctx);

}  // namespace quillon
