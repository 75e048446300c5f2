// PRINT: cuts its argument text at ";" and "," into items, writes strings as they are and
// numbers with "%g" and a leading blank, and sends the line to the screen, an open file, or a
// caller's buffer. The USING form is laid out by format_with_picture (print_using.cpp).
#include "screen/print.h"

#include "devices/file_table.h"
#include "expr/builtins.h"
#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/shift_jis.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

constexpr std::string_view kUsing = "using";

// The word using (any case) followed by a quote, a blank or a tab.
bool starts_with_using(std::string_view text) {
    if (text.size() <= kUsing.size() ||
        !equals_ignoring_case(text.substr(0, kUsing.size()), kUsing))
        return false;
    char after = text[kUsing.size()];
    return after == '"' || is_blank(after);
}

// An item is a string expression when it starts with a quote or its leading name is a string.
bool is_string_item(Runtime& rt, std::string_view item) {
    if (item[0] == '"') return true;
    std::size_t end = 0;
    while (end < item.size() && is_name_char(static_cast<uint8_t>(item[end])))
        ++end;
    return end > 0 && variable_type(rt, item.substr(0, end)) == kString;
}

// Appends one item's text: a string without its quotes, a number with a blank before it
// unless it is negative.
void append_item(Runtime& rt, std::string_view item, std::string& out) {
    if (item.empty()) return;
    if (is_string_item(rt, item)) {
        std::string value;
        eval_string(rt, item, value);
        if (is_quoted(value)) out.append(value, 1, value.size() - 2);
        return;
    }
    double x = eval_numeric(rt, item);
    if (rt.host.stop) return;
    if (x == 0) x = 0;  // no "-0"
    std::string number = format_general(x);
    trim_leading_zero(number);
    if (x >= 0) out += ' ';
    out += number;
}

// The list form: items end at ";" or "," outside quotes and brackets, and at the end of the
// text, inside an open quote too (its item is then error 1); "," adds a tab.
void compose_list(Runtime& rt, std::string_view list, std::string& out) {
    int depth = 0;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= list.size() && !rt.host.stop; ++k) {
        char c = k < list.size() ? list[k] : '\0';
        if (c == '"') quoted = !quoted;
        if (quoted && k < list.size()) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        bool ends = k == list.size() || ((c == ';' || c == ',') && depth == 0);
        if (!ends) continue;
        append_item(rt, list.substr(start, k - start), out);
        if (c == ',') out += '\t';
        start = k + 1;
        if (out.size() > kStatementMax) return;  // cut by the caller
    }
}

// File output holds the real bytes, and lines end with a carriage return and line feed.
void send_to_file(Runtime& rt, int number, const std::string& text) {
    std::string raw;
    if (!decode_string(rt, text, raw)) return;
    if (!raw.empty() && raw.back() == '\n') raw.insert(raw.size() - 1, 1, '\r');
    // A port write given up because the program is stopping is no error to show.
    if (!file_write(rt, number, raw) && !rt.host.stop) report_error(rt, kFileAccess);
}

// "#n," before the items: the file number, or 0 after an error. `rest` is set to the text
// after the comma and its blanks.
int file_prefix(Runtime& rt, std::string_view args, bool has_destination, std::string_view& rest) {
    char digit = args.size() > 1 ? args[1] : '\0';
    std::size_t comma = args.find(',');
    if (has_destination || (digit >= '1' && digit <= '9' && comma == std::string_view::npos)) {
        report_error(rt, kSyntaxError);
        return 0;
    }
    if (digit < '1' || digit > '9') {
        report_error(rt, kOutOfRange);
        return 0;
    }
    rest = args.substr(comma + 1);
    while (!rest.empty() && is_blank(rest.front()))
        rest.remove_prefix(1);
    return digit - '0';
}

}  // namespace

std::size_t character_width(std::string_view text, std::size_t pos) {
    auto byte = static_cast<uint8_t>(text[pos]);
    return (is_sjis_lead(byte) || byte == kOpEscape) ? 2 : 1;
}

std::size_t whole_characters(std::string_view text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t step = character_width(text, end);
        if (end + step > limit) break;
        end += step;
    }
    return std::min(end, text.size());
}

void compose_and_print(Runtime& rt, std::string_view args, std::string* destination) {
    int file = 0;
    std::string_view rest = args;
    if (!args.empty() && args[0] == '#') {
        file = file_prefix(rt, args, destination != nullptr, rest);
        if (file == 0) return;
    }
    bool using_form = starts_with_using(rest);
    std::string copy;
    strip_blanks(args, copy);
    bool ends_line = copy.empty() || copy.back() != ';';
    std::string_view items = copy;
    if (file != 0) items.remove_prefix(items.find(',') + 1);

    std::string out;
    if (using_form)
        format_with_picture(rt, items.substr(kUsing.size()), out);
    else
        compose_list(rt, items, out);
    // Stopped from outside while composing (a closed window, a signal): the statement never
    // finished, so its half-made line is not shown. After an error it is, as composed so far.
    if (rt.host.stop && !rt.host.error_stopped) return;
    out.resize(whole_characters(out, kStatementMax - (ends_line ? 1 : 0)));
    if (ends_line) out += '\n';

    if (destination)
        *destination = std::move(out);
    else if (file != 0 && !rt.host.stop)  // after an error the files are closed already
        send_to_file(rt, file, out);
    else
        write_text(rt, out);
}

void print_statement(Runtime& rt, StatementContext& ctx) {
    compose_and_print(rt, ctx.args, nullptr);
}

}  // namespace quillon
