// The function-call expander: rewrites a statement's argument text so that every call of a
// built-in or user-defined function, and the system names curdir$, date$, inkey$ and time$,
// become the value text of their results, innermost call first.
#include "expr/calls.h"

#include <cstdio>
#include <cstring>

#include "expr/builtins.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr int kKeyWaitMs = 1;  // inkey$ gives the window a moment first

// Letters, digits and the type suffixes may make up a function name; the letter of an
// operator token (0x01 m, 0x01 e ...) may not.
bool is_call_name_char(std::string_view text, std::size_t pos) {
    char c = text[pos];
    bool name_char =
        is_ascii_letter(c) || is_digit(c) || c == '$' || c == '%' || c == '#' || c == '!';
    return name_char && !(pos > 0 && text[pos - 1] == kOpEscape);
}

// The start of the function name before the "(" at `open`, or npos when none stands there.
// Blanks may separate the name from its bracket; the name begins with a letter.
std::size_t call_name_start(std::string_view text, std::size_t open) {
    std::size_t end = open;
    while (end > 0 && is_blank(text[end - 1]))
        --end;
    std::size_t start = end;
    while (start > 0 && is_call_name_char(text, start - 1))
        --start;
    while (start < end && !is_ascii_letter(text[start]))
        ++start;
    return start < end ? start : std::string_view::npos;
}

// The value of a system name (without its "$"); false when `name` is none of the four.
bool system_name_value(Runtime& rt, std::string_view name, std::string& value) {
    char buffer[48];
    if (equals_ignoring_case(name, "curdir")) {
        encode_string(rt.devices.program_folder, value);
    } else if (equals_ignoring_case(name, "date")) {
        LocalTime now = rt.platform.local_time();
        std::snprintf(buffer, sizeof buffer, "\"%d/%02d/%02d\"", now.year, now.month, now.day);
        value = buffer;
    } else if (equals_ignoring_case(name, "time")) {
        LocalTime now = rt.platform.local_time();
        std::snprintf(buffer, sizeof buffer, "\"%02d:%02d:%02d\"", now.hour, now.minute,
                      now.second);
        value = buffer;
    } else if (equals_ignoring_case(name, "inkey")) {
        read_key_text(rt, value);
    } else {
        return false;
    }
    return true;
}

// Refuses a text that has grown past a statement's size; true while it fits. The text is cut
// to that size, so that a statement going on under an error trap stays within it.
bool fits(Runtime& rt, std::string& text) {
    if (text.size() <= kStatementMax) return true;
    text.resize(kStatementMax);
    report_error(rt, kMemoryRange);
    return false;
}

// Pass a: every "$" outside quotes ends a name; the four system names become their values.
void expand_system_names(Runtime& rt, std::string& text) {
    bool quoted = false;
    std::string value;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '"') quoted = !quoted;
        if (quoted || text[k] != '$') continue;
        std::size_t start = k;
        while (start > 0 && (is_ascii_letter(text[start - 1]) || is_digit(text[start - 1])) &&
               !(start > 1 && text[start - 2] == kOpEscape))
            --start;
        if (!system_name_value(rt, std::string_view(text).substr(start, k - start), value))
            continue;
        text.replace(start, k + 1 - start, value);
        k = start + value.size() - 1;  // the value's quotes are balanced: skip it whole
    }
}

// Pass b: outside quotes every ")" closes an open "(" and none is left open.
bool brackets_balance(std::string_view text) {
    int depth = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && --depth < 0) return false;
    }
    return depth == 0;
}

// Writes 0x01 a and 0x01 b over the bracket pair at `open` and `close`; returns the position
// of the hidden closing bracket's second byte.
std::size_t hide_pair(std::string& text, std::size_t open, std::size_t close) {
    text[close] = kOpEscape;
    text.insert(close + 1, 1, kHiddenClose);
    text[open] = kOpEscape;
    text.insert(open + 1, 1, kHiddenOpen);
    return close + 2;
}

