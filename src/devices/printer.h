// LPRINT: PRINT's text drawn line by line on printer pages. One job stays open across any
// number of LPRINT statements; a form feed or the end of the program sends it.
#pragma once

#include "host/statement.h"

namespace quillon {

struct Runtime;

void lprint_statement(Runtime& rt, StatementContext& ctx);

// Ends the open print job and sends it (program end); a failure to send is shown in a box.
void end_print_job(Runtime& rt);

}  // namespace quillon
