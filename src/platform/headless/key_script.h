// Scripted keyboard input for the headless back-end: keys from --keys TEXT, --keys-file FILE or
// standard input, as the Shift-JIS bytes a window would type (Enter 13, Backspace 8).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr uint8_t kEnterKey = 13;
inline constexpr uint8_t kBackspaceKey = 8;

class KeyScript {
  public:
    // Reads up to `size` bytes: the count, 0 at the end of the input, -1 when `wait` is false
    // and nothing is ready.
    using Reader = std::function<long(char* buffer, std::size_t size, bool wait)>;

    KeyScript() = default;  // no keys at all
    // --keys TEXT: "\n" is Enter, "\b" Backspace, "\\" one backslash.
    static std::optional<KeyScript> from_text(std::string_view text, std::string* why);
    // --keys-file: a line feed (or carriage return and line feed) is Enter.
    static std::optional<KeyScript> from_file(std::string_view bytes, std::string* why);
    // Keys read from a stream as they are needed (standard input).
    static KeyScript from_stream(Reader reader);

    // The next key. With `wait` false a stream that has nothing ready gives nothing; with
    // `wait` true nothing means the script is used up.
    std::optional<uint8_t> next(bool wait);

  private:
    void read_more(bool wait);
    void decode_stream(bool at_end);
    void push_key(uint8_t byte);

    std::deque<uint8_t> keys_;
    Reader reader_;
    bool stream_ended_ = true;
    std::string undecoded_;  // stream bytes that do not yet form a whole character
    bool after_return_ = false;
};

// Text to key bytes: UTF-8 converted to Shift-JIS (text that is not valid UTF-8 is taken as
// Shift-JIS already); line feeds and carriage returns become Enter. Nothing (and `why`) when a
// character has no Shift-JIS form.
std::optional<std::string> text_to_keys(std::string_view text, std::string* why);

}  // namespace quillon
