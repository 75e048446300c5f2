// The transcript's conversion: escape pairs to their characters, Shift-JIS to UTF-8, message
// boxes on a line of their own.
#include "platform/headless/transcript.h"

#include <cstdint>

#include "host/shift_jis.h"
#include "platform/text_codec.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

constexpr std::size_t kBufferFlushSize = 64 * 1024;

// Length of the complete characters at the start of `text`: a trailing lead byte or 0x01 that
// still waits for its second byte is left out.
std::size_t complete_prefix(std::string_view text) {
    std::size_t k = 0;
    while (k < text.size()) {
        auto byte = static_cast<uint8_t>(text[k]);
        if (!is_sjis_lead(byte) && byte != 0x01) {
            ++k;
        } else if (k + 1 == text.size()) {
            return k;  // wait for its partner
        } else {
            bool lone = byte == 0x01 ? escape_pair_kind(text, k) == kNoPair
                                     : !is_sjis_trail(static_cast<uint8_t>(text[k + 1]));
            k += lone ? 1 : 2;
        }
    }
    return k;
}

}  // namespace

std::string screen_text_to_utf8(std::string_view sjis) {
    return sjis_to_utf8(decode_screen_pairs(sjis));
}

void Transcript::screen_output(std::string_view sjis) {
    std::string text = held_;
    text.append(sjis);
    std::size_t complete = complete_prefix(text);
    held_ = text.substr(complete);
    text.resize(complete);
    emit(screen_text_to_utf8(text));
}

void Transcript::message_box(std::string_view text, std::string_view title) {
    flush(true);
    if (!fresh_line_) emit("\n");
    std::string line = "[" + sjis_to_utf8(title) + "] " + sjis_to_utf8(text) + "\n";
    bool was_muted = muted_;
    muted_ = false;  // a box is never something a terminal has shown already
    emit(line);
    muted_ = was_muted;
    flush();
}

void Transcript::emit(std::string_view utf8) {
    if (utf8.empty()) return;
    fresh_line_ = utf8.back() == '\n';
    if (muted_) return;
    buffer_.append(utf8);
    if (immediate_ || buffer_.size() >= kBufferFlushSize) flush();
}

void Transcript::flush(bool final) {
    if (final && !held_.empty()) {
        std::string rest;
        rest.swap(held_);
        emit(screen_text_to_utf8(rest));
    }
    if (buffer_.empty()) return;
    std::string out;
    out.swap(buffer_);
    sink_(out);
}

}  // namespace quillon
