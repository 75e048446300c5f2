// The variable store: type rules of names, subscripts, the numeric catalogue with its value
// block, the string store, and reading, writing and erasing variables. Lookups go through
// hash indexes; the catalogue order and byte counts are kept exactly as the store defines them.
#include "expr/variables.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <new>

#include "expr/calls.h"
#include "expr/evaluator.h"
#include "expr/random.h"
#include "expr/value_text.h"
#include "expr/variable_slots.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/runtime.h"

namespace quillon {
namespace {

constexpr char kElementMark = 0x01;         // catalogue: an element created by assignment
constexpr char kArrayMark = 0x02;           // catalogue: a dimensioned array
constexpr char kNumberEnd = 0x03;           // catalogue: ends each subscript or bound
constexpr std::size_t kSingleTextMax = 64;  // "%.7f" of the largest float

enum class Lookup { kFound, kMissing, kError };

// A reference cut into its name and the text inside its outer brackets.
struct ReferenceParts {
    std::string_view name;
    std::string_view inside;
    bool has_brackets = false;
};

std::string_view name_part(std::string_view reference) {
    return reference.substr(0, reference.find('('));
}

// Splits a reference at its first "(" and the matching ")". Unbalanced brackets, text after
// the closing bracket, or a name longer than an operand can carry, are error 1.
bool split_reference(Runtime& rt, std::string_view reference, ReferenceParts& parts) {
    std::size_t open = reference.find('(');
    parts = {reference.substr(0, open), {}, open != std::string_view::npos};
    if (parts.name.find(')') != std::string_view::npos || parts.name.size() > kOperandTextMax) {
        report_error(rt, kSyntaxError);
        return false;
    }
    if (!parts.has_brackets) return true;
    int depth = 0;
    bool in_quotes = false;
    for (std::size_t k = open; k < reference.size(); ++k) {
        char c = reference[k];
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes || (c != '(' && c != ')')) continue;
        depth += c == '(' ? 1 : -1;
        if (depth > 0) continue;
        if (k + 1 != reference.size()) break;  // text after the closing bracket
        parts.inside = reference.substr(open + 1, k - open - 1);
        return true;
    }
    report_error(rt, kSyntaxError);
    return false;
}

// Calls `take(piece)` for each comma-separated piece outside quotes and inner brackets; stops
// early when it returns false.
template <class Take>
bool for_each_piece(std::string_view inside, Take take) {
    int depth = 0;
    bool in_quotes = false;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= inside.size(); ++k) {
        char c = k < inside.size() ? inside[k] : ',';
        if (c == '"') in_quotes = !in_quotes;
        if (in_quotes) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c != ',' || depth != 0) continue;
        if (!take(inside.substr(start, k - start))) return false;
        start = k + 1;
    }
    return true;
}

// Evaluates each subscript piece, truncated toward zero. More than 255 is error 5; so is a
// negative subscript when `check_sign` is set. A subscript beyond 32 bits is error 14, as
// one above an array's bound: it must never wrap onto a small element.
bool evaluate_subscripts(Runtime& rt, std::string_view inside, Subscripts& subscripts,
                         bool check_sign) {
    subscripts.count = 0;
    return for_each_piece(inside, [&](std::string_view piece) {
        double number = eval_numeric(rt, piece);
        int32_t value = 0;
        if (subscripts.count >= kSubscriptMax || (check_sign && number <= -1)) {
            report_error(rt, kOutOfRange);
            return false;
        }
        if (!truncate_checked(number, value)) {
            report_error(rt, kArrayMemory);
            return false;
        }
        subscripts.values[static_cast<std::size_t>(subscripts.count++)] = value;
        return true;
    });
}

