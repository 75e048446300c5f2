// The statement tokenizer. A statement starts after the line number, after a ':' outside
// quotes and after THEN or ELSE outside quotes; its first word, if it is a statement keyword,
// becomes the two-byte token. Double-byte characters are stepped over whole, so a trail byte
// that happens to be a letter is never read as part of a word.
#include "kavpack/statement_tokens.h"

#include <cstdint>

#include "expr/value_text.h"
#include "host/shift_jis.h"
#include "kavpack/keywords.h"

namespace quillon::kavpack {
namespace {

constexpr int kCircleFillComma = 6;   // CIRCLE's F follows its sixth argument comma
constexpr int kGprintStyleComma = 8;  // GPRINT's style word follows its eighth

// A type suffix right after a word makes it a variable name (and$, or%).
bool is_suffix(char c) {
    return c == '$' || c == '%' || c == '!' || c == '#';
}

bool is_all_letters(std::string_view word) {
    for (char c : word)
        if (!is_letter(c)) return false;
    return !word.empty();
}

// THEN or ELSE followed by a blank (as IF finds them) or ending the statement: a statement
// starts after the blanks.
bool is_then_or_else(std::string_view line, std::size_t start, std::size_t end) {
    std::string_view word = line.substr(start, end - start);
    return (same_word(word, "THEN") || same_word(word, "ELSE")) &&
           (end == line.size() || is_blank(line[end]) || line[end] == ':' || line[end] == '\'');
}

// Words after which a '*' starts a label rather than a multiplication.
bool takes_label(std::string_view word) {
    return same_word(word, "GOTO") || same_word(word, "GOSUB") || same_word(word, "RESTORE");
}

// Position just after the `n`th comma at bracket depth 0 outside quotes, or npos.
std::size_t after_comma(const std::string& args, int n) {
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        char c = args[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0 && --n == 0) return i + 1;
    }
    return std::string::npos;
}

// Position just after the bracket that closes the '(' at the start, or npos.
std::size_t after_group(const std::string& args) {
    if (args.empty() || args[0] != '(') return std::string::npos;
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        char c = args[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) return i + 1;
    }
    return std::string::npos;
}

void drop_blanks_at(std::string& args, std::size_t at) {
    if (at == std::string::npos) return;
    std::size_t end = at;
    while (end < args.size() && is_blank(args[end]))
        ++end;
    args.erase(at, end - at);
}

// Handlers that compare a word at a fixed place without skipping blanks: MOUSE's switch word
// after its bracket, CIRCLE's F and GPRINT's style word after their argument commas. Dropping
// the blanks in front lets programs written with natural spacing run.
void drop_blanks_before_compared_word(uint16_t token, std::string& args) {
    if (token == kMouseToken) drop_blanks_at(args, after_group(args));
    if (token == kCircleToken) drop_blanks_at(args, after_comma(args, kCircleFillComma));
    if (token == kGprintToken) drop_blanks_at(args, after_comma(args, kGprintStyleComma));
}

// Why a statement stopped.
enum class Stop { End, Colon, Comment, ThenElse };

// What starts a statement.
enum class Start { Plain, Keyword, Remark };

class LineTokenizer {
  public:
    explicit LineTokenizer(std::string_view source) : s_(source) {}

    std::string run() {
        Stop stop = Stop::End;
        for (;;) {
            skip_blanks();
            if (at_end()) break;
            if (peek() == '\'') {
                stop = Stop::Comment;
                break;
            }
            if (peek() == ':') {
                out_ += ':';
                ++pos_;
                continue;
            }
            stop = statement();
            if (stop == Stop::Colon) {
                out_ += ':';
                ++pos_;
            } else if (stop != Stop::ThenElse) {
                break;
            }
        }
        trim_blanks();
        if (stop == Stop::Comment && out_.size() > kept_ && out_.back() == ':') {
            out_.pop_back();  // the separator went with the comment
            trim_blanks();
        }
        return std::move(out_);
    }

