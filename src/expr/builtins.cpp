// The built-in function table (written once: name, argument counts, body), the common argument
// check, and the numeric bodies. String bodies live in string_functions.cpp, the width
// conversions in width_conversion.cpp, and the bodies that read devices in device_functions.cpp.
#include "expr/builtins.h"

#include <cmath>
#include <cstdint>

#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/runtime.h"

namespace quillon {
namespace {

// The function-misuse names shown by error 18.
constexpr char kLogName[] = "Log";
constexpr char kSqrName[] = "Sqr";

void abs_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_general(std::fabs(numeric_argument(rt, a.item[0])));
}
void atn_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_general(std::atan(numeric_argument(rt, a.item[0])));
}
void cdbl_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_general(numeric_argument(rt, a.item[0]));
}
// Rounded half up: 2.5 gives 3, -2.5 gives -2.
void cint_function(Runtime& rt, const Arguments& a, std::string& out) {
    double x = numeric_argument(rt, a.item[0]);
    double whole = std::floor(x);
    write_whole_number(x - whole >= 0.5 ? whole + 1 : whole, out);
}
void csng_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_single(numeric_argument(rt, a.item[0]));
}
void cos_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_general(std::cos(numeric_argument(rt, a.item[0])));
}
void exp_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_general(std::exp(numeric_argument(rt, a.item[0])));
}
void fix_function(Runtime& rt, const Arguments& a, std::string& out) {
    write_whole_number(std::trunc(numeric_argument(rt, a.item[0])), out);
}
void int_function(Runtime& rt, const Arguments& a, std::string& out) {
    write_whole_number(std::floor(numeric_argument(rt, a.item[0])), out);
}
void log_function(Runtime& rt, const Arguments& a, std::string& out) {
    double x = numeric_argument(rt, a.item[0]);
    if (rt.host.stop) return;
    if (x <= 0) {
        report_error(rt, kFunctionMisuse, kLogName);  // the result stays 0
        return;
    }
    out = format_general(std::log(x));
}
void sgn_function(Runtime& rt, const Arguments& a, std::string& out) {
    double x = numeric_argument(rt, a.item[0]);
    out = format_integer(x > 0 ? 1 : (x < 0 ? -1 : 0));
}
void sin_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_general(std::sin(numeric_argument(rt, a.item[0])));
}
void sqr_function(Runtime& rt, const Arguments& a, std::string& out) {
    double x = numeric_argument(rt, a.item[0]);
    if (rt.host.stop) return;
    if (x < 0) {
        report_error(rt, kFunctionMisuse, kSqrName);  // the result stays 0
        return;
    }
    out = format_general(std::sqrt(x));
}
void tan_function(Runtime& rt, const Arguments& a, std::string& out) {
    out = format_general(std::tan(numeric_argument(rt, a.item[0])));
}

using Body = void (*)(Runtime&, const Arguments&, std::string&);

// The argument text is handed over whole, uncounted.
constexpr int kWhole = -1;

struct Builtin {
    std::string_view name;  // lower case; calls match it in any letter case
    int min_args;           // kWhole: the argument text is taken whole
    int max_args;
    Body body;
};

