// Font options: checking, canonical form, and the `' kavpack:` option line of sources.
#include "kavpack/font_options.h"
#include "host/text_scan.h"

#include <charconv>
#include <cstdint>
#include <vector>

namespace quillon::kavpack {
namespace {

constexpr int kFontNumberCount = 13;
constexpr int kWideFields = 5;  // height, width, escapement, orientation, weight
constexpr std::string_view kOptionMark = "kavpack:";

std::string_view skip_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    return text;
}

// Splits at blanks; a value in double quotes keeps its blanks. False on an open quote.
bool split_words(std::string_view text, std::vector<std::string>& words) {
    for (text = skip_blanks(text); !text.empty(); text = skip_blanks(text)) {
        std::string word;
        while (!text.empty() && !is_blank(text.front())) {
            if (text.front() != '"') {
                word += text.front();
                text.remove_prefix(1);
                continue;
            }
            std::size_t close = text.find('"', 1);
            if (close == std::string_view::npos) return false;
            word.append(text.substr(1, close - 1));
            text.remove_prefix(close + 1);
        }
        words.push_back(std::move(word));
    }
    return true;
}

std::string quoted(std::string_view value) {
    return "\"" + std::string(value) + "\"";
}

}  // namespace

std::optional<std::string> canonical_font_numbers(std::string_view text, std::string* why) {
    std::vector<std::string> words;
    split_words(text, words);
    std::string canonical;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        long long value = 0;
        const char* first = word.data() + (word.starts_with('+') ? 1 : 0);
        const char* last = word.data() + word.size();
        auto [end, ec] = std::from_chars(first, last, value);
        bool byte_field = i >= kWideFields;
        if (ec != std::errc() || end != last || first == last || *first == '+' ||
            value < (byte_field ? 0 : INT32_MIN) || value > (byte_field ? 255 : INT32_MAX)) {
            if (why)
                *why = "font number \"" + word + "\" is not " +
                       (byte_field ? "an integer from 0 to 255" : "a 32-bit integer");
            return std::nullopt;
        }
        if (!canonical.empty()) canonical += ' ';
        canonical += std::to_string(clamp_font_number(static_cast<int>(i), value));
    }
    if (words.size() != kFontNumberCount) {
        if (why) *why = "the font needs thirteen integers, not " + std::to_string(words.size());
        return std::nullopt;
    }
    return canonical;
}

bool check_face(std::string_view face_sjis, std::string* why) {
    if (face_sjis.find('\0') != std::string_view::npos) {
        if (why) *why = "the face name holds a NUL character";
        return false;
    }
    if (face_sjis.size() > kFaceFieldMax) {
        if (why)
            *why = "the face name is " + std::to_string(face_sjis.size()) +
                   " bytes long; an image holds at most 255";
        return false;
    }
    return true;
}

bool is_option_line(std::string_view line) {
    line = skip_blanks(line);
    return line.starts_with('\'') && skip_blanks(line.substr(1)).starts_with(kOptionMark);
}

std::optional<FontChoice> parse_option_line(std::string_view line, std::string* why) {
    line = skip_blanks(skip_blanks(line).substr(1)).substr(kOptionMark.size());
    std::vector<std::string> words;
    if (!split_words(line, words)) {
        if (why) *why = "kavpack options: a quoted value is not closed";
        return std::nullopt;
    }
    FontChoice choice;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        const std::string& name = words[i];
        if (name != "--font-face" && name != "--font") {
            if (why) *why = "kavpack options: unknown option \"" + name + "\"";
            return std::nullopt;
        }
        if (i + 1 == words.size()) {
            if (why) *why = "kavpack options: " + name + " needs a value";
            return std::nullopt;
        }
        if (name == "--font-face") {
            if (!check_face(words[i + 1], why)) return std::nullopt;
            choice.face = words[i + 1];
        } else if (!(choice.numbers = canonical_font_numbers(words[i + 1], why))) {
            return std::nullopt;
        }
    }
    return choice;
}

std::string option_line_for(const ProgramImage& image) {
    std::string line;
    if (image.face != kDefaultFace) line += " --font-face " + quoted(image.face);
    if (image.font_numbers != kDefaultFontNumbers) line += " --font " + quoted(image.font_numbers);
    if (line.empty()) return line;
    return "' " + std::string(kOptionMark) + line;
}

}  // namespace quillon::kavpack
