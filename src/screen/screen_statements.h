// The screen and window statements: LOCATE moves the cursor, CLS clears the text and the
// picture, WIDTH limits the text area, MSGBOX shows a message box, WINDOW moves and sizes the
// window, BEEP sounds the system beep.
#pragma once

#include <cstdint>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// Puts the cursor on a column (bytes, an escape pair counting one) of a logical line, padding
// with blank pairs where the text is too short. False, with nothing changed, when the padding
// would not fit the screen text. The caller holds the display mutex.
bool place_cursor(Runtime& rt, int32_t column, int32_t line);

void locate_statement(Runtime& rt, StatementContext& ctx);  // LOCATE column, line
void cls_statement(Runtime& rt, StatementContext& ctx);     // CLS [1 | 2 | 3]
void width_statement(Runtime& rt, StatementContext& ctx);   // WIDTH columns, lines
void msgbox_statement(Runtime& rt, StatementContext& ctx);  // MSGBOX text [, title]
void window_statement(Runtime& rt, StatementContext& ctx);  // WINDOW l, t, r, b [, mode]
void beep_statement(Runtime& rt, StatementContext& ctx);    // BEEP

}  // namespace quillon
