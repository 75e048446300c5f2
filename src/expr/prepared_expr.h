// Expressions prepared from their text once and evaluated many times: numeric and string
// expressions and conditions, with variables bound to their store slots and literals read once.
// Evaluation gives exactly what the text evaluators give (values that travel as text keep their
// six digits, signs fold as text would), and it is pure: it reports nothing and changes
// nothing. Where the text evaluators would report an error, or where a value could not travel
// as text, evaluation declines and the caller runs the statement on the text path instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "expr/expr_state.h"
#include "expr/variables.h"

namespace quillon {

struct Runtime;

// A numeric variable without subscripts, bound to its slot under one store generation.
struct ScalarRef {
    enum class State : uint8_t { kUnresolved, kSlot, kMissing, kDecline };
    std::string name;
    mutable uint64_t generation = 0;
    mutable State state = State::kUnresolved;
    mutable std::size_t slot = 0;
};

// A numeric array (dimensioned, or elements made by assignment): its name, the rest is looked
// up per access with the subscripts of that access.
struct ArrayRef {
    std::string name;
};

// A string variable or string array: the name as the string store keys it (subscripts are
// added per access); a plain variable keeps its value's place under one store generation.
struct StringRef {
    std::string name;
    bool subscripted = false;
    mutable uint64_t generation = 0;
    mutable bool resolved = false;
    mutable const std::string* value = nullptr;  // quoted value text; null when missing
};

// One expression of the arena: a numeric flat level or a string expression.
struct ExprRef {
    uint32_t index = 0;
    bool string = false;
};

// An operand of a flat level, as the flat evaluator reads it.
struct Operand {
    enum class Kind : uint8_t { kConstant, kScalar, kAtom, kSegment };
    Kind kind = Kind::kConstant;
    bool negate = false;  // a sign written directly before it (folded into constants)
    uint32_t index = 0;   // scalar, atom or flat index
    double constant = 0.0;
};

// A bracket level: operands and the operators between them. operators[first + k] stands before
// operand first + k (k >= 1).
struct Flat {
    uint32_t first = 0;
    uint32_t count = 0;
    uint8_t passes = 0;  // the operator passes it needs
};

// A value that the text evaluators write back into the text before reading on: a bracket, an
// array element, a function's result, a comparison or a bracketed condition.
struct Atom {
    enum class Kind : uint8_t { kGroup, kElement, kCall, kComparison, kCondition };
    Kind kind = Kind::kGroup;
    uint8_t code = 0;          // the function of a call, or the relation of a comparison
    uint32_t index = 0;        // group/condition flat, or first subscript or argument
    uint32_t count = 0;        // subscripts or arguments
    uint32_t array = 0;        // an element's array
    int32_t random_slot = -1;  // rnd calls: where its number is kept for this execution
};

// A string expression: terms joined by "+".
struct StringExpr {
    uint32_t first = 0;
    uint32_t count = 0;
};
struct StringTerm {
    enum class Kind : uint8_t { kLiteral, kVariable, kElement, kCall };
    Kind kind = Kind::kLiteral;
    uint32_t index = 0;  // literal text, string ref, or atom
    uint32_t first = 0;  // an element's subscripts in `arguments`
    uint32_t count = 0;
};

class PreparedExpressions {
  public:
    // Preparing: `text` is expression text with its blanks removed (see plain_blanks). False
    // when the text is not of a shape prepared here.
    bool add_numeric(Runtime& rt, std::string_view text, ExprRef& out);
    bool add_string(Runtime& rt, std::string_view text, ExprRef& out);
    bool add_condition(Runtime& rt, std::string_view text, ExprRef& out);
    // A numeric or string variable or element that an assignment stores into.
    struct Target {
        bool string = false;
        VariableType type = kDouble;
        uint32_t ref = 0;  // scalar/array or string ref
        bool subscripted = false;
        uint32_t first = 0;  // subscripts in `arguments`
        uint32_t count = 0;
    };
    bool add_target(Runtime& rt, std::string_view text, Target& out);

    // Evaluating, purely; false when the text path must decide.
    bool number(Runtime& rt, ExprRef expr, double& value) const;
    bool string(Runtime& rt, ExprRef expr, std::string& out) const;  // appends escaped chars
    bool condition(Runtime& rt, ExprRef expr, int32_t& value) const;
    // The integer subscripts of a target, and its store key (string targets).
    bool subscripts(Runtime& rt, uint32_t first, uint32_t count, Subscripts& out) const;
    bool string_key(Runtime& rt, const Target& target, std::string& key) const;
    // The name a target stores under (without subscripts).
    std::string_view target_name(const Target& target) const;
    // Reads a scalar bound to its slot (the value its text reads back as).
    bool scalar_value(Runtime& rt, uint32_t ref, double& value) const;
    // The slot of a numeric target under the current generation, when it exists.
    bool target_slot(Runtime& rt, const Target& target, const Subscripts& subs, std::size_t& slot,
                     bool& missing) const;

    // Draws the random numbers of the rnd calls in text order, as the function-call expander
    // would before the statement runs; false when an argument cannot be read.
    bool draw_random_numbers(Runtime& rt) const;
    bool has_random() const { return random_calls_ > 0; }
    std::size_t atom_count() const { return atoms_.size(); }
    std::size_t call_count() const { return calls_; }
    // True while no user-defined function has the name of an array or call used here.
    bool names_still_mean_the_same(Runtime& rt) const;
    // Bytes held, for the cache's bound.
    std::size_t bytes() const;

  private:
    friend class ExprParser;
    friend struct CallEvaluator;

    bool flat_value(Runtime& rt, uint32_t flat, double& value) const;
    bool operand_value(Runtime& rt, const Operand& operand, char& op_before, double& value) const;
    bool atom_value(Runtime& rt, const Atom& atom, double& value) const;
    bool element_value(Runtime& rt, const Atom& atom, double& value) const;
    bool comparison_value(Runtime& rt, const Atom& atom, double& value) const;
    bool string_term(Runtime& rt, const StringTerm& term, std::string& out) const;
    bool string_element(Runtime& rt, const StringTerm& term, std::string& out) const;

    std::vector<Flat> flats_;
    std::vector<Operand> operands_;
    std::vector<char> operators_;
    std::vector<Atom> atoms_;
    std::vector<ExprRef> arguments_;  // subscripts and call arguments
    std::vector<ScalarRef> scalars_;
    std::vector<ArrayRef> arrays_;
    std::vector<StringRef> string_refs_;
    std::vector<StringExpr> strings_;
    std::vector<StringTerm> terms_;
    std::vector<std::string> literals_;
    std::vector<std::string> hijackable_;  // names a user function could take over
    uint32_t random_calls_ = 0;
    uint32_t calls_ = 0;
};

// True when removing the blanks and tabs outside quotes from `text` joins no two words or
// numbers, and no name to its bracket: the text then reads the same without them, and the
// function-call expander sees the same names. Quotes must pair up.
bool plain_blanks(std::string_view text);

// True when the function-call expander would find a system name (curdir$, date$, inkey$,
// time$) in `text`.
bool has_system_name(std::string_view text);

// Scratch strings for evaluation, reused so that steady evaluation does not allocate.
class ScratchString {
  public:
    explicit ScratchString(Runtime& rt);
    ~ScratchString();
    ScratchString(const ScratchString&) = delete;
    ScratchString& operator=(const ScratchString&) = delete;
    std::string& get() { return *text_; }

  private:
    ExprScratch& pool_;
    std::string* text_;
};

}  // namespace quillon
