// Key scripts: escapes of --keys, UTF-8 to Shift-JIS, line ends to Enter, and the
// character-by-character decoding of keys read from standard input.
#include "platform/headless/key_script.h"

#include <algorithm>

#include "host/shift_jis.h"
#include "platform/system_services.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr std::size_t kReadChunk = 256;

// Length of the UTF-8 sequence a lead byte starts (0 when it starts none).
std::size_t utf8_length(uint8_t lead) {
    return lead < 0x80         ? 1
           : (lead >> 5) == 6  ? 2
           : (lead >> 4) == 14 ? 3
           : (lead >> 3) == 30 ? 4
                               : 0;
}

// Replaces the two-character escapes of --keys; `sjis` says whether the text is Shift-JIS,
// whose trail bytes may look like a backslash.
std::string expand_escapes(std::string_view text, bool sjis) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (sjis && is_sjis_lead(static_cast<uint8_t>(c)) && k + 1 < text.size()) {
            out.append(text.substr(k++, 2));
            continue;
        }
        char next = k + 1 < text.size() ? text[k + 1] : '\0';
        if (c == '\\' && (next == 'n' || next == 'b' || next == '\\')) {
            out += next == 'n' ? '\n' : next == 'b' ? '\b' : '\\';
            ++k;
            continue;
        }
        out += c;
    }
    return out;
}

// Line feed, carriage return and the pair of both become one Enter each.
std::string line_ends_to_enter(std::string_view sjis) {
    std::string out;
    for (std::size_t k = 0; k < sjis.size(); ++k) {
        char c = sjis[k];
        if (c == '\r' && k + 1 < sjis.size() && sjis[k + 1] == '\n') continue;
        out += (c == '\n' || c == '\r') ? static_cast<char>(kEnterKey) : c;
    }
    return out;
}

}  // namespace

std::optional<std::string> text_to_keys(std::string_view text, std::string* why) {
    if (!is_valid_utf8(text)) return line_ends_to_enter(text);
    std::size_t bad = 0;
    auto sjis = utf8_to_sjis(text, &bad);
    if (!sjis) {
        if (why) *why = "the character at byte " + std::to_string(bad) + " has no Shift-JIS form";
        return std::nullopt;
    }
    return line_ends_to_enter(*sjis);
}

std::optional<KeyScript> KeyScript::from_text(std::string_view text, std::string* why) {
    auto keys = text_to_keys(expand_escapes(text, !is_valid_utf8(text)), why);
    if (!keys) return std::nullopt;
    KeyScript script;
    for (char c : *keys)
        script.keys_.push_back(static_cast<uint8_t>(c));
    return script;
}

std::optional<KeyScript> KeyScript::from_file(std::string_view bytes, std::string* why) {
    auto keys = text_to_keys(bytes, why);
    if (!keys) return std::nullopt;
    KeyScript script;
    for (char c : *keys)
        script.keys_.push_back(static_cast<uint8_t>(c));
    return script;
}

KeyScript KeyScript::from_stream(Reader reader) {
    KeyScript script;
    script.reader_ = std::move(reader);
    script.stream_ended_ = false;
    return script;
}

std::optional<uint8_t> KeyScript::next(bool wait) {
    while (keys_.empty() && !stream_ended_) {
        std::size_t before = undecoded_.size();
        read_more(wait);
        if (!wait && keys_.empty() && undecoded_.size() == before) break;  // nothing ready
    }
    if (keys_.empty()) return std::nullopt;
    uint8_t key = keys_.front();
    keys_.pop_front();
    return key;
}

void KeyScript::read_more(bool wait) {
    char chunk[kReadChunk];
    long got = reader_(chunk, sizeof chunk, wait);
    if (got < 0 && !wait) return;  // nothing ready yet
    if (got <= 0) stream_ended_ = true;
    if (got > 0) undecoded_.append(chunk, static_cast<std::size_t>(got));
    decode_stream(stream_ended_);
}

// Turns the whole characters of the stream's bytes into keys; an incomplete one waits for
// more bytes unless the stream has ended.
void KeyScript::decode_stream(bool at_end) {
    std::size_t k = 0;
    while (k < undecoded_.size()) {
        auto lead = static_cast<uint8_t>(undecoded_[k]);
        std::size_t len = utf8_length(lead);
        if (len > 1 && k + len > undecoded_.size() && !at_end) break;  // wait for the rest
        std::string_view piece(undecoded_.data() + k, std::min(len, undecoded_.size() - k));
        if (len == 0 || !is_valid_utf8(piece)) {
            // Not UTF-8: taken as a Shift-JIS character as it stands.
            std::size_t width = is_sjis_lead(lead) ? 2 : 1;
            if (width == 2 && k + 1 == undecoded_.size() && !at_end) break;
            width = std::min(width, undecoded_.size() - k);
            for (std::size_t i = 0; i < width; ++i)
                push_key(static_cast<uint8_t>(undecoded_[k + i]));
            k += width;
            continue;
        }
        if (auto sjis = utf8_to_sjis(piece)) {
            for (char c : *sjis)
                push_key(static_cast<uint8_t>(c));
        } else {
            write_standard_error("kavrun: a typed character has no Shift-JIS form; left out\n");
        }
        k += len;
    }
    undecoded_.erase(0, k);
}

// One byte of input: carriage return, line feed or both make one Enter.
void KeyScript::push_key(uint8_t byte) {
    bool line_feed_after_return = byte == '\n' && after_return_;
    after_return_ = byte == '\r';
    if (line_feed_after_return) return;
    keys_.push_back(byte == '\n' || byte == '\r' ? kEnterKey : byte);
}

}  // namespace quillon
