// The headless transcript: what the character screen receives and every message box, as UTF-8
// on standard output, with escape pairs shown as the characters they stand for.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillon {

// Screen text to UTF-8 with each escape pair as the character it stands for: 0x01 0x01 as
// byte 1, 0x01 L as one blank, 0x01 D as a double quote, 0x01 Z as byte 0.
std::string screen_text_to_utf8(std::string_view sjis);

class Transcript {
  public:
    using Sink = std::function<void(std::string_view utf8)>;
    // `immediate` writes every piece at once (a terminal); otherwise output is buffered until
    // flush() or until the buffer is large.
    Transcript(Sink sink, bool immediate) : sink_(std::move(sink)), immediate_(immediate) {}

    // Text written to the character screen. A double-byte character or escape pair split
    // between two writes (the echo of typed keys comes byte by byte) is joined first.
    void screen_output(std::string_view sjis);
    // "[TITLE] TEXT" and a line feed, starting on a fresh line.
    void message_box(std::string_view text, std::string_view title);
    // While muted, output only advances the transcript's state (a terminal already showed it).
    void set_muted(bool muted) { muted_ = muted; }
    // Writes out what is buffered; with `final`, also a byte held for a partner that never came.
    void flush(bool final = false);

  private:
    void emit(std::string_view utf8);

    Sink sink_;
    bool immediate_;
    bool muted_ = false;
    bool fresh_line_ = true;  // nothing written yet, or the last byte was a line feed
    std::string held_;        // a lead byte or 0x01 waiting for the byte after it
    std::string buffer_;
};

}  // namespace quillon
