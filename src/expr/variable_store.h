// The data of the variable store: the numeric catalogue with its value block, the string store
// and the declared-letter lists. Hash indexes sit beside the catalogue so that a lookup never
// rescans it; what programs can observe (order, kinds, slot layout, byte capacity) is unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillon {

// Hashing by string_view, so that lookups with a view or a stack buffer need no copy.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};
template <class Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

// Kinds of catalogue entries.
enum class EntryKind : uint8_t { kScalar = 0, kElement = 1, kArray = 2 };

// One catalogue entry. `text` is the entry as the catalogue writes it, without its comma: the
// name, then for an element 0x01 and each subscript followed by 0x03, for an array 0x02 and
// each upper bound followed by 0x03.
struct CatalogueEntry {
    std::string text;
    uint32_t name_size = 0;
    EntryKind kind = EntryKind::kScalar;
    std::size_t first_slot = 0;
    std::size_t slot_count = 1;
    std::vector<int32_t> bounds;  // an array's upper bounds
};

// Where the entries of one name stand in the catalogue (indexes into `entries`).
struct NameEntries {
    int32_t scalar = -1;    // its kind 0 entry
    int32_t array = -1;     // its first kind 2 entry
    uint32_t elements = 0;  // how many kind 1 entries it has
};

struct VariableStore {
    std::vector<CatalogueEntry> entries;  // the catalogue, in creation order
    std::size_t catalogue_bytes = 0;      // bytes of the catalogue text, commas included
    TextMap<NameEntries> names;           // name -> its entries
    TextMap<int32_t> elements;            // element entry text -> entry index
    std::vector<double> values;           // the value block: one double per slot in use

    TextMap<std::string> strings;  // string store: name (subscripts normalised) -> value text
    std::size_t string_bytes = 0;  // bytes of the store's lines: line feed, name, blank, value

    std::string key;  // scratch for building element keys without allocating per access

    // Raised whenever a name may resolve differently: an entry added or removed, a string
    // variable made or erased, a reset, declared letters or user functions changed. Statements
    // prepared ahead keep slots resolved under one generation and look again after a change.
    uint64_t generation = 0;
};

// The letters declared by the type-declaration statement, one bit per letter A..Z. The lists
// are consulted in the order integer, single, string.
struct DeclaredLetters {
    uint32_t integer = 0;
    uint32_t single = 0;
    uint32_t string = 0;
    bool operator==(const DeclaredLetters&) const = default;
};

}  // namespace quillon
