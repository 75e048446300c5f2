// User-defined functions: DEF FN stores a head and a body in the table; a call binds the
// arguments to the parameters as ordinary variables and evaluates the body, whose own calls are
// expanded then, with the values of that moment.
#include <string>
#include <vector>

#include "expr/assignment.h"
#include "expr/builtins.h"
#include "expr/calls.h"
#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"

namespace quillon {
namespace {

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The pieces of a parameter or argument list; a list of blanks has none.
std::vector<std::string_view> split_list(std::string_view list) {
    std::vector<std::string_view> items;
    for_each_argument(trim_blanks(list), [&](std::string_view item) { items.push_back(item); });
    return items;
}

const UserFunction* find_user_function(const Runtime& rt, std::string_view name) {
    for (const UserFunction& entry : rt.expr.user_functions)
        if (entry.name == name) return &entry;
    return nullptr;
}

// Assigns each argument to its parameter; the counts must agree (error 10).
bool bind_parameters(Runtime& rt, const UserFunction& function, std::string_view args) {
    std::vector<std::string_view> params = split_list(function.params);
    std::vector<std::string_view> values = split_list(args);
    if (params.size() != values.size()) {
        report_error(rt, kArgumentCount);
        return false;
    }
    std::string assignment;
    for (std::size_t k = 0; k < params.size() && !rt.host.stop; ++k) {
        assignment.assign(trim_blanks(params[k]));
        assignment += '=';
        assignment += values[k];
        assign(rt, assignment);
    }
    return !rt.host.stop;
}

// Evaluates the body: calls in it are expanded now, with the values of this call.
void evaluate_body(Runtime& rt, const UserFunction& function, std::string& out) {
    std::string body = function.body;
    expand_calls(rt, body);
    if (rt.host.stop) return;
    if (function.name.back() == '$')
        eval_string(rt, body, out);
    else
        out = format_general(eval_numeric(rt, body));
}

}  // namespace

bool call_user_function(Runtime& rt, std::string_view name, std::string_view args,
                        std::string& out) {
    const UserFunction* found = find_user_function(rt, name);
    if (!found) return false;
    out = name.back() == '$' ? "\"\"" : "0";
    if (rt.expr.abandoning_calls) return true;
    // A body that calls its own function never ends: refuse it before the stack runs out.
    if (rt.expr.user_call_depth >= kUserCallDepthMax) {
        report_error(rt, kMemoryRange);
        rt.expr.abandoning_calls = true;  // even when the statement was trapped before
        return true;
    }
    const bool trapped_before = rt.host.statement_trapped;
    ++rt.expr.user_call_depth;
    if (bind_parameters(rt, *found, args)) evaluate_body(rt, *found, out);
    --rt.expr.user_call_depth;
    // An error trapped inside a call ends the whole chain of calls it was made in, as a
    // stop would; the statement then goes on with the outermost call's default value. (Going
    // on inside a body that calls itself more than once would take for ever.)
    if (!trapped_before && rt.host.statement_trapped && rt.expr.user_call_depth > 0)
        rt.expr.abandoning_calls = true;
    if (rt.expr.user_call_depth == 0) rt.expr.abandoning_calls = false;
    return true;
}

void reset_user_functions(Runtime& rt) {
    rt.expr.user_functions.clear();
    rt.expr.user_call_depth = 0;
    rt.expr.abandoning_calls = false;
    ++rt.expr.variables.generation;
}

// DEF FN: head=body. The head is the name and its bracketed parameters; the body is kept as
// written. A head or body that does not fit a table entry, or a full table, is error 12.
void define_function(Runtime& rt, StatementContext& ctx) {
    std::string_view text = ctx.args;
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return report_error(rt, kSyntaxError);
    std::string_view head = trim_blanks(text.substr(0, equals));
    std::string_view body = text.substr(equals + 1);
    if (head.size() > kUserFunctionTextMax || body.size() > kUserFunctionTextMax ||
        rt.expr.user_functions.size() >= static_cast<std::size_t>(kUserFunctionMax))
        return report_error(rt, kMemoryRange);
    UserFunction function;
    std::size_t open = head.find('(');
    function.name = trim_blanks(head.substr(0, open));
    if (open != std::string_view::npos) {
        if (head.back() != ')' || head.size() < open + 2) return report_error(rt, kSyntaxError);
        function.params = head.substr(open + 1, head.size() - open - 2);
    }
    if (function.name.empty()) return report_error(rt, kSyntaxError);
    function.body = body;
    rt.expr.user_functions.push_back(std::move(function));
    ++rt.expr.variables.generation;  // a missing variable or an array may now be this function
}

}  // namespace quillon
