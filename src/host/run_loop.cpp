// The run loop walks the program text byte by byte with one position, cuts out one statement
// at a time and dispatches it by its token. Jumps, loops and IF only move the position.
#include "host/run_loop.h"

#include <cstdlib>
#include <string>

#include "devices/file_table.h"
#include "devices/printer.h"
#include "devices/sound.h"
#include "expr/assignment.h"
#include "expr/calls.h"
#include "expr/value_text.h"
#include "graphics/graphics_statements.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/prepared_statement.h"
#include "host/runtime.h"
#include "host/startup.h"
#include "host/text_scan.h"
#include "host/token_table.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

constexpr uint16_t kIfToken = 0x1020;
constexpr uint16_t kGotoToken = 0x1021;
constexpr uint16_t kDefFnToken = 0x1077;

// Messages of the refused statements (Shift-JIS).
constexpr char kChainRefused[] =
    "Chain \x96\xBD\x97\xDF\x8C\xEA\x82\xCD\x8Eg\x97p\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";  // Chain 命令語は使用できません
constexpr char kRunRefused[] =
    "Run \x96\xBD\x97\xDF\x8C\xEA\x82\xCD\x8Eg\x97p\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";  // Run
                                                                                               // 命令語は使用できません

bool is_if_statement(std::string_view statement) {
    return statement.size() >= 2 && static_cast<uint8_t>(statement[0]) == (kIfToken >> 8) &&
           static_cast<uint8_t>(statement[1]) == (kIfToken & 0xFF);
}

// The end of a run of bytes from `from` that cannot end a statement or change the quote state:
// the first line feed, NUL, ":" or double quote after it, or the end of the text.
std::size_t plain_run_end(std::string_view text, std::size_t from) {
    std::size_t k = from;
    while (k < text.size() && text[k] != '\n' && text[k] != '\0' && text[k] != ':' &&
           text[k] != '"')
        ++k;
    return k;
}

// The line number read from its buffer as strtol does; plain digits are read directly.
int32_t line_number_value(std::string_view digits) {
    constexpr std::size_t kPlainDigitsMax = 18;  // no overflow below 10^18
    bool plain = !digits.empty() && digits.size() <= kPlainDigitsMax;
    int64_t value = 0;
    for (std::size_t k = 0; plain && k < digits.size(); ++k) {
        plain = is_digit(digits[k]);
        if (plain) value = value * 10 + (digits[k] - '0');
    }
    if (plain) return static_cast<int32_t>(value);
    return static_cast<int32_t>(std::strtol(std::string(digits).c_str(), nullptr, 10));
}

void run_pending_statement(Runtime& rt) {
    std::string pending;
    bool notified = false;
    {
        std::lock_guard lock(rt.host.pending_mutex);
        pending.swap(rt.host.pending);
        std::swap(notified, rt.host.media_notified);
        rt.host.has_pending = false;
    }
    if (!pending.empty()) dispatch_statement(rt, pending);
    if (notified) run_media_notification(rt);
}

enum class After { kGoOn, kStopped, kEnded };

// The run loop at the separator after a statement has run: the pending statement, then the
// mode for what follows, as the byte at the position (a handler may have moved it) says.
After after_statement(Runtime& rt, int& mode) {
    auto& host = rt.host;
    if (host.stop) return After::kStopped;
    if (host.has_pending) run_pending_statement(rt);
    char now = program_byte(host, host.position);
    if (now == '\n' || host.position == -1) {
        host.inline_branch = false;
        mode = 0;
        host.statement_mark = host.position;
    }
    if (now == ':') {
        mode = 1;
        host.statement_mark = host.position;
        while (is_blank(program_byte(host, host.position + 1)))
            ++host.position;
    } else if (host.inline_branch) {
        mode = 1;
        host.statement_mark = host.position;
    }
    if (now == '\0' && host.position >= 0) {
        program_end_cleanup(rt);
        return After::kEnded;
    }
    return After::kGoOn;
}

// A line number at `from` that ends at a blank, with none of the bytes that end a statement or
// open a quote before it, read in one piece as the byte-by-byte reading would read it. `next`
// receives the position after the blank.
bool plain_line_number(const HostState& host, int32_t from, int32_t& number, int32_t& next) {
    std::string_view text = host.program;
    auto start = static_cast<std::size_t>(from);
    std::size_t k = start;
    while (k < text.size() && k - start < kLineNumberMax && text[k] != ' ' && text[k] != '\n' &&
           text[k] != ':' && text[k] != '"')
        ++k;
    if (k >= text.size() || text[k] != ' ') return false;
    number = line_number_value(text.substr(start, k - start));
    next = static_cast<int32_t>(k + 1);
    return true;
}

bool read_plain_line_number(HostState& host) {
    return plain_line_number(host, host.position, host.line_number, host.position);
}

