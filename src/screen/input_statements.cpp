// INPUT and LINE INPUT: the prompt through PRINT's composer, the wait for a typed line with
// the caret shown, values cut at commas into the variables, and the file forms that read
// fields byte by byte from an open file number.
#include "screen/input_statements.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "devices/file_table.h"
#include "expr/assignment.h"
#include "expr/builtins.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "graphics/graphics_statements.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "screen/char_screen.h"
#include "screen/print.h"

namespace quillon {
namespace {

constexpr int kInputPollMs = 10;  // the wait looks at the input flag this often
constexpr std::string_view kInputWord = "input";
constexpr std::string_view kQuestionForm = "\"? \";";  // the question mark and a blank

// The typed line so far (the window procedure edits it on the event thread).
std::string take_input_line(Runtime& rt) {
    std::lock_guard lock(rt.graphics.display_mutex);
    std::string line;
    line.swap(rt.screen.input_line);
    return line;
}

void clear_input_line(Runtime& rt) {
    std::lock_guard lock(rt.graphics.display_mutex);
    rt.screen.input_line.clear();
}

void set_caret(Runtime& rt, bool shown) {
    rt.screen.caret_flag = shown;
    rt.platform.caret_changed();
}

// Shows the caret and waits until Enter ends the line. False when the window was closed
// meanwhile: the program then ends here and nothing is stored. The line takes keys before the
// caret shows, so a key typed once the caret is seen is never taken for an earlier key press.
bool wait_for_line(Runtime& rt) {
    clear_input_line(rt);
    rt.screen.input_waiting = true;
    set_caret(rt, true);
    rt.platform.want_keys(KeyDemand::Line);
    while (rt.screen.input_waiting && !rt.host.stop)
        rt.platform.sleep_ms(kInputPollMs);
    if (rt.host.stop) {
        rt.screen.input_waiting = false;
        write_text(rt, "\n");
        program_end_cleanup(rt);
        return false;
    }
    set_caret(rt, false);
    return true;
}

// Prints a prompt form through PRINT and waits; false when the program stopped.
bool prompt_and_wait(Runtime& rt, const std::string& form) {
    compose_and_print(rt, form, nullptr);
    return !rt.host.stop && wait_for_line(rt);
}

// The prompt forms all end with ";": the cursor stays after the prompt.
std::string prompt_form(std::string_view prompt, bool question) {
    if (prompt.empty()) return std::string(kQuestionForm);
    std::string form(prompt);
    form += ';';
    if (question) form += kQuestionForm;
    return form;
}

// Index of the first "," or ";" outside double quotes, or npos.
std::size_t prompt_separator(std::string_view args) {
    bool quoted = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (args[k] == '"') quoted = !quoted;
        if (!quoted && (args[k] == ',' || args[k] == ';')) return k;
    }
    return std::string_view::npos;
}

// Splits at every comma (values as typed: no quotes or brackets to respect).
std::vector<std::string_view> split_values(std::string_view line) {
    std::vector<std::string_view> values;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string_view::npos;
         start = comma + 1)
        values.push_back(line.substr(start, comma - start));
    values.push_back(line.substr(start));
    return values;
}

// The names of a variable list cut at commas outside brackets; false when a bracket is left
// open or closed twice.
bool variable_list(std::string_view list, std::vector<std::string_view>& names) {
    bool balanced = for_each_argument(list, [&](std::string_view name) { names.push_back(name); });
    return balanced &&
           std::count(list.begin(), list.end(), '(') == std::count(list.begin(), list.end(), ')');
}

// The variable names of INPUT's list, blanks dropped. A list beyond the system's limits
// (1024 bytes, 50 names, 1023 bytes a name) is refused with error 1.
bool input_names(Runtime& rt, std::string_view list, std::string& stripped,
                 std::vector<std::string_view>& names) {
    strip_blanks(list, stripped);
    if (stripped.size() > kInputSplitMax || !variable_list(stripped, names) || names.empty() ||
        names.size() > static_cast<std::size_t>(kInputVariableMax))
        return report_error(rt, kSyntaxError), false;
    for (std::string_view name : names)
        if (name.size() > kInputItemMax) return report_error(rt, kSyntaxError), false;
    return true;
}

// The value text each name receives, or false when the line does not fit the names: a count
// that differs, a line or value beyond the system's limits, or a number the type cannot hold.
bool input_values(Runtime& rt, const std::vector<std::string_view>& names, std::string_view line,
                  std::vector<std::string>& values) {
    if (line.size() > kInputSplitMax) return false;
    std::vector<std::string_view> typed = split_values(line);
    if (typed.size() != names.size()) return false;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (typed[k].size() > kInputItemMax) return false;
        VariableType type = variable_type(rt, names[k]);
        std::string value(typed[k]);
        if (type == kString) value = '"' + value + '"';  // numbers go as typed
        std::string converted = value;
        if (!convert_to_type(converted, type)) return false;
        values.push_back(std::move(value));
    }
    return true;
}

void store_values(Runtime& rt, const std::vector<std::string_view>& names,
                  const std::vector<std::string>& values) {
    for (std::size_t k = 0; k < names.size() && !rt.host.stop; ++k)
        set_variable(rt, names[k], values[k]);
}

// After a CR: the line feed that follows it is part of the line end, any other byte is given
// back.
void take_line_feed(FieldSource& source) {
    int next = source.read_byte();
    if (next >= 0 && next != '\n') source.seek_back();
}
void take_line_feed(ChannelReader& reader) {
    reader.take_line_feed();
}

