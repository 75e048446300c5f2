// Direct access to the variable store for statements prepared ahead of their execution: a name
// is resolved to its slot once and used until the store's generation changes. None of these
// report an error: a lookup that would fail tells its caller, which then takes the text path.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "expr/variables.h"

namespace quillon {

struct Runtime;

enum class SlotLookup { kFound, kMissing, kFailed };

// The slot of a numeric variable (no subscripts) or element; kFailed where reading it would
// report an error (a wrong subscript count or a subscript above its bound).
SlotLookup find_slot_quietly(Runtime& rt, std::string_view name, const Subscripts& subscripts,
                             std::size_t& slot);

// The number a value of `value` is stored as in a variable of `type` (integers rounded half up,
// singles through their seven decimals); false when it does not fit the type.
bool convert_number(double value, VariableType type, double& number);

// Stores an already converted number, creating the variable or element when needed; reports
// errors as an assignment does.
bool store_converted(Runtime& rt, std::string_view name, const Subscripts& subscripts,
                     double number);

// A name that a user-defined function without arguments may answer to when no variable has it.
bool is_user_function_name(std::string_view name);

// The value text (quotes included) of a string variable or element under its normalised name,
// or nullptr when there is none.
const std::string* find_string_value(Runtime& rt, std::string_view key);

// Stores the string value whose characters (escaped, without quotes) are `content` under a
// normalised name; false, with nothing stored or reported, when the store has no room.
bool store_string_quietly(Runtime& rt, std::string_view key, std::string_view content);

}  // namespace quillon
