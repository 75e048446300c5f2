// Prepared assignments: the value is evaluated, the target's subscripts after it (as the text
// path reads them, in set_variable), the number converted for the target's type, and only then
// stored. Every check that could report comes before the store.
#include "expr/prepared_assignment.h"

#include "expr/value_text.h"
#include "expr/variable_slots.h"
#include "host/prepared_statement.h"
#include "host/runtime.h"

namespace quillon {
namespace {

class AssignmentShape : public PreparedShape {
  public:
    bool run(Runtime& rt) override { return assignment.run(rt, *this); }
    PreparedAssignment assignment;
};

}  // namespace

bool PreparedAssignment::prepare(Runtime& rt, PreparedExpressions& x, std::string_view text) {
    std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return false;  // error 2
    if (!x.add_target(rt, text.substr(0, equals), target)) return false;
    std::string_view expression = text.substr(equals + 1);
    return target.string ? x.add_string(rt, expression, value)
                         : x.add_numeric(rt, expression, value);
}

bool PreparedAssignment::run(Runtime& rt, const PreparedShape& shape) const {
    const PreparedExpressions& x = shape.x;
    if (target.string) {
        ScratchString content(rt);
        ScratchString key(rt);
        if (!x.string(rt, value, content.get()) || !x.string_key(rt, target, key.get()))
            return false;
        return shape.expansion_fits(rt) && store_string_quietly(rt, key.get(), content.get());
    }
    double number = 0.0;
    if (!x.number(rt, value, number)) return false;
    if (target.subscripted) {
        Subscripts subs;
        if (!x.subscripts(rt, target.first, target.count, subs)) return false;
        for (int k = 0; k < subs.count; ++k)
            if (subs.values[static_cast<std::size_t>(k)] < 0) return false;  // error 5
        return store_number(rt, shape, number, subs);
    }
    // A plain variable needs no subscript list of its own (a full one is a kilobyte to clear).
    static const Subscripts kNone;
    return store_number(rt, shape, number, kNone);
}

bool PreparedAssignment::store_number(Runtime& rt, const PreparedShape& shape, double number,
                                      const Subscripts& subs) const {
    const PreparedExpressions& x = shape.x;
    // Six digits reach the store, then the target's type converts them.
    double stored = 0.0;
    if (!convert_number(round_general(number), target.type, stored)) return false;  // error 5
    std::size_t slot = 0;
    bool missing = false;
    if (!x.target_slot(rt, target, subs, slot, missing) || !shape.expansion_fits(rt)) return false;
    if (missing) {
        // A new variable or element: made as the text path makes it, errors included.
        store_converted(rt, x.target_name(target), subs, stored);
        return true;
    }
    rt.expr.variables.values[slot] = stored;
    return true;
}

std::unique_ptr<PreparedShape> prepare_assignment(Runtime& rt, std::string_view text) {
    auto shape = std::make_unique<AssignmentShape>();
    std::string stripped;
    strip_blanks(text, stripped);
    if (!shape->assignment.prepare(rt, shape->x, stripped)) return nullptr;
    return shape;
}

}  // namespace quillon
