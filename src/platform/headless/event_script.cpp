// Parsing the --events script: one whitespace-separated event per line.
#include "platform/headless/event_script.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace quillon {
namespace {

constexpr int kVirtualKeyMax = 255;

struct KeyName {
    std::string_view name;
    int code;
};

constexpr KeyName kKeyNames[] = {
    {"lbutton", 0x01}, {"rbutton", 0x02}, {"backspace", 0x08}, {"tab", 0x09},     {"enter", 0x0D},
    {"return", 0x0D},  {"shift", 0x10},   {"ctrl", 0x11},      {"control", 0x11}, {"alt", 0x12},
    {"escape", 0x1B},  {"esc", 0x1B},     {"space", 0x20},     {"left", 0x25},    {"up", 0x26},
    {"right", 0x27},   {"down", 0x28},    {"insert", 0x2D},    {"delete", 0x2E},
};

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string_view> split_words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t k = 0;
    while (k < line.size()) {
        while (k < line.size() && (line[k] == ' ' || line[k] == '\t' || line[k] == '\r'))
            ++k;
        std::size_t start = k;
        while (k < line.size() && line[k] != ' ' && line[k] != '\t' && line[k] != '\r')
            ++k;
        if (k > start) words.push_back(line.substr(start, k - start));
    }
    return words;
}

// A whole word as an integer (an optional minus sign, decimal digits, or 0x and hex digits).
template <typename Int>
bool parse_integer(std::string_view word, Int& value) {
    int base = 10;
    bool negative = !word.empty() && word[0] == '-';
    if (negative) word.remove_prefix(1);
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    if (word.empty() || word[0] == '+' || word[0] == '-') return false;
    int64_t magnitude = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), magnitude, base);
    if (ec != std::errc() || end != word.data() + word.size()) return false;
    int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value < static_cast<int64_t>(std::numeric_limits<Int>::min()) ||
        static_cast<uint64_t>(magnitude) > static_cast<uint64_t>(std::numeric_limits<Int>::max()))
        return false;
    value = static_cast<Int>(signed_value);
    return true;
}

// The mouse event of a press or release of a button; 0 for an unknown button.
int button_event(std::string_view button, bool press) {
    std::string name = lower(button);
    if (name == "left") return press ? 2 : 4;
    if (name == "right") return press ? 3 : 5;
    return 0;
}

// Parses the words after the count into events; false with `why` when they make none.
bool parse_event(const std::vector<std::string_view>& words, ScriptedEvent event,
                 std::vector<ScriptedEvent>& out, std::string& why) {
    std::string verb = lower(words[1]);
    const std::size_t args = words.size() - 2;
    auto point = [&](std::size_t first) {
        return parse_integer(words[first], event.x) && parse_integer(words[first + 1], event.y);
    };
    if (verb == "close" && args == 0) {
        event.kind = ScriptedEvent::Kind::Close;
    } else if ((verb == "keydown" || verb == "keyup") && args == 1) {
        event.kind = verb == "keydown" ? ScriptedEvent::Kind::KeyDown : ScriptedEvent::Kind::KeyUp;
        event.key = virtual_key_from_name(words[2]);
        if (event.key < 0) return why = "unknown key \"" + std::string(words[2]) + "\"", false;
    } else if (verb == "move" && args == 2) {
        if (!point(2)) return why = "the coordinates are not integers", false;
        event.mouse_event = 1;
    } else if ((verb == "press" || verb == "release" || verb == "click") && args == 3) {
        if (!point(3)) return why = "the coordinates are not integers", false;
        event.mouse_event = button_event(words[2], verb != "release");
        if (event.mouse_event == 0) return why = "the button is not left or right", false;
        if (verb == "click") {
            out.push_back(event);  // the press, then the release below
            event.mouse_event += 2;
        }
    } else {
        return why = "unknown event or wrong number of arguments", false;
    }
    out.push_back(event);
    return true;
}

}  // namespace

int virtual_key_from_name(std::string_view name) {
    std::string key = lower(name);
    if (key.size() == 1 && ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= '0' && key[0] <= '9')))
        return key[0] >= 'a' ? key[0] - 'a' + 'A' : key[0];  // the key of that letter or digit
    int code = 0;
    if (parse_integer(name, code)) return code >= 1 && code <= kVirtualKeyMax ? code : -1;
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'f' &&
        parse_integer(std::string_view(key).substr(1), code) && code >= 1 && code <= 12)
        return 0x70 + code - 1;
    for (const auto& entry : kKeyNames)
        if (entry.name == key) return entry.code;
    return -1;
}

std::optional<std::vector<ScriptedEvent>> parse_event_script(std::string_view text,
                                                             std::string* why) {
    std::vector<ScriptedEvent> events;
    int line_number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++line_number;
        auto words = split_words(line);
        if (words.empty() || words[0][0] == '#') continue;
        ScriptedEvent event;
        event.line = line_number;
        std::string reason;
        if (words.size() < 2 || !parse_integer(words[0], event.before))
            reason = "a line starts with the statement count and an event";
        else
            parse_event(words, event, events, reason);
        if (!reason.empty()) {
            if (why) *why = "line " + std::to_string(line_number) + ": " + reason;
            return std::nullopt;
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const auto& a, const auto& b) { return a.before < b.before; });
    return events;
}

}  // namespace quillon
