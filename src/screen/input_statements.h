// The input statements: INPUT and LINE INPUT from the keyboard (prompt, wait for Enter, values
// into variables) and from open files (fields cut at commas or line ends). The LINE token is
// shared with the figure statement; its handler picks the form.
#pragma once

#include <string>
#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;

// Where file fields come from: an open file number, or bytes given by a test.
class FieldSource {
  public:
    virtual ~FieldSource() = default;
    virtual int read_byte() = 0;   // 0..255, or -1 at the end of the file or on failure
    virtual bool seek_back() = 0;  // gives the byte just read back to the file
};

enum class FieldMode {
    Comma,  // INPUT #: a field also ends at a comma
    Line,   // LINE INPUT #: a field is a whole line
};

enum class FieldResult {
    Read,     // `raw` holds the field
    End,      // the file ended (or could not be read) before the field's first byte
    TooLong,  // the field is longer than a value may be
};

// Reads one field byte by byte: it ends at the end of the file, a NUL, a carriage return (with
// the line feed after it), or in comma mode a comma; a lone line feed is part of the field.
FieldResult read_field(FieldSource& source, FieldMode mode, std::string& raw);

// The argument text of LINE when it is the line-input form ("input" and a blank, tab or
// double quote), with the blanks after the word skipped; false for the figure form.
bool line_input_arguments(std::string_view args, std::string_view& rest);

void input_statement(Runtime& rt, StatementContext& ctx);       // INPUT
void line_statement(Runtime& rt, StatementContext& ctx);        // LINE and LINE INPUT
void line_input_statement(Runtime& rt, std::string_view args);  // LINE INPUT's argument text

}  // namespace quillon
