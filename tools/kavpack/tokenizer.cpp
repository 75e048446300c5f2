// tokenize_source: source lines to numbered program lines, with the checks that keep the text
// within what the run loop and the image can hold, and the font taken from options.
#include "kavpack/tokenizer.h"

#include <algorithm>
#include <cstdint>

#include "host/limits.h"
#include "kavpack/font_options.h"
#include "kavpack/keywords.h"
#include "kavpack/source_lines.h"
#include "kavpack/statement_tokens.h"

namespace quillon::kavpack {
namespace {

constexpr uint64_t kLineNumberValueMax = INT32_MAX;  // the run loop keeps it in 32 bits
constexpr std::string_view kFirstLine = "1 \n";      // every image starts with this empty line

struct ProgramBuilder {
    std::string body;          // numbered lines after the first one
    uint64_t last_number = 0;  // number of the previous line
    bool any_line = false;
    bool first_is_zero = false;  // the first line is numbered 0: no "1 " line before it
};

// Reads the line number at the start of `line` (written, or the previous plus 1) and leaves
// `line` at the statements. False with `why` when the number cannot be used.
bool take_line_number(ProgramBuilder& b, std::string_view& line, std::string& number,
                      std::string& why) {
    std::size_t start = 0;
    while (start < line.size() && is_blank(line[start]))
        ++start;
    std::size_t end = start;
    while (end < line.size() && is_digit(line[end]))
        ++end;
    uint64_t value = b.any_line ? b.last_number + 1 : 1;
    if (end > start) {
        number = std::string(line.substr(start, end - start));
        if (number.size() > kLineNumberMax) {
            why = "line number " + number + " is longer than 19 characters";
            return false;
        }
        value = std::stoull(number);
        line.remove_prefix(end);
    } else {
        number = std::to_string(value);
    }
    if (value > kLineNumberValueMax) {
        why = "line number " + number + " is above 2147483647";
        return false;
    }
    if (b.any_line && value <= b.last_number) {
        why = "line number " + number + " does not follow line " + std::to_string(b.last_number) +
              " (numbers must increase)";
        return false;
    }
    if (!b.any_line) b.first_is_zero = value == 0;
    b.last_number = value;
    b.any_line = true;
    return true;
}

// The longest statement of a program line as the run loop cuts it: at ':' outside quotes,
// except that an IF statement runs to the end of its line.
std::size_t longest_statement(std::string_view statements) {
    std::size_t longest = 0;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= statements.size(); ++i) {
        bool end = i == statements.size();
        if (!end && statements[i] == '"') quoted = !quoted;
        if (!end && (statements[i] != ':' || quoted)) continue;
        bool is_if = statements.size() >= start + 2 &&
                     static_cast<uint8_t>(statements[start]) == (kIfToken >> 8) &&
                     static_cast<uint8_t>(statements[start + 1]) == (kIfToken & 0xFF);
        if (is_if && !end) continue;
        longest = std::max(longest, i - start);
        start = i + 1;
        quoted = false;
    }
    return longest;
}

// Adds one program line; false with `why` when it breaks a limit.
bool add_line(ProgramBuilder& b, std::string_view line, std::string& why) {
    std::string number;
    if (!take_line_number(b, line, number, why)) return false;
    std::string statements = tokenize_statements(line);
    if (std::size_t longest = longest_statement(statements); longest > kStatementMax) {
        why = "a statement is " + std::to_string(longest) + " bytes long; at most 8191 fit";
        return false;
    }
    b.body += number;
    b.body += ' ';
    b.body += statements;
    b.body += '\n';
    // The "1 " line, the body and the final empty line must fit the image's 16-bit length.
    std::size_t first = b.first_is_zero ? 0 : kFirstLine.size();
    if (first + b.body.size() + 1 > kProgramMax) {
        why = "the program text grows past 65535 bytes, the most an image holds";
        return false;
    }
    return true;
}

// Applies an option line; false with `why` when it is malformed or comes too late.
bool take_options(const ProgramBuilder& b, std::string_view line, FontChoice& options,
                  std::string& why) {
    if (b.any_line) {
        why = "kavpack options must come before the first program line";
        return false;
    }
    auto choice = parse_option_line(line, &why);
    if (!choice) return false;
    if (choice->face) options.face = choice->face;
    if (choice->numbers) options.numbers = choice->numbers;
    return true;
}

}  // namespace

std::string TokenizeError::describe(std::string_view source_name) const {
    return std::string(source_name) + ":" + std::to_string(line) + ": " + message;
}

TokenizeResult tokenize_source(std::string_view source, const FontChoice& choice) {
    TokenizeResult result;
    std::vector<std::string> lines;
    if (!read_source_lines(source, lines, result.error)) return result;
    ProgramBuilder builder;
    FontChoice options;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find_first_not_of(" \t") == std::string::npos) continue;  // takes no number
        std::string why;
        bool ok = is_option_line(lines[i]) ? take_options(builder, lines[i], options, why)
                                           : add_line(builder, lines[i], why);
        if (!ok) {
            result.error = {static_cast<int>(i + 1), why};
            return result;
        }
    }
    ProgramImage image;
    image.face = choice.face.value_or(options.face.value_or(std::string(kDefaultFace)));
    image.font_numbers =
        choice.numbers.value_or(options.numbers.value_or(std::string(kDefaultFontNumbers)));
    if (!builder.first_is_zero) image.text = kFirstLine;
    image.text += builder.body;
    image.text += '\n';
    result.image = std::move(image);
    return result;
}

}  // namespace quillon::kavpack
