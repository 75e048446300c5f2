// Prepared PRINT: every item is evaluated before anything is shown, so an item that must be
// left to the text path leaves the whole statement to it, with nothing written twice.
#include "screen/prepared_print.h"

#include <vector>

#include "expr/prepared_calls.h"
#include "expr/value_text.h"
#include "host/limits.h"
#include "host/prepared_statement.h"
#include "host/runtime.h"
#include "host/text_scan.h"
#include "screen/char_screen.h"
#include "screen/print.h"

namespace quillon {
namespace {

struct PrintItem {
    bool empty = true;
    ExprRef expr;
    bool tab_after = false;  // the item ended at ","
};

class PrintShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override {
        ScratchString line(rt);
        std::string& out = line.get();
        for (const PrintItem& item : items) {
            if (!item.empty && !append(rt, item, out)) return false;
            if (item.tab_after) out += '\t';
            if (out.size() > kStatementMax) break;  // the rest is cut off unread
        }
        if (!expansion_fits(rt)) return false;
        out.resize(whole_characters(out, kStatementMax - (ends_line ? 1 : 0)));
        if (ends_line) out += '\n';
        write_text(rt, out);
        return true;
    }

    std::vector<PrintItem> items;
    bool ends_line = true;

  private:
    // A string's characters, or a number with "%g", the leading-zero rule and a blank before
    // it unless it is negative.
    bool append(Runtime& rt, const PrintItem& item, std::string& out) const {
        if (item.expr.string) return x.string(rt, item.expr, out);
        double value = 0.0;
        if (!x.number(rt, item.expr, value)) return false;
        if (value == 0) value = 0;  // no "-0"
        char text[kGeneralTextMax];
        std::size_t size = trim_leading_zero(text, write_general(text, value));
        if (value >= 0) out += ' ';
        out.append(text, size);
        return true;
    }
};

// Whether an item is a string expression, judged as the composer judges it once calls have
// been replaced by their values: a quote first, or a leading name of string type.
bool is_string_item(Runtime& rt, std::string_view item) {
    if (item[0] == '"') return true;
    std::size_t end = 0;
    while (end < item.size() && is_name_char(static_cast<uint8_t>(item[end])))
        ++end;
    if (end > 0 && end < item.size() && item[end] == '(' && is_ascii_letter(item[0])) {
        if (const FunctionShape* shape = prepared_function(item.substr(0, end)))
            return shape->string_result;  // the call's value text stands there
    }
    return end > 0 && variable_type(rt, item.substr(0, end)) == kString;
}

}  // namespace

std::unique_ptr<PreparedShape> prepare_print(Runtime& rt, std::string_view args) {
    if (!args.empty() && args[0] == '#') return nullptr;  // file output
    if (args.size() >= 5 && equals_ignoring_case(args.substr(0, 5), "using")) return nullptr;
    std::string text;
    strip_blanks(args, text);
    auto shape = std::make_unique<PrintShape>();
    shape->ends_line = text.empty() || text.back() != ';';
    int depth = 0;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= text.size(); ++k) {
        char c = k < text.size() ? text[k] : '\0';
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (k < text.size() && ((c != ';' && c != ',') || depth != 0)) continue;
        PrintItem item;
        std::string_view piece = std::string_view(text).substr(start, k - start);
        item.empty = piece.empty();
        item.tab_after = c == ',';
        if (!item.empty) {
            bool ok = is_string_item(rt, piece) ? shape->x.add_string(rt, piece, item.expr)
                                                : shape->x.add_numeric(rt, piece, item.expr);
            if (!ok) return nullptr;
        }
        shape->items.push_back(item);
        start = k + 1;
    }
    if (quoted) return nullptr;
    return shape;
}

}  // namespace quillon
