// Statements prepared at their positions: the bounded cache, the cutting and branch-part
// filtering done once, the choice of a prepared shape by statement token, and running one.
#include <cstdio>
#include <cstring>

#include "expr/prepared_assignment.h"
#include "flow/prepared_flow.h"
#include "host/limits.h"
#include "host/prepared_statement.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "screen/prepared_print.h"

namespace quillon {
namespace {

constexpr uint16_t kIfToken = 0x1020;
constexpr uint16_t kGotoToken = 0x1021;
constexpr uint16_t kReturnToken = 0x1023;
constexpr uint16_t kOnToken = 0x1024;
constexpr uint16_t kForToken = 0x1025;
constexpr uint16_t kNextToken = 0x1026;
constexpr uint16_t kWhileToken = 0x1027;
constexpr uint16_t kWendToken = 0x1030;
constexpr uint16_t kGosubToken = 0x1031;
constexpr uint16_t kPrintToken = 0x1010;
constexpr uint16_t kLetToken = 0x1079;
constexpr std::size_t kCallTextMax = 50;  // the longest value text a function call can leave

// A label statement does nothing.
class LabelShape : public PreparedShape {
  public:
    bool run(Runtime&) override { return true; }
};

int64_t cache_key(int32_t position, bool inline_branch) {
    return (static_cast<int64_t>(position) << 1) | (inline_branch ? 1 : 0);
}

std::size_t open_brackets(std::string_view text) {
    std::size_t count = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '(') ++count;
    }
    return count;
}

std::unique_ptr<PreparedShape> shape_for_token(Runtime& rt, uint16_t token, std::string_view args) {
    switch (token) {
        case 0:
        case kLetToken:
            return prepare_assignment(rt, args);
        case kIfToken:
            return prepare_if(rt, args);
        case kGotoToken:
            return prepare_goto(rt, args, false);
        case kGosubToken:
            return prepare_goto(rt, args, true);
        case kReturnToken:
            return prepare_return(rt, args);
        case kOnToken:
            return prepare_on(rt, args);
        case kForToken:
            return prepare_for(rt, args);
        case kNextToken:
            return prepare_next(rt, args);
        case kWhileToken:
            return prepare_while(rt, args);
        case kWendToken:
            return prepare_wend(rt, args);
        case kPrintToken:
            return prepare_print(rt, args);
        default:
            return nullptr;
    }
}

std::unique_ptr<PreparedStatement> make_statement(Runtime& rt, int32_t position,
                                                  bool inline_branch) {
    auto statement = std::make_unique<PreparedStatement>();
    if (!cut_statement(rt.host, position, statement->text, statement->end)) {
        statement->cut = false;
        return statement;
    }
    if (inline_branch && !statement->text.empty()) {
        BranchPart part = filter_branch_part(statement->text);
        statement->dispatch = part.dispatch;
        statement->skip_line = part.skip_line;
        int32_t end = statement->end;
        while (program_byte(rt.host, end) != '\n' && program_byte(rt.host, end) != '\0')
            ++end;
        statement->line_end = end;
    }
    if (statement->dispatch && !statement->text.empty()) {
        statement->letters = rt.expr.letters;
        statement->shape = prepare_shape(rt, statement->text);
    }
    statement->bytes = sizeof(PreparedStatement) + statement->text.capacity() +
                       (statement->shape ? statement->shape->bytes() : 0);
    return statement;
}

}  // namespace

bool PreparedShape::expansion_fits(Runtime& rt) const {
    return expansion_bound + rt.expr.scratch.string_bytes <= kStatementMax;
}