  private:
    std::string_view s_;
    std::size_t pos_ = 0;
    std::string out_;

    std::size_t kept_ = 0;  // bytes of out_ that trimming must not touch (IF's code is a blank)

    void trim_blanks() {
        while (out_.size() > kept_ && is_blank(out_.back()))
            out_.pop_back();
    }
    bool at_end() const { return pos_ >= s_.size(); }
    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0';
    }
    void skip_blanks() {
        while (!at_end() && is_blank(peek()))
            ++pos_;
    }
    // End of the run of name bytes starting at `from`, double-byte characters whole.
    std::size_t word_end(std::size_t from) const {
        std::size_t end = from;
        while (end < s_.size() && is_name_byte(s_[end]))
            end += is_sjis_lead(static_cast<uint8_t>(s_[end])) && end + 1 < s_.size() ? 2 : 1;
        return end;
    }
    // A keyword is whole when no name byte or type suffix follows it ('#' may: PRINT#1).
    bool keyword_is_whole(std::size_t end) const {
        return end >= s_.size() || !(is_name_byte(s_[end]) || s_[end] == '$' || s_[end] == '%');
    }

    Stop statement();
    Start recognise_keyword(uint16_t& token, std::string& prefix);
    Stop arguments(uint16_t token, std::string& args);
    void copy_quoted(std::string& args);
    void copy_label(std::string& args);
    bool is_put_mode_word(const std::string& args, std::size_t end) const;
    bool ends_statement(std::size_t from) const;
    Stop finish_then_else();
};

// One statement from the current position; appends it to the line.
Stop LineTokenizer::statement() {
    const std::size_t start = pos_;
    uint16_t token = 0;
    std::string prefix;
    Start kind = recognise_keyword(token, prefix);
    if (kind == Start::Remark) return Stop::Comment;
    if (kind == Start::Plain) {
        pos_ = start;
        std::string text;
        Stop stop = arguments(0, text);
        out_ += text;
        return stop == Stop::ThenElse ? finish_then_else() : stop;
    }
    out_ += static_cast<char>(token >> 8);
    out_ += static_cast<char>(token & 0xFF);
    kept_ = out_.size();
    const std::size_t blanks = pos_;
    skip_blanks();
    std::string blanks_written(s_.substr(blanks, pos_ - blanks));
    std::string args;
    Stop stop = arguments(token, args);
    drop_blanks_before_compared_word(token, args);
    if (!prefix.empty() || !args.empty()) {
        out_ += ' ';
        out_ += prefix;
        if (!prefix.empty() && !args.empty()) out_ += ' ';
        out_ += args;
    }
    if (stop == Stop::ThenElse && args.empty())  // THEN and ELSE are found only after a blank
        out_ += blanks_written.empty() ? " " : blanks_written;
    return stop == Stop::ThenElse ? finish_then_else() : stop;
}

// Reads a statement keyword at the current position and moves past it (and past the INPUT of
// LINE INPUT). A plain statement leaves the position unspecified.
Start LineTokenizer::recognise_keyword(uint16_t& token, std::string& prefix) {
    if (peek() == '?') {
        ++pos_;
        token = kPrintToken;
        return Start::Keyword;
    }
    std::size_t end = word_end(pos_);
    std::string_view word = s_.substr(pos_, end - pos_);
    if (!is_all_letters(word) || !keyword_is_whole(end)) return Start::Plain;
    auto found = find_statement_word(word);
    if (!found) return Start::Plain;
    if (found->kind == WordKind::Remark) return Start::Remark;
    pos_ = end;
    token = found->token;
    prefix = found->type;
    std::size_t next = end;
    while (next < s_.size() && is_blank(s_[next]))
        ++next;
    if (token == kDefFnToken)  // DEF FNname(...)=...: the name keeps its FN
        return same_word(s_.substr(next, 2), "FN") ? Start::Keyword : Start::Plain;
    if (token == kLineToken) {
        std::size_t input_end = word_end(next);
        if (same_word(s_.substr(next, input_end - next), "INPUT") && keyword_is_whole(input_end)) {
            prefix = "INPUT";
            pos_ = input_end;
        }
    }
    return Start::Keyword;
}