void append_number(std::string& out, int32_t value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Builds the catalogue text of an entry: name, marker, each number followed by 0x03.
void entry_text(std::string& out, std::string_view name, char mark, const Subscripts& numbers) {
    out.assign(name);
    if (numbers.count == 0) return;
    out += mark;
    for (int k = 0; k < numbers.count; ++k) {
        append_number(out, numbers.values[static_cast<std::size_t>(k)]);
        out += kNumberEnd;
    }
}

// The slot offset of an element in a dimensioned array; error 14 on a wrong count or a
// subscript above its bound.
bool array_offset(Runtime& rt, const CatalogueEntry& array, const Subscripts& subscripts,
                  std::size_t& offset, bool report = true) {
    if (static_cast<std::size_t>(subscripts.count) != array.bounds.size()) {
        if (report) report_error(rt, kArrayMemory);
        return false;
    }
    offset = 0;
    for (std::size_t k = 0; k < array.bounds.size(); ++k) {
        if (subscripts.values[k] > array.bounds[k]) {
            if (report) report_error(rt, kArrayMemory);
            return false;
        }
        offset = offset * (static_cast<std::size_t>(array.bounds[k]) + 1) +
                 static_cast<std::size_t>(subscripts.values[k]);
    }
    return true;
}

Lookup locate(Runtime& rt, std::string_view name, const Subscripts& subscripts, std::size_t& slot,
              bool report = true) {
    auto& store = rt.expr.variables;
    auto found = store.names.find(name);
    if (found == store.names.end()) return Lookup::kMissing;
    const NameEntries& at = found->second;
    if (subscripts.count == 0) {
        if (at.scalar < 0) return Lookup::kMissing;
        slot = store.entries[static_cast<std::size_t>(at.scalar)].first_slot;
        return Lookup::kFound;
    }
    if (at.array >= 0) {
        const CatalogueEntry& array = store.entries[static_cast<std::size_t>(at.array)];
        std::size_t offset = 0;
        if (!array_offset(rt, array, subscripts, offset, report)) return Lookup::kError;
        slot = array.first_slot + offset;
        return Lookup::kFound;
    }
    if (at.elements == 0) return Lookup::kMissing;
    entry_text(store.key, name, kElementMark, subscripts);
    auto element = store.elements.find(std::string_view(store.key));
    if (element == store.elements.end()) return Lookup::kMissing;
    slot = store.entries[static_cast<std::size_t>(element->second)].first_slot;
    return Lookup::kFound;
}

// Records entry `index` in the name and element indexes.
void index_entry(VariableStore& store, int32_t index) {
    const CatalogueEntry& entry = store.entries[static_cast<std::size_t>(index)];
    std::string_view name = std::string_view(entry.text).substr(0, entry.name_size);
    auto found = store.names.find(name);
    if (found == store.names.end())
        found = store.names.emplace(std::string(name), NameEntries{}).first;
    NameEntries& at = found->second;
    switch (entry.kind) {
        case EntryKind::kScalar:
            at.scalar = index;
            break;
        case EntryKind::kArray:
            if (at.array < 0) at.array = index;
            break;
        case EntryKind::kElement:
            ++at.elements;
            store.elements.emplace(entry.text, index);
            break;
    }
}

// Rebuilds the indexes and first slots after entries were removed.
void reindex(VariableStore& store) {
    store.names.clear();
    store.elements.clear();
    std::size_t slot = 0;
    for (std::size_t k = 0; k < store.entries.size(); ++k) {
        store.entries[k].first_slot = slot;
        slot += store.entries[k].slot_count;
        index_entry(store, static_cast<int32_t>(k));
    }
}

// Appends a catalogue entry with `slots` zeroed slots. Error 12 when the catalogue text would
// exceed its bytes, error 15 when the value block cannot grow.
bool append_entry(Runtime& rt, CatalogueEntry entry, std::size_t slots) {
    auto& store = rt.expr.variables;
    std::size_t bytes = entry.text.size() + 1;  // the entry and its comma
    if (store.catalogue_bytes + bytes > kStoreMax) {
        report_error(rt, kMemoryRange);
        return false;
    }
    if (slots > kValueSlotsMax - store.values.size()) {
        report_error(rt, kInternalMemory);
        return false;
    }
    try {
        store.values.resize(store.values.size() + slots, 0.0);
        entry.first_slot = store.values.size() - slots;
        entry.slot_count = slots;
        store.entries.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        store.values.resize(store.entries.empty() ? 0
                                                  : store.entries.back().first_slot +
                                                        store.entries.back().slot_count);
        report_error(rt, kInternalMemory);
        return false;
    }
    store.catalogue_bytes += bytes;
    index_entry(store, static_cast<int32_t>(store.entries.size() - 1));
    ++store.generation;
    return true;
}

}  // namespace