// Where the run loop goes after a statement whose handler left the position at its separator:
// past a ":" and its blanks to the next statement, or past a line feed and a plain line
// number to the line's first statement. False for anything else (the text's end, for one).
bool plain_successor(const HostState& host, int32_t end, PreparedStatement::Successor& next) {
    char separator = program_byte(host, end);
    if (separator == ':') {
        int32_t pos = end;
        while (is_blank(program_byte(host, pos + 1)))
            ++pos;
        next.start = pos + 1;
        next.new_line = false;
        return true;
    }
    if (separator != '\n' || end < 0) return false;
    next.new_line = true;
    return plain_line_number(host, end + 1, next.line_number, next.start);
}

// Runs prepared statements from `prepared` on. A statement that leaves the position at its
// separator, with nothing pending, is followed by the statement after it, found once and
// remembered; any other ends the chain at its separator, as the byte-by-byte reading ends a
// statement.
After run_prepared_chain(Runtime& rt, PreparedStatement* prepared, int& mode) {
    auto& host = rt.host;
    auto& cache = host.prepared;
    for (;;) {
        const bool inline_branch = host.inline_branch;
        host.position = prepared->end;
        if (!prepared->text.empty()) {
            rt.platform.before_statement(++host.statements_run);
            if (prepared->skip_line) host.position = prepared->line_end;
            if (prepared->dispatch) run_prepared(rt, *prepared);
        }
        const bool falls_through = host.position == prepared->end &&
                                   host.inline_branch == inline_branch && !host.stop &&
                                   !host.has_pending;
        PreparedStatement::Successor& next = prepared->successor;
        if (!falls_through || next.none) return after_statement(rt, mode);
        PreparedStatement* following = next.statement;
        if (following == nullptr) {
            PreparedStatement::Successor found;
            if (!plain_successor(host, prepared->end, found)) {
                next.none = true;
                return after_statement(rt, mode);
            }
            const uint64_t clears = cache.clears();
            found.statement = prepared_at(rt, found.start, found.new_line ? false : inline_branch);
            if (found.statement == nullptr) return after_statement(rt, mode);
            if (cache.clears() == clears) next = found;  // else `prepared` has gone with the rest
            following = found.statement;
            // The run loop's steps over the separator (and the line number), as below.
            host.statement_mark = host.position;
            if (found.new_line) {
                host.inline_branch = false;
                host.line_number = found.line_number;
            }
            prepared = following;
            continue;
        }
        host.statement_mark = host.position;
        if (next.new_line) {
            host.inline_branch = false;
            host.line_number = next.line_number;
        }
        prepared = following;
    }
}

// Statement contexts are reused: one per dispatch depth (nested dispatches come from the error
// trap and pending statements).
StatementContext& acquire_context(HostState& host) {
    if (host.dispatch_depth >= host.contexts.size())
        host.contexts.push_back(std::make_unique<StatementContext>());
    return *host.contexts[host.dispatch_depth++];
}

}  // namespace

char program_byte(const HostState& host, int32_t pos) {
    if (pos < 0) return '\n';
    if (static_cast<std::size_t>(pos) >= host.program.size()) return '\0';
    return host.program[static_cast<std::size_t>(pos)];
}

void trim_trailing_blanks(std::string& text) {
    std::size_t keep = text.size() >= 2 && is_token_lead(static_cast<uint8_t>(text[0])) ? 2 : 0;
    while (text.size() > keep && is_blank(text.back()))
        text.pop_back();
}

void cut_before_then(std::string& statement) {
    for (std::size_t k = 0; k + 5 < statement.size(); ++k) {
        char b = statement[k];
        if (!is_blank(b) && b != ')') continue;
        if (!word_at(statement, k + 1, "then")) continue;
        char after = statement[k + 5];
        if (!is_blank(after) && after != ':') continue;
        statement.resize(b == ')' ? k + 1 : k);
        return;
    }
}

bool cut_statement(const HostState& host, int32_t start, std::string& statement, int32_t& end) {
    statement.clear();
    bool in_quotes = false;
    for (int32_t pos = start;; ++pos) {
        char c = program_byte(host, pos);
        if (statement.empty() && is_token_lead(static_cast<uint8_t>(c))) {
            char before = program_byte(host, pos - 1);
            if (before == ' ' || before == ':') {
                statement += c;
                statement += program_byte(host, pos + 1);
                pos += 2;
                c = program_byte(host, pos);
            }
        }
        if (c != '\n' && c != '\0' && (c != ':' || in_quotes)) {
            auto from = static_cast<std::size_t>(pos);
            std::size_t run = c == '"' ? from + 1 : plain_run_end(host.program, from + 1);
            if (statement.size() + (run - from) > kStatementMax) return false;
            statement.append(host.program, from, run - from);
            pos = static_cast<int32_t>(run - 1);
        } else if (c == ':' && is_if_statement(statement)) {
            statement += c;  // an IF statement runs to the end of its line
            in_quotes = false;
        } else {
            trim_trailing_blanks(statement);
            end = pos;
            return true;
        }
        if (pos >= 0 && program_byte(host, pos) == '"') in_quotes = !in_quotes;
    }
}