constexpr Builtin kBuiltins[] = {
    {"abs", 1, 1, abs_function},
    {"akcnv$", kWhole, kWhole, akcnv_function},
    {"asc", 1, 1, asc_function},
    {"atn", 1, 1, atn_function},
    {"cdbl", 1, 1, cdbl_function},
    {"chr$", 1, 1, chr_function},
    {"cint", 1, 1, cint_function},
    {"csng", 1, 1, csng_function},
    {"cos", 1, 1, cos_function},
    {"eof", 1, 1, eof_function},
    {"exp", 1, 1, exp_function},
    {"fix", 1, 1, fix_function},
    {"hex$", 1, 1, hex_function},
    {"input$", kWhole, kWhole, input_function},
    {"instr", 2, 3, instr_function},
    {"int", 1, 1, int_function},
    {"kacnv$", kWhole, kWhole, kacnv_function},
    {"keystate", 1, 1, keystate_function},
    {"kinstr", 2, 3, kinstr_function},
    {"klen", 1, 1, klen_function},
    {"kmid$", 2, 3, kmid_function},
    {"left$", 2, 2, left_function},
    {"len", 1, 1, len_function},
    {"lof", 1, 1, lof_function},
    {"log", 1, 1, log_function},
    {"mid$", 2, 3, mid_function},
    {"mousestate", 1, 1, mousestate_function},
    {"oct$", 1, 1, oct_function},
    {"point", 2, 2, point_function},
    {"rgb", 3, 3, rgb_function},
    {"right$", 2, 2, right_function},
    {"rnd", 0, 1, rnd_function},
    {"sgn", 1, 1, sgn_function},
    {"sin", 1, 1, sin_function},
    {"spc", 1, 1, space_function},
    {"space$", 1, 1, space_function},
    {"sqr", 1, 1, sqr_function},
    {"str$", 1, 1, str_function},
    {"string$", 2, 2, string_function},
    {"tan", 1, 1, tan_function},
    {"val", 1, 1, val_function},
};

const Builtin* find_builtin(std::string_view name) {
    for (const Builtin& entry : kBuiltins)
        if (equals_ignoring_case(name, entry.name)) return &entry;
    return nullptr;
}

}  // namespace

Arguments split_arguments(std::string_view args) {
    Arguments result;
    result.whole = args;
    result.balanced = for_each_argument(args, [&](std::string_view piece) {
        if (result.count < Arguments::kMax)
            result.item[static_cast<std::size_t>(result.count)] = piece;
        ++result.count;
    });
    return result;
}

int check_arguments(Runtime& rt, std::string_view args, int expected, bool report) {
    Arguments split = split_arguments(args);
    if (!split.balanced) {
        report_error(rt, kSyntaxError);
        return -1;
    }
    if (split.count != expected && report) report_error(rt, kArgumentCount);
    return split.count;
}

bool is_builtin(std::string_view name) {
    return find_builtin(name) != nullptr;
}

bool call_builtin(Runtime& rt, std::string_view name, std::string_view args, std::string& out) {
    const Builtin* entry = find_builtin(name);
    if (!entry) return false;
    bool string_result = name.back() == '$';
    out = string_result ? "\"\"" : "0";  // what a failed body leaves behind
    Arguments split = split_arguments(args);
    if (entry->min_args != kWhole) {
        if (!split.balanced) {
            report_error(rt, kSyntaxError);
            return true;
        }
        if (split.count < entry->min_args || split.count > entry->max_args) {
            report_error(rt, kArgumentCount);
            return true;
        }
    }
    entry->body(rt, split, out);
    if (!is_quoted(out) && !std::isfinite(parse_decimal(out))) {
        report_error(rt, kOutOfRange);  // exp(1000), val("1e999"): no number to go on with
        out.assign(1, '0');
    }
    return true;
}

double numeric_argument(Runtime& rt, std::string_view text) {
    return eval_numeric(rt, text);
}

int32_t integer_argument(Runtime& rt, std::string_view text) {
    return eval_integer(rt, text);
}

bool string_argument(Runtime& rt, std::string_view text, std::string& raw) {
    std::string value;
    eval_string(rt, text, value);
    raw.clear();
    if (rt.host.stop) return false;
    if (!is_quoted(value)) {
        report_error(rt, kTypeMismatch);
        return false;
    }
    return decode_string(rt, std::string_view(value).substr(1, value.size() - 2), raw);
}

void write_whole_number(double value, std::string& out) {
    if (value >= INT32_MIN && value <= INT32_MAX)
        out = format_integer(static_cast<int32_t>(value));
    else
        out = format_general(value);
}

}  // namespace quillon
