// The built-in functions: one table of name -> body, the common argument check, and the
// helpers the bodies share. Bodies receive the argument text with inner calls already expanded
// and write complete value text (a number, or a string in double quotes).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "host/text_scan.h"

namespace quillon {

struct Runtime;

// True when a built-in function is called `name` (any letter case).
bool is_builtin(std::string_view name);
// Runs the built-in called `name` (any letter case) on `args`; false when there is none.
bool call_builtin(Runtime& rt, std::string_view name, std::string_view args, std::string& out);

// Counts the arguments (commas outside quotes and brackets separate them; an empty text has
// none). A ")" without its "(" is error 1 and gives -1. When `report` is set and the count is
// not `expected`, error 10.
int check_arguments(Runtime& rt, std::string_view args, int expected, bool report);

// The arguments of one call, cut at commas outside quotes and brackets.
struct Arguments {
    static constexpr int kMax = 3;  // no built-in takes more
    std::string_view whole;
    std::array<std::string_view, kMax> item{};
    int count = 0;  // may exceed kMax; only the first kMax items are kept
    bool balanced = true;
};
Arguments split_arguments(std::string_view args);

// Calls `visit` with each piece of `list` cut at commas outside quotes and brackets (an empty
// list has no pieces); false when a ")" closes more brackets than were opened.
template <typename Visit>
bool for_each_argument(std::string_view list, Visit visit) {
    if (list.empty()) return true;
    int depth = 0;
    bool quoted = false;
    bool balanced = true;
    std::size_t start = 0;
    for (std::size_t k = 0; k < list.size(); ++k) {
        char c = list[k];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && --depth < 0) balanced = false;
        if (c == ',' && depth == 0) {
            visit(list.substr(start, k - start));
            start = k + 1;
        }
    }
    visit(list.substr(start));
    return balanced;
}

// Helpers shared by the bodies.
double numeric_argument(Runtime& rt, std::string_view text);
int32_t integer_argument(Runtime& rt, std::string_view text);
// Evaluates a string expression and decodes it into its real bytes; false after an error.
bool string_argument(Runtime& rt, std::string_view text, std::string& raw);
// Writes a whole number with "%d", or with "%g" when it lies outside the 32-bit range.
void write_whole_number(double value, std::string& out);

// Bodies kept in their own files.
void akcnv_function(Runtime& rt, const Arguments& args, std::string& out);
void kacnv_function(Runtime& rt, const Arguments& args, std::string& out);
void eof_function(Runtime& rt, const Arguments& args, std::string& out);
void lof_function(Runtime& rt, const Arguments& args, std::string& out);
void input_function(Runtime& rt, const Arguments& args, std::string& out);
void keystate_function(Runtime& rt, const Arguments& args, std::string& out);
void mousestate_function(Runtime& rt, const Arguments& args, std::string& out);
void point_function(Runtime& rt, const Arguments& args, std::string& out);
void rgb_function(Runtime& rt, const Arguments& args, std::string& out);
void rnd_function(Runtime& rt, const Arguments& args, std::string& out);

void asc_function(Runtime& rt, const Arguments& args, std::string& out);
void chr_function(Runtime& rt, const Arguments& args, std::string& out);
void hex_function(Runtime& rt, const Arguments& args, std::string& out);
void oct_function(Runtime& rt, const Arguments& args, std::string& out);
void instr_function(Runtime& rt, const Arguments& args, std::string& out);
void kinstr_function(Runtime& rt, const Arguments& args, std::string& out);
void klen_function(Runtime& rt, const Arguments& args, std::string& out);
void kmid_function(Runtime& rt, const Arguments& args, std::string& out);
void left_function(Runtime& rt, const Arguments& args, std::string& out);
void len_function(Runtime& rt, const Arguments& args, std::string& out);
void mid_function(Runtime& rt, const Arguments& args, std::string& out);
void right_function(Runtime& rt, const Arguments& args, std::string& out);
void space_function(Runtime& rt, const Arguments& args, std::string& out);
void str_function(Runtime& rt, const Arguments& args, std::string& out);
void string_function(Runtime& rt, const Arguments& args, std::string& out);
void val_function(Runtime& rt, const Arguments& args, std::string& out);

// The half-width <-> full-width conversions of code page 932 on real bytes.
std::string to_full_width(std::string_view raw);
std::string to_half_width(std::string_view raw);

}  // namespace quillon