bool dispatch_statement(Runtime& rt, std::string_view statement) {
    auto& host = rt.host;
    if (host.stop) return false;
    if (host.dispatch_depth == 0) host.statement_trapped = false;  // a new statement
    StatementContext& ctx = acquire_context(host);
    struct Release {
        HostState& host;
        ~Release() { --host.dispatch_depth; }
    } release{host};

    ctx.statement.assign(statement);
    ctx.handled = false;
    ctx.scan_index = 0;
    ctx.args.clear();
    ctx.command.clear();
    ctx.token = 0;
    const auto first = static_cast<uint8_t>(statement.empty() ? 0 : statement[0]);
    if (is_token_lead(first) && statement.size() >= 2) {
        ctx.command.assign(statement.substr(0, 2));
        ctx.token = static_cast<uint16_t>(first * 256 + static_cast<uint8_t>(statement[1]));
        if (statement.size() >= 4 && statement[2] == ' ') {
            if (ctx.token == kIfToken) cut_before_then(ctx.statement);
            if (ctx.statement.size() > 3) ctx.args.assign(ctx.statement, 3);
            // A function definition keeps its body as written: the calls in it are expanded
            // at each call of the function, with the values of that moment.
            if (ctx.token != kDefFnToken) expand_calls(rt, ctx.args);
        }
    } else if (first != '*') {
        // The argument field, which keeps its capacity, holds the assignment while it runs.
        ctx.args.assign(statement);
        expand_calls(rt, ctx.args);
        if (!host.stop) assign(rt, ctx.args);
        ctx.args.clear();
        ctx.handled = true;
    } else {
        ctx.handled = true;  // a label does nothing
    }
    if (ctx.token != 0 && !host.stop) {
        if (const TokenEntry* entry = find_token(ctx.token)) {
            ctx.handled = true;
            entry->handler(rt, ctx);
        }
    }
    if (!ctx.handled) {
        if (!host.stop) report_error(rt, kBadIdentifier, ctx.command);
        return false;
    }
    return true;
}

bool branch_part_filter(Runtime& rt, std::string& statement) {
    auto& host = rt.host;
    BranchPart part = filter_branch_part(statement);
    if (part.skip_line) {  // the rest of the line is skipped
        while (program_byte(host, host.position) != '\n' &&
               program_byte(host, host.position) != '\0')
            ++host.position;
    }
    return part.dispatch;
}

