// The variable store: numeric variables and arrays in a catalogue with a block of double
// slots, string variables and string array elements in a string store, and the type rules of
// names. Variables are created on first assignment; missing ones read as 0 or "".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/limits.h"

namespace quillon {

struct Runtime;

enum VariableType : int { kDouble = 0, kInteger = 1, kSingle = 2, kString = 3 };

// The integer subscripts of one numeric reference.
struct Subscripts {
    int count = 0;
    std::array<int32_t, kSubscriptMax> values{};
};

// The type of a name (the text before any "(" of a reference): its suffix, else its declared
// initial letter, else double.
VariableType variable_type(Runtime& rt, std::string_view name);

// Writes the value text of a variable or element. Returns false on an error, and for a string
// variable that does not exist (its value then reads as the empty string).
bool get_variable(Runtime& rt, std::string_view reference, std::string& out);
// The number that get_variable's text reads back as, without the text in the common cases
// (a numeric variable or element that exists: its value with six significant digits).
bool get_number(Runtime& rt, std::string_view reference, double& value);
// Converts the value text to the reference's type and stores it, creating the variable or
// element when needed; false on an error.
bool set_variable(Runtime& rt, std::string_view reference, std::string_view value);
// set_variable with the "%g" text of `value`, without the text for numeric references.
bool set_number(Runtime& rt, std::string_view reference, double value);
// Removes a variable, every element created by assignment under that name, or an array.
void erase_variable(Runtime& rt, std::string_view name);

// Rewrites value text for a type. False when a number does not fit the type (an integer
// outside 32 bits, a single beyond its range, any number beyond the double range); the text
// is then unchanged.
bool convert_to_type(std::string& value, VariableType type);

// Splits a numeric reference into its name and its evaluated subscripts (none without "(").
bool parse_subscripts(Runtime& rt, std::string_view reference, std::string_view& name,
                      Subscripts& subscripts);
// Rewrites a string reference with each subscript evaluated: a$(1+1, 2) -> a$(2,2).
bool normalize_subscripts(Runtime& rt, std::string_view reference, std::string& out);
// The slot of a numeric variable or element, or -1 when it does not exist (or on error 14).
int64_t find_slot(Runtime& rt, std::string_view name, const Subscripts& subscripts);

// Creates a dimensioned array (catalogue entry and zeroed slots); false on an error.
bool create_array(Runtime& rt, std::string_view name, const Subscripts& bounds);
// True when the name already has array entries (dimensioned, or elements by assignment).
bool has_array_entries(Runtime& rt, std::string_view name);

// Empties the whole store (reset).
void reset_variables(Runtime& rt);

}  // namespace quillon
