// PRINT to the screen prepared ahead: the list of items cut once, each item's expression
// parsed; the line is composed exactly as compose_and_print composes it.
#pragma once

#include <memory>
#include <string_view>

namespace quillon {

struct Runtime;
class PreparedShape;

// PRINT's argument text; nullptr (the text path) for file output, USING and what is not
// prepared.
std::unique_ptr<PreparedShape> prepare_print(Runtime& rt, std::string_view args);

}  // namespace quillon
