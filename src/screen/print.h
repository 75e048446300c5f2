// PRINT: composes one line from a list of expressions (or a picture with USING) and sends it
// to the character screen or an open file. The printer and the input statements reuse the
// composer with a destination buffer.
#pragma once

#include <string>
#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// Composes the text of PRINT's argument text. Without a destination it goes to the screen,
// or to the file named by a leading #n; with one, the finished text (line feed included) is
// stored there and nothing is shown (a #n prefix is then error 1).
void compose_and_print(Runtime& rt, std::string_view args, std::string* destination);

// Fills `out` from USING's text: a picture string expression, ";", then the argument list.
void format_with_picture(Runtime& rt, std::string_view text, std::string& out);

// Bytes of the character at `pos` of screen or value text: 2 for a double-byte character or
// an escape pair, else 1.
std::size_t character_width(std::string_view text, std::size_t pos);
// Bytes of the longest prefix of `text` of at most `limit` bytes that splits no double-byte
// character and no escape pair.
std::size_t whole_characters(std::string_view text, std::size_t limit);

void print_statement(Runtime& rt, StatementContext& ctx);

}  // namespace quillon
