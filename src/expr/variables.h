// The variable store: numeric catalogue and value block, string store, arrays.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct Runtime;

enum VariableType : int { kDouble = 0, kInteger = 1, kSingle = 2, kString = 3 };

VariableType variable_type(Runtime& rt, std::string_view name);
// Writes the value text of a variable or element; false on failure (or a missing string).
bool get_variable(Runtime& rt, std::string_view reference, std::string& out);
// Converts the value text to the reference's type and stores it, creating it when needed.
bool set_variable(Runtime& rt, std::string_view reference, std::string_view value);
void erase_variable(Runtime& rt, std::string_view name);
void convert_to_type(std::string& value, VariableType type);
// Empties the whole store (reset).
void reset_variables(Runtime& rt);

}  // namespace quillon
