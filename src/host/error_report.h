// The error routine: every run-time failure goes through report_error. Numbers below 100 are
// errors and stop the program; 100 and above are warnings. An error-trap statement, when set,
// is dispatched instead of any report.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

struct Runtime;

// Error numbers, named where code raises them.
enum ErrorNumber : int {
    kSyntaxError = 1,
    kNotAnLvalue = 2,
    kBadIdentifier = 3,
    kUnexpected = 4,
    kOutOfRange = 5,
    kReturnWithoutGosub = 6,
    kFileAccess = 7,
    kCannotOpen = 8,
    kTypeMismatch = 9,
    kArgumentCount = 10,
    kOutOfData = 11,
    kMemoryRange = 12,
    kCannotReference = 13,
    kArrayMemory = 14,
    kInternalMemory = 15,
    kDivisionByZero = 16,
    kAlreadyDefined = 17,
    kFunctionMisuse = 18,
    kOwnMessage = 99,
    kBadInput = 101,
    kNextWithoutFor = 102,
    kWendWithoutWhile = 103,
};

// The message of an error number with `text` in place of its "%s", cut to the 255 bytes of the
// message buffer at a character boundary.
std::string error_message(int number, std::string_view text);
// The report's text and title: "MESSAGE\n\nError line:N" / "Basic - Error", or the warning form.
std::string error_report_text(int number, std::string_view text, int line_number);
const char* error_report_title(int number);

void report_error(Runtime& rt, int number, std::string_view text = {});

}  // namespace quillon
