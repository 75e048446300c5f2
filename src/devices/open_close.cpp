// OPEN and CLOSE. OPEN takes a name expression up to its first blank outside quotes, an
// optional FOR INPUT or FOR OUTPUT, and AS [#]n; a name that looks like "COMn:settings" opens a
// serial port, any other a file resolved against the program folder. FOR OUTPUT empties an
// existing file, so that a shorter new content leaves no stale tail; without FOR the file is
// opened for reading and writing in place.
#include "devices/device_statements.h"
#include "devices/file_names.h"
#include "devices/file_table.h"
#include "devices/serial_settings.h"
#include "expr/builtins.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

std::size_t skip_blanks(std::string_view text, std::size_t k) {
    while (k < text.size() && is_blank(text[k]))
        ++k;
    return k;
}

std::size_t word_end(std::string_view text, std::size_t k) {
    while (k < text.size() && !is_blank(text[k]))
        ++k;
    return k;
}

// The first blank or tab outside double quotes, or npos.
std::size_t blank_outside_quotes(std::string_view text) {
    bool quoted = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '"') quoted = !quoted;
        if (!quoted && is_blank(text[k])) return k;
    }
    return std::string_view::npos;
}

// `word` (any case) at k, followed by a blank or tab.
bool keyword_at(std::string_view text, std::size_t k, std::string_view word) {
    return word_at(text, k, word) && k + word.size() < text.size() &&
           is_blank(text[k + word.size()]);
}

// A file number written as one digit 1 to 9, "#" before it allowed; 0 when it is not one.
int file_number(std::string_view text) {
    while (!text.empty() && is_blank(text.back()))  // blanks before a ":" belong to no one
        text.remove_suffix(1);
    if (!text.empty() && text[0] == '#') text.remove_prefix(1);
    return text.size() == 1 && text[0] >= '1' && text[0] <= '9' ? text[0] - '0' : 0;
}

// Parses what follows the name: the access and the file number; false after an error.
bool open_clauses(Runtime& rt, std::string_view args, std::size_t k, Access& access, int& number) {
    k = skip_blanks(args, k);
    if (k == args.size()) return report_error(rt, kSyntaxError), false;
    access = Access::ReadWrite;
    if (keyword_at(args, k, "for")) {
        k = skip_blanks(args, k + 3);
        std::size_t end = word_end(args, k);
        if (end == args.size()) return report_error(rt, kSyntaxError), false;
        std::string_view mode = args.substr(k, end - k);
        if (equals_ignoring_case(mode, "input"))
            access = Access::Read;
        else if (equals_ignoring_case(mode, "output"))
            access = Access::Write;
        else
            return report_error(rt, kBadIdentifier, mode), false;
        k = skip_blanks(args, end);
    }
    if (!keyword_at(args, k, "as")) return report_error(rt, kSyntaxError), false;
    number = file_number(args.substr(skip_blanks(args, k + 2)));
    if (number == 0) return report_error(rt, kOutOfRange), false;
    return true;
}

}  // namespace

void open_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    std::size_t name_end = blank_outside_quotes(args);
    if (name_end == std::string_view::npos) return report_error(rt, kSyntaxError);
    std::string name;
    if (!string_argument(rt, args.substr(0, name_end), name)) return;
    Access access = Access::ReadWrite;
    int number = 0;
    if (!open_clauses(rt, args, name_end, access, number)) return;

    close_file(rt, number);
    FileSystem& files = rt.platform.file_system();
    std::unique_ptr<Channel> channel;
    if (auto port = port_name(name, rt.devices.serial)) {
        channel = files.open_port(port->device, access, port->settings);
    } else {
        resolve_path(rt, name);
        channel = files.open_file(name, access, access == Access::Write);
    }
    if (!channel) return report_error(rt, kCannotOpen);
    attach_file(rt, number, std::move(channel));
}

// Items start at the first character and after every comma: [#]digit, then a comma or the end.
void close_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    if (skip_blanks(args, 0) == args.size()) {
        close_all_files(rt);
        return;
    }
    for (std::size_t k = 0;;) {
        if (k < args.size() && args[k] == '#') ++k;
        if (k >= args.size() || args[k] < '1' || args[k] > '9')
            return report_error(rt, kOutOfRange);
        int number = args[k] - '0';
        k = skip_blanks(args, k + 1);
        if (k < args.size() && args[k] != ',') return report_error(rt, kSyntaxError);
        close_file(rt, number);
        if (k == args.size()) return;
        ++k;
    }
}

}  // namespace quillon
