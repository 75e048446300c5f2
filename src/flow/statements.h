// The control-flow statement handlers named in the token table.
#pragma once

#include "host/statement.h"

namespace quillon {

void if_statement(Runtime& rt, StatementContext& ctx);         // 0x1020
void goto_statement(Runtime& rt, StatementContext& ctx);       // 0x1021
void return_statement(Runtime& rt, StatementContext& ctx);     // 0x1023
void on_statement(Runtime& rt, StatementContext& ctx);         // 0x1024
void gosub_statement(Runtime& rt, StatementContext& ctx);      // 0x1031
void mouse_statement(Runtime& rt, StatementContext& ctx);      // 0x1014
void for_statement(Runtime& rt, StatementContext& ctx);        // 0x1025
void next_statement(Runtime& rt, StatementContext& ctx);       // 0x1026
void while_statement(Runtime& rt, StatementContext& ctx);      // 0x1027
void wend_statement(Runtime& rt, StatementContext& ctx);       // 0x1030
void read_statement(Runtime& rt, StatementContext& ctx);       // 0x1064
void restore_statement(Runtime& rt, StatementContext& ctx);    // 0x1065
void swap_statement(Runtime& rt, StatementContext& ctx);       // 0x1066
void randomize_statement(Runtime& rt, StatementContext& ctx);  // 0x107B
void wait_statement(Runtime& rt, StatementContext& ctx);       // 0x107E

}  // namespace quillon