// Pass c: each innermost bracket pair (no "(" before its ")") is a call when a name stands
// before it, and is replaced by the call's value; any other is hidden. True when the text
// changed.
bool expand_innermost(Runtime& rt, std::string& text) {
    bool quoted = false;
    bool changed = false;
    std::size_t open = std::string::npos;
    std::string result;
    for (std::size_t k = 0; k < text.size() && !rt.host.stop; ++k) {
        char c = text[k];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') open = k;
        if (c != ')' || open == std::string::npos) continue;
        changed = true;
        std::size_t name = call_name_start(text, open);
        if (name == std::string::npos) {
            k = hide_pair(text, open, k);
        } else {
            call_function(rt, std::string_view(text).substr(name, k + 1 - name), result);
            text.replace(name, k + 1 - name, result);
            k = name + result.size() - 1;                     // skip the value whole, as in pass a
            if (text.size() > kStatementMax) return changed;  // refused by the caller
        }
        open = std::string::npos;
    }
    return changed;
}

// Step d: a "(" outside quotes with a name before it is a call still to be made.
bool call_left(std::string_view text) {
    bool quoted = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '"') quoted = !quoted;
        if (!quoted && text[k] == '(' && call_name_start(text, k) != std::string_view::npos)
            return true;
    }
    return false;
}

// A definition statement keeps its text: def followed by a blank or tab.
bool is_definition(std::string_view text) {
    return text.size() > 3 && equals_ignoring_case(text.substr(0, 3), "def") && is_blank(text[3]);
}

// Hides the brackets outside quotes of an unknown call's text.
void hide_all_brackets(std::string_view call, std::string& out) {
    out.clear();
    bool quoted = false;
    for (char c : call) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == '(' || c == ')')) {
            out += kOpEscape;
            out += c == '(' ? kHiddenOpen : kHiddenClose;
        } else {
            out += c;
        }
    }
}

}  // namespace

void restore_hidden_brackets(std::string& text) {
    std::size_t write = 0;
    for (std::size_t read = 0; read < text.size(); ++read) {
        char c = text[read];
        if (c == kOpEscape && read + 1 < text.size()) {
            char next = text[read + 1];
            if (next == kHiddenOpen || next == kHiddenClose) {
                text[write++] = next == kHiddenOpen ? '(' : ')';
                ++read;
                continue;
            }
            text[write++] = c;  // any other pair (an escape or operator token) stays whole
            c = text[++read];
        }
        text[write++] = c;
    }
    text.resize(write);
}

void expand_calls(Runtime& rt, std::string& text) {
    // Most statements hold neither: leave them at the cost of two byte scans.
    bool has_bracket = std::memchr(text.data(), '(', text.size()) != nullptr;
    bool has_dollar = std::memchr(text.data(), '$', text.size()) != nullptr;
    if ((!has_bracket && !has_dollar) || is_definition(text)) return;
    if (!has_bracket) {
        expand_system_names(rt, text);
        fits(rt, text);
        return;
    }
    // Every changing pass replaces or hides at least one real bracket pair, so the passes end;
    // the bound only guards against value text whose quotes do not pair up. Hidden brackets are
    // restored on every way out: under an error trap the statement goes on with its text.
    for (std::size_t pass = 0; pass <= kStatementMax && !rt.host.stop; ++pass) {
        expand_system_names(rt, text);
        if (!fits(rt, text)) break;
        if (!brackets_balance(text)) {
            report_error(rt, kSyntaxError);
            break;
        }
        bool changed = expand_innermost(rt, text);
        if (!fits(rt, text) || !changed || !call_left(text)) break;
    }
    restore_hidden_brackets(text);
}

void call_function(Runtime& rt, std::string_view call, std::string& out) {
    std::string text;
    strip_blanks(call, text);
    restore_hidden_brackets(text);
    std::size_t open = text.find('(');
    std::size_t close = open == std::string::npos ? open : closing_bracket(text, open, true);
    if (close == std::string::npos) {
        report_error(rt, kSyntaxError);
        out.clear();
        return;
    }
    std::string_view name = std::string_view(text).substr(0, open);
    std::string_view args = std::string_view(text).substr(open + 1, close - open - 1);
    if (call_builtin(rt, name, args, out)) return;
    if (call_user_function(rt, name, args, out)) return;
    hide_all_brackets(call, out);
}

void read_key_text(Runtime& rt, std::string& out) {
    rt.platform.sleep_ms(kKeyWaitMs);
    rt.platform.want_keys(KeyDemand::Poll);
    int key = rt.screen.last_key.exchange(-1);
    encode_string(key < 0 ? std::string() : std::string(1, static_cast<char>(key)), out);
}

}  // namespace quillon