// Copies the rest of a statement, up to a ':' or comment outside quotes, the end of the line,
// or a THEN or ELSE word (left at the position), with operator words tokenized.
Stop LineTokenizer::arguments(uint16_t token, std::string& args) {
    const bool data = token == kDataToken;  // DATA items are constants, kept as written
    bool label_allowed = true;
    while (!at_end()) {
        char c = peek();
        if (c == ':') return Stop::Colon;
        if (c == '\'') return Stop::Comment;
        if (c == '"') {
            copy_quoted(args);
            label_allowed = false;
        } else if (is_blank(c)) {
            args += c;
            ++pos_;
        } else if (c == '*' && label_allowed && !data) {
            copy_label(args);
            label_allowed = false;
        } else if (is_name_byte(c)) {
            std::size_t end = word_end(pos_);
            std::string_view word = s_.substr(pos_, end - pos_);
            label_allowed = takes_label(word);
            char code = is_all_letters(word) && !data ? operator_code(word) : 0;
            if (!data && is_then_or_else(s_, pos_, end)) return Stop::ThenElse;
            if (code && !(end < s_.size() && is_suffix(s_[end])) &&
                !(token == kPutToken && is_put_mode_word(args, end))) {
                args += kOpEscape;
                args += code;
            } else {
                args.append(word);
            }
            pos_ = end;
        } else {
            args += c;
            ++pos_;
            label_allowed = c == ',';
        }
    }
    return Stop::End;
}

// A string literal up to its closing quote, or to the end of the line when it has none.
void LineTokenizer::copy_quoted(std::string& args) {
    std::size_t close = s_.find('"', pos_ + 1);
    std::size_t end = close == std::string_view::npos ? s_.size() : close + 1;
    args.append(s_.substr(pos_, end - pos_));
    pos_ = end;
}

// '*' and the label's name, byte for byte: a label such as *or is not an operator word.
void LineTokenizer::copy_label(std::string& args) {
    std::size_t end = pos_ + 1;
    while (end < s_.size()) {
        char c = s_[end];
        if (is_blank(c) || c == ':' || c == ',' || c == '\'' || c == '"') break;
        end += is_sjis_lead(static_cast<uint8_t>(c)) && end + 1 < s_.size() ? 2 : 1;
    }
    args.append(s_.substr(pos_, end - pos_));
    pos_ = end;
}

// The last word of a PUT statement, after a comma, is its mode word (PSET, OR, XOR).
bool LineTokenizer::is_put_mode_word(const std::string& args, std::size_t end) const {
    std::size_t last = args.find_last_not_of(" \t");
    return last != std::string::npos && args[last] == ',' && ends_statement(end);
}

// Only blanks lie between `from` and the end of the statement.
bool LineTokenizer::ends_statement(std::size_t from) const {
    while (from < s_.size() && is_blank(s_[from]))
        ++from;
    if (from >= s_.size() || s_[from] == ':' || s_[from] == '\'') return true;
    return is_then_or_else(s_, from, word_end(from));
}

// Copies the THEN or ELSE at the position and the blanks after it; a statement starts there.
Stop LineTokenizer::finish_then_else() {
    std::size_t end = word_end(pos_);
    while (end < s_.size() && is_blank(s_[end]))
        ++end;
    out_.append(s_.substr(pos_, end - pos_));
    pos_ = end;
    return Stop::ThenElse;
}

}  // namespace

std::string tokenize_statements(std::string_view source) {
    return LineTokenizer(source).run();
}

}  // namespace quillon::kavpack
