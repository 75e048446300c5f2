// Fixed sizes of the system. They are observable behaviour: programs written for the
// system rely on them, so they are enforced explicitly wherever input could exceed them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

inline constexpr std::size_t kStatementMax =
    8191;  // bytes of one statement, argument or output text
inline constexpr std::size_t kLineNumberMax = 19;   // characters of a line number
inline constexpr std::size_t kProgramMax = 65535;   // bytes of program text (16-bit image length)
inline constexpr std::size_t kDataListMax = 65536;  // bytes of DATA items in the data list
inline constexpr std::size_t kErrorTextMax = 255;   // bytes of an error message or report
inline constexpr std::size_t kTrapStatementMax = 255;  // bytes of the error-trap statement
inline constexpr std::size_t kEventTrapMax = 254;      // bytes of an event-trap statement
inline constexpr std::size_t kNumericExprMax = 1024;   // bytes the numeric passes look at
inline constexpr int kOperandMax = 255;                // operands of one flat numeric expression
inline constexpr std::size_t kOperandTextMax = 255;    // bytes of one operand, number or name
inline constexpr int kAdditivePassMax = 51;      // operators applied by the +,-,AND,OR,XOR passes
inline constexpr std::size_t kStoreMax = 65535;  // bytes of the numeric catalogue and string store
inline constexpr int kSubscriptMax = 255;        // subscripts of one array reference
inline constexpr int kUserFunctionMax = 999;     // user-defined function table entries
inline constexpr std::size_t kUserFunctionTextMax = 1023;  // bytes of a function head or body
inline constexpr int kUserCallDepthMax = 64;    // nested user-function calls (recursion never ends)
inline constexpr int kDeclaredLetterMax = 127;  // letters of one declared-letter list
inline constexpr int kGosubDepthMax = 1024;     // GOSUB return entries
inline constexpr int kForDepthMax = 1024;       // FOR loop limits
inline constexpr std::size_t kScreenTextMax = 8191;  // bytes of the character screen text
inline constexpr int kFileSlots = 9;                 // file numbers 1 to 9
inline constexpr int kImageSlots = 1024;             // images held at once
inline constexpr int64_t kImagePixelsMax = int64_t{1} << 25;  // pixels of one GET image
inline constexpr int64_t kImageTablePixelsMax =
    int64_t{1} << 27;  // pixels all the images held at once take (512 MB)
inline constexpr int kMouseEvents = 5;               // mouse event traps 1 to 5
inline constexpr int kInputVariableMax = 50;         // variables of one keyboard INPUT
inline constexpr std::size_t kInputSplitMax =
    1024;                                           // bytes of INPUT's list and line that are split
inline constexpr std::size_t kInputItemMax = 1023;  // bytes of one INPUT name or value

// The largest canvas (picture or window surface, 4 bytes a pixel): 16384 pixels a side and
// 32 Mpixels (128 MiB) in all. --screen and --window beyond it are refused, WINDOW is kept
// within it.
inline constexpr int kCanvasSideMax = 16384;
inline constexpr int64_t kCanvasAreaMax = int64_t{32} << 20;

// Slots of the variable store's value block (8 bytes each): a bigger DIM is refused.
inline constexpr std::size_t kValueSlotsMax = std::size_t{1} << 25;

}  // namespace quillon