std::unique_ptr<PreparedShape> prepare_shape(Runtime& rt, std::string_view statement) {
    if (statement.empty()) return nullptr;
    const auto first = static_cast<uint8_t>(statement[0]);
    uint16_t token = 0;
    std::string if_cut;
    std::string_view args = statement;
    if (is_token_lead(first) && statement.size() >= 2) {
        token = static_cast<uint16_t>(first * 256 + static_cast<uint8_t>(statement[1]));
        args = {};
        if (statement.size() >= 4 && statement[2] == ' ') {
            if (token == kIfToken) {
                if_cut.assign(statement);
                cut_before_then(if_cut);
                args = std::string_view(if_cut);
            } else {
                args = statement;
            }
            args = args.size() > 3 ? args.substr(3) : std::string_view{};
        }
    } else if (first == '*') {
        return std::make_unique<LabelShape>();
    }
    // The function-call expander must find the same names the shapes read (FOR's keywords
    // stand between blanks: it checks its parts itself).
    if ((token != kForToken && !plain_blanks(args)) || has_system_name(args)) return nullptr;
    auto shape = shape_for_token(rt, token, args);
    if (!shape) return nullptr;
    shape->has_calls = shape->x.call_count() > 0;
    shape->expansion_bound =
        args.size() + 2 * open_brackets(args) + kCallTextMax * shape->x.atom_count();
    if (shape->expansion_bound > kStatementMax) return nullptr;  // the expander may refuse it
    return shape;
}

// ---- The cache ----

void PreparedCache::use_text(std::string_view program) {
    if (program == text_) return;
    clear();
    text_.assign(program);
}

PreparedStatement* PreparedCache::find(int32_t position, bool inline_branch) {
    if (slots_.empty()) return nullptr;
    const int64_t key = cache_key(position, inline_branch);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t k = hash(key) >> 40 & mask;; k = (k + 1) & mask) {
        const Slot& slot = slots_[k];
        if (slot.key == key) return entries_[slot.entry].get();
        if (slot.key < 0) return nullptr;
    }
}

PreparedStatement& PreparedCache::add(int32_t position, bool inline_branch,
                                      std::unique_ptr<PreparedStatement> statement) {
    if (bytes_ + statement->bytes > bytes_max_) clear();  // forget them all, prepare anew
    if (2 * (entries_.size() + 1) > slots_.size()) grow();
    const int64_t key = cache_key(position, inline_branch);
    const std::size_t mask = slots_.size() - 1;
    std::size_t k = hash(key) >> 40 & mask;
    while (slots_[k].key >= 0)
        k = (k + 1) & mask;
    slots_[k] = Slot{key, static_cast<uint32_t>(entries_.size())};
    bytes_ += statement->bytes;
    entries_.push_back(std::move(statement));
    return *entries_.back();
}

void PreparedCache::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    bytes_ += (slots_.size() - old.size()) * sizeof(Slot);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key < 0) continue;
        std::size_t k = hash(slot.key) >> 40 & mask;
        while (slots_[k].key >= 0)
            k = (k + 1) & mask;
        slots_[k] = slot;
    }
}

void PreparedCache::clear() {
    ++clears_;
    entries_.clear();
    slots_.clear();
    slots_.shrink_to_fit();
    bytes_ = 0;
}

// ---- Running ----

PreparedStatement* prepared_at(Runtime& rt, int32_t position, bool inline_branch) {
    auto& cache = rt.host.prepared;
    PreparedStatement* statement = cache.find(position, inline_branch);
    if (statement == nullptr)
        statement =
            &cache.add(position, inline_branch, make_statement(rt, position, inline_branch));
    return statement->cut ? statement : nullptr;
}

void run_prepared(Runtime& rt, PreparedStatement& statement) {
    // Declared letters decide the types the shape was made for: a change makes it again.
    if (statement.shape && !(statement.letters == rt.expr.letters)) {
        statement.letters = rt.expr.letters;
        statement.shape = prepare_shape(rt, statement.text);
        statement.names_checked = UINT64_MAX;
    }
    PreparedShape* shape = statement.shape.get();
    if (shape != nullptr && !rt.host.stop) {
        const uint64_t generation = rt.expr.variables.generation;
        if (statement.names_checked != generation) {
            statement.names_checked = generation;
            statement.names_ok = shape->x.names_still_mean_the_same(rt);
        }
        if (statement.names_ok) {
            RandomState random = rt.expr.random;
            rt.expr.scratch.string_bytes = 0;
            if ((!shape->x.has_random() || shape->x.draw_random_numbers(rt)) && shape->run(rt)) {
                ++rt.host.prepared.runs;
                return;
            }
            rt.expr.random = random;  // the text path draws the same numbers again
        }
    }
    ++rt.host.prepared.text_runs;
    dispatch_statement(rt, statement.text);
}

}  // namespace quillon