// One field, byte by byte: it ends at the end of the file, a NUL, a carriage return (with
// the line feed after it; any other byte is given back) or, in comma mode, a comma.
template <typename Source>
FieldResult read_field_from(Source& source, FieldMode mode, std::string& raw) {
    raw.clear();
    int byte = source.read_byte();
    if (byte < 0) return FieldResult::End;
    for (; byte > 0; byte = source.read_byte()) {
        if (byte == '\r') {
            take_line_feed(source);
            break;
        }
        if (mode == FieldMode::Comma && byte == ',') break;
        if (raw.size() >= kStatementMax) return FieldResult::TooLong;
        raw += static_cast<char>(byte);
    }
    return FieldResult::Read;
}

// ---- File forms ----

// "#n," then the variable list: reads one field per variable and stores it.
void read_file_fields(Runtime& rt, std::string_view args, FieldMode mode) {
    char digit = args.size() > 1 ? args[1] : '\0';
    if (digit < '1' || digit > '9') return report_error(rt, kOutOfRange);
    if (args.size() < 3 || args[2] != ',') return report_error(rt, kSyntaxError);
    std::string stripped;
    strip_blanks(args.substr(3), stripped);
    std::vector<std::string_view> names;
    if (!variable_list(stripped, names) || names.empty()) return report_error(rt, kSyntaxError);
    for (std::string_view name : names) {
        std::string raw;
        FieldResult result;
        {
            ChannelReader reader(rt, digit - '0');  // the table is released before reporting
            result = read_field_from(reader, mode, raw);
        }
        if (rt.host.stop) return;  // the program ended while a port waited
        if (result == FieldResult::End) return report_error(rt, kFileAccess);
        if (result == FieldResult::TooLong) return report_error(rt, kMemoryRange);
        std::string value;
        if (mode == FieldMode::Line || variable_type(rt, name) == kString)
            encode_string(raw, value);  // file bytes escaped, so quotes cannot break it
        else
            value = raw;
        if (!set_variable(rt, name, value)) return;
    }
}

// ---- Keyboard forms ----

void keyboard_input(Runtime& rt, std::string_view args) {
    std::string_view prompt;
    std::string_view list = args;
    bool question = true;
    if (args.find('"') != std::string_view::npos) {
        std::size_t separator = prompt_separator(args);
        if (separator == std::string_view::npos) return report_error(rt, kSyntaxError);
        prompt = args.substr(0, separator);
        question = args[separator] == ';';
        list = args.substr(separator + 1);
    }
    std::string stripped;
    std::vector<std::string_view> names;
    if (!input_names(rt, list, stripped, names)) return;
    const std::string form = prompt_form(prompt, question);
    for (;;) {
        if (!prompt_and_wait(rt, form)) return;
        std::string line = take_input_line(rt);
        std::vector<std::string> values;
        if (input_values(rt, names, line, values)) return store_values(rt, names, values);
        report_error(rt, kBadInput);  // warning 101: the prompt comes again
        if (rt.host.stop) return;
    }
}

// The quoted prompt of LINE INPUT and the variable after its separator; false on error 1.
bool line_input_prompt(std::string_view args, std::string_view& prompt, bool& question,
                       std::string_view& variable) {
    std::size_t close = args.find('"', 1);
    if (close == std::string_view::npos || close + 1 >= args.size()) return false;
    char separator = args[close + 1];
    if (separator != ';' && separator != ',') return false;
    prompt = args.substr(0, close + 1);
    question = separator == ';';
    variable = args.substr(close + 2);
    return true;
}

void keyboard_line_input(Runtime& rt, std::string_view args) {
    std::string_view prompt;
    std::string_view variable = args;
    bool question = true;
    if (!args.empty() && args[0] == '"' && !line_input_prompt(args, prompt, question, variable))
        return report_error(rt, kSyntaxError);
    const std::string form = prompt_form(prompt, question);
    for (;;) {
        if (!prompt_and_wait(rt, form)) return;
        std::string line = take_input_line(rt);
        // variable="line": the whole line, commas included, becomes the string.
        std::string assignment(variable);
        assignment += "=\"";
        assignment += line;
        assignment += '"';
        if (assignment.size() <= kStatementMax) return assign(rt, assignment);
        report_error(rt, kBadInput);  // a line the statement buffer cannot carry
        if (rt.host.stop) return;
    }
}

}  // namespace

FieldResult read_field(FieldSource& source, FieldMode mode, std::string& raw) {
    return read_field_from(source, mode, raw);
}

bool line_input_arguments(std::string_view args, std::string_view& rest) {
    if (args.size() <= kInputWord.size()) return false;
    for (std::size_t k = 0; k < kInputWord.size(); ++k)
        if (to_upper_ascii(args[k]) != to_upper_ascii(kInputWord[k])) return false;
    char after = args[kInputWord.size()];
    if (!is_blank(after) && after != '"') return false;
    rest = args.substr(kInputWord.size());
    while (!rest.empty() && is_blank(rest.front()))
        rest.remove_prefix(1);
    return true;
}

void input_statement(Runtime& rt, StatementContext& ctx) {
    if (!ctx.args.empty() && ctx.args[0] == '#')
        read_file_fields(rt, ctx.args, FieldMode::Comma);
    else
        keyboard_input(rt, ctx.args);
}

void line_input_statement(Runtime& rt, std::string_view args) {
    if (!args.empty() && args[0] == '#')
        read_file_fields(rt, args, FieldMode::Line);
    else
        keyboard_line_input(rt, args);
}

// The figure form of LINE is not built yet: it is reported as an unknown token (error 3).
void line_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view rest;
    if (line_input_arguments(ctx.args, rest))
        line_input_statement(rt, rest);
    else
        line_figure(rt, ctx);
}

}  // namespace quillon