bool convert_number(double value, VariableType type, double& number) {
    if (!std::isfinite(value)) return false;  // "inf" or "nan" would read back as a name
    if (type == kInteger) {
        double whole = std::floor(value);
        // Half up, the fraction judged at single precision.
        if (static_cast<float>(value - whole) >= 0.5f) whole += 1.0;
        if (!(whole >= std::numeric_limits<int32_t>::min() &&
              whole <= std::numeric_limits<int32_t>::max()))
            return false;
        number = whole;
        return true;
    }
    if (type == kSingle) {
        if (std::fabs(value) > std::numeric_limits<float>::max()) return false;
        char buffer[kSingleTextMax];
        auto single = static_cast<double>(static_cast<float>(value));
        auto result =
            std::to_chars(buffer, buffer + sizeof buffer, single, std::chars_format::fixed, 7);
        number =
            parse_decimal(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
        return true;
    }
    number = value;
    return true;
}

bool is_user_function_name(std::string_view name) {
    return name.size() > 2 && to_upper_ascii(name[0]) == 'F' && to_upper_ascii(name[1]) == 'N';
}

namespace {

// "%g" with the leading-zero rule, into a buffer of kGeneralTextMax bytes.
std::size_t write_variable_number(char* out, double value) {
    return trim_leading_zero(out, write_general(out, value));
}

bool is_rnd(std::string_view reference) {
    return reference.size() == 3 && to_upper_ascii(reference[0]) == 'R' &&
           to_upper_ascii(reference[1]) == 'N' && to_upper_ascii(reference[2]) == 'D';
}

// A numeric reference looked up: its name and subscripts, and its slot when found.
struct NumericLookup {
    std::string_view name;
    Subscripts subscripts;
    std::size_t slot = 0;
    Lookup result = Lookup::kError;
};

void look_up_numeric(Runtime& rt, std::string_view reference, NumericLookup& found) {
    if (parse_subscripts(rt, reference, found.name, found.subscripts))
        found.result = locate(rt, found.name, found.subscripts, found.slot);
}

// A missing plain name that a user function without arguments answers to.
bool missing_function_name(const NumericLookup& found) {
    return found.result == Lookup::kMissing && found.subscripts.count == 0 &&
           is_user_function_name(found.name);
}

// Stores a number read from value text into a numeric reference of any numeric type,
// creating the variable or element when needed.
bool store_number(Runtime& rt, std::string_view reference, VariableType type, double value) {
    double number = 0.0;
    if (!convert_number(value, type, number)) {
        report_error(rt, kOutOfRange);
        return false;
    }
    std::string_view name;
    Subscripts subscripts;
    if (!parse_subscripts(rt, reference, name, subscripts)) return false;
    return store_converted(rt, name, subscripts, number);
}

}  // namespace

bool store_converted(Runtime& rt, std::string_view name, const Subscripts& subscripts,
                     double number) {
    std::size_t slot = 0;
    switch (locate(rt, name, subscripts, slot)) {
        case Lookup::kFound:
            rt.expr.variables.values[slot] = number;
            return true;
        case Lookup::kError:
            return false;
        case Lookup::kMissing:
            break;
    }
    CatalogueEntry entry;
    entry_text(entry.text, name, kElementMark, subscripts);
    entry.name_size = static_cast<uint32_t>(name.size());
    entry.kind = subscripts.count == 0 ? EntryKind::kScalar : EntryKind::kElement;
    if (!append_entry(rt, std::move(entry), 1)) return false;
    rt.expr.variables.values.back() = number;
    return true;
}

namespace {

bool get_string(Runtime& rt, std::string_view reference, std::string& out) {
    std::string name;
    if (!normalize_subscripts(rt, reference, name)) {
        out.assign(2, '"');
        return false;
    }
    auto& strings = rt.expr.variables.strings;
    if (auto found = strings.find(name); found != strings.end()) {
        out = found->second;
        return true;
    }
    // A user function without arguments reads like a variable.
    if (call_user_function(rt, name, {}, out)) return true;
    out.assign(2, '"');
    return false;
}

bool set_string(Runtime& rt, std::string_view reference, std::string_view value) {
    std::string text(value);
    convert_to_type(text, kString);
    std::string name;
    if (!normalize_subscripts(rt, reference, name)) return false;
    auto& store = rt.expr.variables;
    auto found = store.strings.find(name);
    std::size_t old_bytes =
        found == store.strings.end() ? 0 : 2 + name.size() + found->second.size();
    std::size_t new_bytes = 2 + name.size() + text.size();  // line feed, name, blank, value
    if (store.string_bytes - old_bytes + new_bytes > kStoreMax) {
        report_error(rt, kMemoryRange);
        return false;
    }
    store.string_bytes = store.string_bytes - old_bytes + new_bytes;
    if (found == store.strings.end()) {
        store.strings.emplace(std::move(name), std::move(text));
        ++store.generation;
    } else {
        found->second = std::move(text);
    }
    return true;
}

void erase_string(Runtime& rt, std::string_view reference) {
    std::string name;
    if (!normalize_subscripts(rt, reference, name)) return;
    auto& store = rt.expr.variables;
    auto found = store.strings.find(name);
    if (found == store.strings.end()) return;
    store.string_bytes -= 2 + name.size() + found->second.size();
    store.strings.erase(found);
    ++store.generation;
}

// Removes the numeric entries of `name` in catalogue order: a scalar ends the walk, elements
// and arrays do not. Later slots move down, so every other variable keeps its value.
void erase_numeric(Runtime& rt, std::string_view name) {
    auto& store = rt.expr.variables;
    if (store.names.find(name) == store.names.end()) return;
    std::vector<CatalogueEntry> kept;
    kept.reserve(store.entries.size());
    std::size_t slot_out = 0;
    bool walking = true;
    for (auto& entry : store.entries) {
        bool same = walking && std::string_view(entry.text).substr(0, entry.name_size) == name &&
                    entry.name_size == name.size();
        if (same) {
            store.catalogue_bytes -= entry.text.size() + 1;
            walking = entry.kind != EntryKind::kScalar;
            continue;
        }
        for (std::size_t k = 0; k < entry.slot_count; ++k)
            store.values[slot_out + k] = store.values[entry.first_slot + k];
        slot_out += entry.slot_count;
        kept.push_back(std::move(entry));
    }
    store.values.resize(slot_out);
    store.entries = std::move(kept);
    reindex(store);
    ++store.generation;
}

}  // namespace

VariableType variable_type(Runtime& rt, std::string_view name) {
    std::string_view part = name_part(name);
    if (part.empty()) return kDouble;
    switch (part.back()) {
        case '#':
            return kDouble;
        case '!':
            return kSingle;
        case '%':
            return kInteger;
        case '$':
            return kString;
        default:
            break;
    }
    char first = to_upper_ascii(part.front());
    if (first < 'A' || first > 'Z') return kDouble;
    uint32_t bit = uint32_t{1} << (first - 'A');
    const DeclaredLetters& letters = rt.expr.letters;
    if (letters.integer & bit) return kInteger;
    if (letters.single & bit) return kSingle;
    if (letters.string & bit) return kString;
    return kDouble;
}

bool parse_subscripts(Runtime& rt, std::string_view reference, std::string_view& name,
                      Subscripts& subscripts) {
    ReferenceParts parts;
    subscripts.count = 0;
    if (!split_reference(rt, reference, parts)) return false;
    name = parts.name;
    if (!parts.has_brackets) return true;
    return evaluate_subscripts(rt, parts.inside, subscripts, true);
}

bool normalize_subscripts(Runtime& rt, std::string_view reference, std::string& out) {
    ReferenceParts parts;
    if (!split_reference(rt, reference, parts)) return false;
    out.assign(parts.name);
    if (!parts.has_brackets) return true;
    Subscripts subscripts;
    if (!evaluate_subscripts(rt, parts.inside, subscripts, false)) return false;
    out += '(';
    for (int k = 0; k < subscripts.count; ++k) {
        if (k > 0) out += ',';
        append_number(out, subscripts.values[static_cast<std::size_t>(k)]);
    }
    out += ')';
    return true;
}

int64_t find_slot(Runtime& rt, std::string_view name, const Subscripts& subscripts) {
    std::size_t slot = 0;
    if (locate(rt, name, subscripts, slot) != Lookup::kFound) return -1;
    return static_cast<int64_t>(slot);
}

bool get_variable(Runtime& rt, std::string_view reference, std::string& out) {
    if (is_rnd(reference)) {
        out = format_single(random_number(rt, 1));
        return true;
    }
    if (variable_type(rt, reference) == kString) return get_string(rt, reference, out);
    NumericLookup found;
    look_up_numeric(rt, reference, found);
    if (found.result == Lookup::kFound) {
        char buffer[kGeneralTextMax];
        out.assign(buffer, write_variable_number(buffer, rt.expr.variables.values[found.slot]));
        return true;
    }
    if (missing_function_name(found) && call_user_function(rt, found.name, {}, out)) return true;
    out.assign(1, '0');
    return found.result == Lookup::kMissing;
}

bool get_number(Runtime& rt, std::string_view reference, double& value) {
    if (is_rnd(reference) || variable_type(rt, reference) == kString) {
        std::string text;
        bool ok = get_variable(rt, reference, text);
        value = parse_decimal(text);
        return ok;
    }
    NumericLookup found;
    look_up_numeric(rt, reference, found);
    if (found.result == Lookup::kFound) {
        value = round_general(rt.expr.variables.values[found.slot]);
        return true;
    }
    std::string text;
    if (missing_function_name(found) && call_user_function(rt, found.name, {}, text)) {
        value = parse_decimal(text);
        return true;
    }
    value = 0.0;
    return found.result == Lookup::kMissing;
}

bool set_variable(Runtime& rt, std::string_view reference, std::string_view value) {
    if (reference.empty() || !is_ascii_letter(reference.front())) {
        report_error(rt, kBadIdentifier, reference);
        return false;
    }
    VariableType type = variable_type(rt, reference);
    if (type == kString) return set_string(rt, reference, value);
    return store_number(rt, reference, type, parse_decimal(value));
}

bool set_number(Runtime& rt, std::string_view reference, double value) {
    if (reference.empty() || !is_ascii_letter(reference.front())) {
        report_error(rt, kBadIdentifier, reference);
        return false;
    }
    VariableType type = variable_type(rt, reference);
    if (type == kString) {
        char text[kGeneralTextMax];
        return set_string(rt, reference, std::string_view(text, write_general(text, value)));
    }
    return store_number(rt, reference, type, round_general(value));
}

void erase_variable(Runtime& rt, std::string_view name) {
    if (name.empty() || !is_ascii_letter(name.front())) {
        report_error(rt, kBadIdentifier, name);
        return;
    }
    if (variable_type(rt, name) == kString)
        erase_string(rt, name);
    else
        erase_numeric(rt, name);
}

bool convert_to_type(std::string& value, VariableType type) {
    switch (type) {
        case kString:
            if (!is_quoted(value)) {  // the empty value becomes the empty string
                value.insert(0, 1, '"');
                value.push_back('"');
            }
            return true;
        case kInteger:
        case kSingle: {
            double number = 0.0;
            if (!convert_number(parse_decimal(value), type, number)) return false;
            value = type == kInteger ? format_integer(static_cast<int32_t>(number))
                                     : format_single(number);
            return true;
        }
        case kDouble:
            return std::isfinite(parse_decimal(value));
    }
    return true;
}

bool create_array(Runtime& rt, std::string_view name, const Subscripts& bounds) {
    std::size_t slots = 1;
    for (int k = 0; k < bounds.count; ++k) {
        auto size = static_cast<std::size_t>(bounds.values[static_cast<std::size_t>(k)]) + 1;
        if (slots > kValueSlotsMax / size) {
            report_error(rt, kInternalMemory);  // the value block cannot hold it
            return false;
        }
        slots *= size;
    }
    CatalogueEntry entry;
    entry_text(entry.text, name, kArrayMark, bounds);
    entry.name_size = static_cast<uint32_t>(name.size());
    entry.kind = EntryKind::kArray;
    entry.bounds.assign(bounds.values.begin(), bounds.values.begin() + bounds.count);
    return append_entry(rt, std::move(entry), slots);
}

bool has_array_entries(Runtime& rt, std::string_view name) {
    auto& names = rt.expr.variables.names;
    auto found = names.find(name);
    return found != names.end() && (found->second.array >= 0 || found->second.elements > 0);
}

void reset_variables(Runtime& rt) {
    VariableStore& store = rt.expr.variables;
    store.entries.clear();
    store.catalogue_bytes = 0;
    store.names.clear();
    store.elements.clear();
    std::vector<double>().swap(store.values);  // the value block is given back
    store.strings.clear();
    store.string_bytes = 0;
    ++store.generation;
}

SlotLookup find_slot_quietly(Runtime& rt, std::string_view name, const Subscripts& subscripts,
                             std::size_t& slot) {
    switch (locate(rt, name, subscripts, slot, false)) {
        case Lookup::kFound:
            return SlotLookup::kFound;
        case Lookup::kMissing:
            return SlotLookup::kMissing;
        case Lookup::kError:
            break;
    }
    return SlotLookup::kFailed;
}

const std::string* find_string_value(Runtime& rt, std::string_view key) {
    auto& strings = rt.expr.variables.strings;
    auto found = strings.find(key);
    return found == strings.end() ? nullptr : &found->second;
}

bool store_string_quietly(Runtime& rt, std::string_view key, std::string_view content) {
    auto& store = rt.expr.variables;
    auto found = store.strings.find(key);
    std::size_t old_bytes =
        found == store.strings.end() ? 0 : 2 + key.size() + found->second.size();
    std::size_t new_bytes = 2 + key.size() + content.size() + 2;  // the value keeps its quotes
    if (store.string_bytes - old_bytes + new_bytes > kStoreMax) return false;
    if (found == store.strings.end()) {
        found = store.strings.emplace(std::string(key), std::string()).first;
        ++store.generation;
    }
    std::string& value = found->second;  // assigned in place: its capacity is reused
    value.assign(1, '"');
    value.append(content);
    value.push_back('"');
    store.string_bytes = store.string_bytes - old_bytes + new_bytes;
    return true;
}

}  // namespace quillon