BranchPart filter_branch_part(std::string& statement) {
    BranchPart part;
    if (is_if_statement(statement)) return part;
    bool in_quotes = false;
    for (std::size_t k = 0; k < statement.size(); ++k) {
        char c = statement[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        bool at_start = k == 0;
        if (!at_start && !(is_blank(c) || c == ')')) continue;
        std::size_t word = at_start ? 0 : k + 1;
        if (!word_at(statement, word, "else") || word + 4 >= statement.size() ||
            !is_blank(statement[word + 4]))
            continue;
        part.skip_line = true;
        if (word == 0) {
            part.dispatch = false;
            return part;
        }
        statement.resize(is_blank(c) ? k : k + 1);
        trim_trailing_blanks(statement);
        break;
    }
    bool digits = !statement.empty();
    for (char c : statement)
        digits = digits && c >= '0' && c <= '9';
    bool label = statement.size() >= 1 && statement[0] == '*';
    for (std::size_t k = 1; label && k < statement.size(); ++k) {
        char c = statement[k];
        label = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    if (digits || label) {
        std::string jump;
        jump += static_cast<char>(kGotoToken >> 8);
        jump += static_cast<char>(kGotoToken & 0xFF);
        jump += ' ';
        jump += statement;
        statement.swap(jump);
    }
    return part;
}

int run_program(Runtime& rt) {
    auto& host = rt.host;
    std::string line_number;
    std::string statement;
    statement.reserve(kStatementMax + 1);
    int mode = 0;  // 0 reading a line number, 1 reading a statement
    bool in_quotes = false;
    host.running = true;
    if (host.prepare_statements) host.prepared.use_text(host.program);

    for (;;) {
        if (host.stop) return 0;
        if (host.prepare_statements && host.position >= 0 && !in_quotes) {
            // Line numbers and statements read in one piece where nothing unusual stands in
            // them; the byte-by-byte reading below takes everything else.
            if (mode == 0 && line_number.empty() && read_plain_line_number(host)) {
                mode = 1;
                continue;
            }
            if (mode == 1 && statement.empty()) {
                if (PreparedStatement* prepared =
                        prepared_at(rt, host.position, host.inline_branch)) {
                    After after = run_prepared_chain(rt, prepared, mode);
                    if (after != After::kGoOn) return after == After::kEnded ? 1 : 0;
                    if (host.position >= 0 && program_byte(host, host.position) == '"')
                        in_quotes = true;
                    ++host.position;
                    continue;
                }
            }
        }
        char c = program_byte(host, host.position);
        if (mode == 0) {
            if (line_number.size() >= kLineNumberMax && c != ' ' && c != '\n' && c != '\0') {
                report_error(rt, kSyntaxError);  // a line number longer than 19 characters
                return 0;
            }
            line_number += c;
        } else {
            if (statement.empty() && is_token_lead(static_cast<uint8_t>(c))) {
                char before = program_byte(host, host.position - 1);
                if (before == ' ' || before == ':') {
                    statement += c;
                    statement += program_byte(host, host.position + 1);
                    host.position += 2;
                    c = program_byte(host, host.position);
                }
            }
            bool ends = c == '\n' || c == '\0' || (c == ':' && !in_quotes);
            if (!ends) {
                // The byte and the plain bytes after it are taken in one piece; the loop goes
                // on from the last of them.
                auto from = static_cast<std::size_t>(host.position);
                std::size_t end = c == '"' ? from + 1 : plain_run_end(host.program, from + 1);
                if (statement.size() + (end - from) > kStatementMax) {
                    host.position = static_cast<int32_t>(from + kStatementMax - statement.size());
                    report_error(rt, kSyntaxError);  // a statement longer than 8191 bytes
                    return 0;
                }
                statement.append(host.program, from, end - from);
                host.position = static_cast<int32_t>(end - 1);
            }
        }

        if (c == ' ' && mode == 0) {
            line_number.pop_back();
            host.line_number = line_number_value(line_number);
            line_number.clear();
            statement.clear();
            mode = 1;
        } else if (c == '\n' || c == '\0' || (c == ':' && !in_quotes)) {
            in_quotes = false;
            if (c == ':' && mode == 1 && is_if_statement(statement)) {
                statement += c;  // an IF statement runs to the end of its line
            } else {
                // Trailing blanks go first, so a line of only blanks after its number is empty.
                trim_trailing_blanks(statement);
                if (mode == 1 && !statement.empty()) {
                    rt.platform.before_statement(++host.statements_run);
                    if (!host.inline_branch || branch_part_filter(rt, statement))
                        dispatch_statement(rt, statement);
                }
                statement.clear();
                line_number.clear();
                After after = after_statement(rt, mode);
                if (after != After::kGoOn) return after == After::kEnded ? 1 : 0;
            }
        }
        if (host.position >= 0 && program_byte(host, host.position) == '"') in_quotes = !in_quotes;
        ++host.position;
    }
}

void set_pending_statement(Runtime& rt, std::string_view statement) {
    std::lock_guard lock(rt.host.pending_mutex);
    rt.host.pending.assign(statement);
    rt.host.has_pending = !rt.host.pending.empty() || rt.host.media_notified;
}

void post_media_notification(Runtime& rt) {
    std::lock_guard lock(rt.host.pending_mutex);
    rt.host.media_notified = true;
    rt.host.has_pending = true;
}

void program_end_cleanup(Runtime& rt) {
    rt.screen.input_waiting = false;
    rt.host.stop = true;
    rt.screen.caret_flag = true;
    if (rt.host.cleaned_up.exchange(true)) return;  // every resource is released once
    rt.flow.gosub_depth = 0;
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        rt.graphics.text_colour = kWhite;
        rt.graphics.background_colour = kBlack;
        rt.screen.view.on = false;
    }
    release_images(rt);
    close_all_files(rt);
    end_print_job(rt);
    close_sound(rt);
    // The text stays readable until the run loop has returned, so that a handler still
    // scanning it after an error never reads freed memory.
    rt.host.program_released = true;
}

void statement_not_built(Runtime& rt, StatementContext& ctx) {
    ctx.handled = false;  // reported as an unknown token by the dispatcher
}

void end_statement(Runtime& rt, StatementContext&) {
    program_end_cleanup(rt);
}

void data_statement(Runtime&, StatementContext&) {}  // its items are in the data list

void chain_statement(Runtime& rt, StatementContext&) {
    report_error(rt, kOwnMessage, kChainRefused);
}

void run_statement(Runtime& rt, StatementContext&) {
    report_error(rt, kOwnMessage, kRunRefused);
}

void clear_statement(Runtime& rt, StatementContext&) {
    reset_program(rt);
}

}  // namespace quillon
