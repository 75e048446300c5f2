// Control-flow statements prepared ahead: IF with its condition parsed, jumps and subroutine
// calls with their targets found once, FOR/NEXT and WHILE/WEND with their expressions parsed
// and their loop partners remembered.
#pragma once

#include <memory>
#include <string_view>

namespace quillon {

struct Runtime;
class PreparedShape;

// Each takes the statement's argument text; nullptr keeps the text path.
std::unique_ptr<PreparedShape> prepare_if(Runtime& rt, std::string_view args);
std::unique_ptr<PreparedShape> prepare_goto(Runtime& rt, std::string_view args, bool subroutine);
std::unique_ptr<PreparedShape> prepare_return(Runtime& rt, std::string_view args);
std::unique_ptr<PreparedShape> prepare_on(Runtime& rt, std::string_view args);
std::unique_ptr<PreparedShape> prepare_for(Runtime& rt, std::string_view args);
std::unique_ptr<PreparedShape> prepare_next(Runtime& rt, std::string_view args);
std::unique_ptr<PreparedShape> prepare_while(Runtime& rt, std::string_view args);
std::unique_ptr<PreparedShape> prepare_wend(Runtime& rt, std::string_view args);

}  // namespace quillon
