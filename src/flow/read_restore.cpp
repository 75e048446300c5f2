// READ and RESTORE over the data list: items are separated by commas outside double quotes
// and counted from 0, line and label markers included; READ skips the markers it meets.
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "flow/jumps.h"
#include "flow/scan_memory.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/runtime.h"

namespace quillon {
namespace {

constexpr char kMarker = 0x01;
constexpr std::string_view kLineMarker = "\x01n";
constexpr std::string_view kLabelMarker = "\x01v";

// The end of the item that starts at `from`: the next comma outside quotes, or the list's end.
std::size_t item_end(std::string_view list, std::size_t from) {
    bool in_quotes = false;
    for (std::size_t k = from; k < list.size(); ++k) {
        if (list[k] == '"') in_quotes = !in_quotes;
        if (list[k] == ',' && !in_quotes) return k;
    }
    return list.size();
}

// Where item `index` starts; npos when the list ends first. The walk goes on from the place
// remembered by the last walk when that lies before it (the list never changes during a run).
std::size_t item_offset(Runtime& rt, int32_t index) {
    std::string_view list = rt.host.data_list;
    ScanMemory& memory = rt.flow.scans;
    int32_t item = 0;
    std::size_t at = 0;
    bool cursor = rt.flow.remember_scans && memory.data_size == list.size() &&
                  memory.data_item >= 0 && memory.data_item <= index;
    if (cursor) {
        item = memory.data_item;
        at = memory.data_offset;
    }
    for (; item < index; ++item) {
        at = item_end(list, at);
        if (at >= list.size()) return std::string_view::npos;
        ++at;
    }
    if (rt.flow.remember_scans) {
        memory.data_item = index;
        memory.data_offset = at;
        memory.data_size = list.size();
    }
    return at;
}

bool is_marker(std::string_view list, std::size_t at) {
    return at + 1 < list.size() && list[at] == kMarker &&
           (list[at + 1] == 'n' || list[at + 1] == 'v');
}

// The end of the variable name at `from`: a comma outside quotes and brackets, or the end of
// the text; npos when the text ends inside quotes or brackets.
std::size_t name_end(std::string_view names, std::size_t from) {
    bool in_quotes = false;
    int depth = 0;
    for (std::size_t k = from; k < names.size(); ++k) {
        char c = names[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) return k;
    }
    return in_quotes || depth != 0 ? std::string_view::npos : names.size();
}

// Stores one item; a string variable takes an unquoted item as the text it is.
bool store_item(Runtime& rt, std::string_view name, std::string_view item) {
    if (variable_type(rt, name) == kString && item.front() != '"' && item.back() != '"') {
        std::string quoted;
        quoted.append("\"").append(item).append("\"");
        return set_variable(rt, name, quoted);
    }
    return set_variable(rt, name, item);
}

// The line number of a line marker, read and truncated as RESTORE's argument is.
std::optional<int32_t> marker_line(std::string_view item) {
    if (item.substr(0, 2) != kLineMarker) return std::nullopt;
    double value = 0;
    auto digits = item.substr(2);
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    int32_t line = 0;
    if (error != std::errc() || end == digits.data() || !truncate_checked(value, line))
        return std::nullopt;
    return line;
}

}  // namespace

void read_statement(Runtime& rt, StatementContext& ctx) {
    auto& host = rt.host;
    std::string_view list = host.data_list;
    std::string_view names = ctx.args;
    std::size_t at = item_offset(rt, host.data_index);
    if (at == std::string_view::npos) {
        report_error(rt, kOutOfData);
        return;
    }
    const int32_t before = host.position;
    std::string name;
    for (std::size_t from = 0;;) {
        ++host.data_index;
        std::size_t end = name_end(names, from);
        if (end == std::string_view::npos) {
            report_error(rt, kSyntaxError);
            return;
        }
        for (; is_marker(list, at); ++host.data_index)
            at = std::min(item_end(list, at) + 1, list.size());
        std::size_t item_stop = item_end(list, at);
        if (item_stop == at) {
            report_error(rt, kOutOfData);  // past the data, or an empty item
            return;
        }
        strip_blanks(names.substr(from, end - from), name);  // "READ A, B" names B
        store_item(rt, name, list.substr(at, item_stop - at));
        if (evaluation_failed(rt, before) || end == names.size()) return;
        at = std::min(item_stop + 1, list.size());
        from = end + 1;
    }
}

void restore_statement(Runtime& rt, StatementContext& ctx) {
    auto& host = rt.host;
    std::string_view args = ctx.args;
    if (args.empty()) {
        host.data_index = 0;
        return;
    }
    const bool label = args[0] == '*';
    int32_t line = 0;
    if (!label) {
        const int32_t before = host.position;
        line = eval_integer(rt, args);
        if (evaluation_failed(rt, before)) return;
    }
    std::string_view list = host.data_list;
    int32_t item = 0;
    for (std::size_t at = 0;; ++item) {
        std::size_t end = item_end(list, at);
        std::string_view text = list.substr(at, end - at);
        bool match = label ? text.substr(0, 2) == kLabelMarker && text.substr(2) == args
                           : marker_line(text) == line;
        if (match) {
            host.data_index = item;
            return;
        }
        if (end >= list.size()) break;
        at = end + 1;
    }
    host.data_index = item;  // the walk ended on the last item
    report_error(rt, kCannotReference, label ? std::string(args) : std::to_string(line));
}

}  // namespace quillon
