// Keyboard translation tables for the SDL window. Virtual-key codes follow the original
// platform's numbering, with the Japanese keyboard's extra keys where SDL reports them.
#include "platform/sdl/key_mapping.h"

#include <SDL_mouse.h>

#include <algorithm>
#include <utility>

#include "platform/text_codec.h"

namespace quillon {
namespace {

struct KeyPair {
    SDL_Scancode scancode;
    int virtual_key;
};

// Keys whose codes do not follow from a range (letters, digits, function keys, keypad digits
// are computed in virtual_key_for_scancode).
constexpr KeyPair kKeyTable[] = {
    {SDL_SCANCODE_BACKSPACE, 0x08},
    {SDL_SCANCODE_TAB, 0x09},
    {SDL_SCANCODE_RETURN, 0x0D},
    {SDL_SCANCODE_KP_ENTER, 0x0D},
    {SDL_SCANCODE_PAUSE, 0x13},
    {SDL_SCANCODE_CAPSLOCK, 0x14},
    {SDL_SCANCODE_ESCAPE, 0x1B},
    {SDL_SCANCODE_INTERNATIONAL4, 0x1C},  // henkan (convert)
    {SDL_SCANCODE_INTERNATIONAL5, 0x1D},  // muhenkan (non-convert)
    {SDL_SCANCODE_SPACE, 0x20},
    {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_PAGEDOWN, 0x22},
    {SDL_SCANCODE_END, 0x23},
    {SDL_SCANCODE_HOME, 0x24},
    {SDL_SCANCODE_LEFT, 0x25},
    {SDL_SCANCODE_UP, 0x26},
    {SDL_SCANCODE_RIGHT, 0x27},
    {SDL_SCANCODE_DOWN, 0x28},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_INSERT, 0x2D},
    {SDL_SCANCODE_DELETE, 0x2E},
    {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RGUI, 0x5C},
    {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_MINUS, 0x6D},
    {SDL_SCANCODE_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_DECIMAL, 0x6E},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_LSHIFT, kVkLeftShift},
    {SDL_SCANCODE_RSHIFT, kVkRightShift},
    {SDL_SCANCODE_LCTRL, kVkLeftControl},
    {SDL_SCANCODE_RCTRL, kVkRightControl},
    {SDL_SCANCODE_LALT, kVkLeftMenu},
    {SDL_SCANCODE_RALT, kVkRightMenu},
    {SDL_SCANCODE_SEMICOLON, 0xBA},
    {SDL_SCANCODE_EQUALS, 0xBB},
    {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_PERIOD, 0xBE},
    {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, 0xC0},
    {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_BACKSLASH, 0xDC},
    {SDL_SCANCODE_INTERNATIONAL3, 0xDC},  // yen
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_APOSTROPHE, 0xDE},
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
    {SDL_SCANCODE_INTERNATIONAL1, 0xE2},  // ro (backslash, underscore)
    {SDL_SCANCODE_INTERNATIONAL2, 0xF2},  // katakana/hiragana
};

// Characters that input methods give in their JIS mapping, and the code page 932 bytes that
// stand for them (UTF-8 of the character, Shift-JIS bytes).
constexpr std::pair<std::string_view, std::string_view> kJisFallbacks[] = {
    {"\xC2\xA5", "\x5C"},          // U+00A5 yen sign
    {"\xE2\x80\xBE", "\x7E"},      // U+203E overline
    {"\xE3\x80\x9C", "\x81\x60"},  // U+301C wave dash
    {"\xE2\x80\x96", "\x81\x61"},  // U+2016 double vertical line
    {"\xE2\x80\x94", "\x81\x5C"},  // U+2014 em dash
    {"\xE2\x88\x92", "\x81\x7C"},  // U+2212 minus sign
    {"\xC2\xA2", "\x81\x91"},      // U+00A2 cent sign
    {"\xC2\xA3", "\x81\x92"},      // U+00A3 pound sign
    {"\xC2\xAC", "\x81\xCA"},      // U+00AC not sign
};

// Bytes of the UTF-8 sequence that starts with `lead`; 1 for a byte that starts none.
std::size_t utf8_length(uint8_t lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 6) return 2;
    if ((lead >> 4) == 14) return 3;
    if ((lead >> 3) == 30) return 4;
    return 1;
}

// Appends the Shift-JIS form of text that converts whole, dropping control characters.
void append_printable(std::string& out, std::string_view sjis) {
    for (char c : sjis) {
        auto byte = static_cast<uint8_t>(c);
        if (byte >= 0x20 && byte != 0x7F) out += c;
    }
}

// The Shift-JIS form of a character that code page 932 itself does not map.
std::string_view jis_fallback(std::string_view character) {
    for (const auto& [utf8, sjis] : kJisFallbacks)
        if (utf8 == character) return sjis;
    return {};
}

}  // namespace

int virtual_key_for_scancode(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return 0x70 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return 0x7C + (scancode - SDL_SCANCODE_F13);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return 0x61 + (scancode - SDL_SCANCODE_KP_1);
    if (scancode == SDL_SCANCODE_KP_0) return 0x60;
    for (const KeyPair& pair : kKeyTable)
        if (pair.scancode == scancode) return pair.virtual_key;
    return 0;
}

int virtual_key_for_mouse_button(uint8_t button) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return 0x01;
        case SDL_BUTTON_RIGHT:
            return 0x02;
        case SDL_BUTTON_MIDDLE:
            return 0x04;
        case SDL_BUTTON_X1:
            return 0x05;
        case SDL_BUTTON_X2:
            return 0x06;
        default:
            return 0;
    }
}

std::optional<uint8_t> arrow_key_code(SDL_Keycode key) {
    switch (key) {
        case SDLK_LEFT:
            return 0x1D;
        case SDLK_UP:
            return 0x1E;
        case SDLK_RIGHT:
            return 0x1C;
        case SDLK_DOWN:
            return 0x1F;
        default:
            return std::nullopt;
    }
}

std::optional<uint8_t> typed_control_char(SDL_Keycode key, uint16_t modifiers) {
    if (modifiers & KMOD_ALT) return std::nullopt;
    switch (key) {
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_TAB:
            return 9;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return 13;
        case SDLK_ESCAPE:
            return 27;
        default:
            break;
    }
    if ((modifiers & KMOD_CTRL) && key >= SDLK_a && key <= SDLK_z)
        return static_cast<uint8_t>(key - SDLK_a + 1);
    return std::nullopt;
}

std::string text_input_to_sjis(std::string_view utf8) {
    std::string out;
    while (!utf8.empty()) {
        std::size_t bad = 0;
        if (auto whole = utf8_to_sjis(utf8, &bad)) {
            append_printable(out, *whole);
            break;
        }
        if (auto prefix = utf8_to_sjis(utf8.substr(0, bad))) append_printable(out, *prefix);
        std::size_t length =
            std::min(utf8_length(static_cast<uint8_t>(utf8[bad])), utf8.size() - bad);
        out += jis_fallback(utf8.substr(bad, length));
        utf8.remove_prefix(bad + length);
    }
    return out;
}

}  // namespace quillon
