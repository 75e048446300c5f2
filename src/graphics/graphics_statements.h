// The graphics statements: figures (LINE, CIRCLE, PSET, PRESET, GMOVE), PAINT, the image
// statements (PICLOAD, GET, PUT), SCROLL and GPRINT, and the image table's clean-up.
#pragma once

#include "host/statement.h"

namespace quillon {

struct Runtime;

// LINE's figure form (token 0x1112 without INPUT).
void line_figure(Runtime& rt, StatementContext& ctx);
void circle_statement(Runtime& rt, StatementContext& ctx);
void pset_statement(Runtime& rt, StatementContext& ctx);
void preset_statement(Runtime& rt, StatementContext& ctx);
void gmove_statement(Runtime& rt, StatementContext& ctx);

void paint_statement(Runtime& rt, StatementContext& ctx);

void picload_statement(Runtime& rt, StatementContext& ctx);
void get_statement(Runtime& rt, StatementContext& ctx);
void put_statement(Runtime& rt, StatementContext& ctx);
void scroll_statement(Runtime& rt, StatementContext& ctx);

void gprint_statement(Runtime& rt, StatementContext& ctx);

// Program end: every image deleted, numbers start again from 0.
void release_images(Runtime& rt);

}  // namespace quillon
