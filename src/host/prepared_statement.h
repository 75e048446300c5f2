// Statements prepared once per position of the program text. The text never changes while a
// program runs, so where a statement ends, its text, and for the common shapes its parsed
// expressions and resolved jump targets, can be worked out the first time the run loop reaches
// it and reused every time after. A prepared statement does exactly what dispatching its text
// does; whatever it is not sure of (an error to report, a value that cannot travel as text) it
// leaves to the text path, which runs the statement from its text as before.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "expr/prepared_expr.h"
#include "expr/variable_store.h"

namespace quillon {

struct Runtime;

// The prepared form of one statement shape: what its handler does, with the expressions
// prepared. run() returns false, having changed nothing, when the text path must run instead.
class PreparedShape {
  public:
    virtual ~PreparedShape() = default;
    virtual bool run(Runtime& rt) = 0;
    virtual std::size_t bytes() const { return sizeof(*this) + x.bytes(); }

    // True when the expanded text stays within a statement's size: no error 12 to report.
    bool expansion_fits(Runtime& rt) const;

    PreparedExpressions x;
    // Bytes the argument text can grow to while the function-call expander works on it,
    // without the string results (counted as they are made).
    std::size_t expansion_bound = 0;
    bool has_calls = false;  // the expander would replace function calls in the text
};

// One statement position as the run loop reads it.
struct PreparedStatement {
    // The statement the run loop reads next when this one leaves the position at its
    // separator: after the ":" (and its blanks), or on the next line after its number.
    struct Successor {
        PreparedStatement* statement = nullptr;  // not looked for yet
        bool none = false;                       // nothing plain follows
        bool new_line = false;
        int32_t start = 0;
        int32_t line_number = 0;
    };

    std::string text;        // the statement as cut, trimmed, and filtered in branch parts
    int32_t end = 0;         // its separator: where the run loop stands when it runs
    bool cut = true;         // false: too long; the run loop reads it byte by byte
    bool dispatch = true;    // false: an ELSE opens this branch part
    bool skip_line = false;  // the branch-part filter skips the rest of the line...
    int32_t line_end = 0;    // ...to here
    std::unique_ptr<PreparedShape> shape;  // null: the text path
    Successor successor;
    DeclaredLetters letters;              // what the shape's types were decided under
    uint64_t names_checked = UINT64_MAX;  // store generation of the last user-function check
    bool names_ok = true;
    std::size_t bytes = 0;
};

// The prepared statements, found by position and inline-branch flag. Their memory is bounded:
// when a new statement would pass the bound, all are forgotten and prepared again as reached.
class PreparedCache {
  public:
    static constexpr std::size_t kBytesMax = std::size_t{32} << 20;

    // Forgets everything when the program text is not the one the statements were cut from.
    void use_text(std::string_view program);
    PreparedStatement* find(int32_t position, bool inline_branch);
    PreparedStatement& add(int32_t position, bool inline_branch,
                           std::unique_ptr<PreparedStatement> statement);
    void clear();
    uint64_t clears() const { return clears_; }  // pointers to statements last until a clear
    std::size_t bytes() const { return bytes_; }
    std::size_t size() const { return entries_.size(); }
    void set_bytes_max(std::size_t bytes) { bytes_max_ = bytes; }  // for tests

    // Statements run prepared, and run from their text (no shape, or the shape declined).
    uint64_t runs = 0;
    uint64_t text_runs = 0;

  private:
    struct Slot {
        int64_t key = -1;
        uint32_t entry = 0;
    };
    static uint64_t hash(int64_t key) { return static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull; }
    void grow();

    std::string text_;         // the program text the statements were cut from
    std::vector<Slot> slots_;  // open addressing, a power of two, at most half full
    std::vector<std::unique_ptr<PreparedStatement>> entries_;
    std::size_t bytes_ = 0;
    std::size_t bytes_max_ = kBytesMax;
    uint64_t clears_ = 0;
};

// The prepared statement that starts at `position` (the run loop in its statement mode, with an
// empty statement and outside quotes, with the inline-branch flag `inline_branch`), made on
// first use; nullptr when the run loop must read it byte by byte.
PreparedStatement* prepared_at(Runtime& rt, int32_t position, bool inline_branch);

// Runs a prepared statement at its separator, as dispatching its text would.
void run_prepared(Runtime& rt, PreparedStatement& statement);

// The prepared shape of a statement's text, or nullptr for the text path.
std::unique_ptr<PreparedShape> prepare_shape(Runtime& rt, std::string_view statement);

}  // namespace quillon
