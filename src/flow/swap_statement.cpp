// SWAP: exchanges the values of two variables through two assignments, keeping the first
// variable's value as string value text or as a number in between.
#include <array>
#include <charconv>
#include <string>
#include <string_view>

#include "expr/assignment.h"
#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "expr/variables.h"
#include "flow/jumps.h"
#include "flow/statements.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

// The shortest text that reads back as exactly `value`, so the second variable receives the
// first one's value whole (a fixed six-decimal text would turn 0.0000001 into 0).
std::string exact_number(double value) {
    std::array<char, 32> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace

void swap_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    std::size_t comma = first_comma(args, false);
    if (comma == std::string_view::npos) {
        report_error(rt, kSyntaxError);
        return;
    }
    std::string first;
    strip_blanks(args.substr(0, comma), first);
    std::string_view second = args.substr(comma + 1);
    const int32_t before = rt.host.position;
    std::string saved;
    if (variable_type(rt, first) == kString)
        eval_string(rt, first, saved);
    else
        saved = exact_number(eval_numeric(rt, first));
    if (evaluation_failed(rt, before)) return;
    std::string text = first;
    text.append("=").append(second);
    assign(rt, text);
    if (evaluation_failed(rt, before)) return;
    text.assign(second).append("=").append(saved);
    assign(rt, text);
}

}  // namespace quillon
