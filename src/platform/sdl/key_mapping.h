// Keyboard translation for the SDL window: physical keys to Windows virtual-key codes, key
// presses to the control characters and arrow codes they type, and committed input-method
// text (UTF-8) to the Shift-JIS bytes the window procedure receives.
#pragma once

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr int kVirtualKeyCount = 256;

// Virtual keys that stand for both keys of a left/right pair.
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkLeftShift = 0xA0;
inline constexpr int kVkRightShift = 0xA1;
inline constexpr int kVkLeftControl = 0xA2;
inline constexpr int kVkRightControl = 0xA3;
inline constexpr int kVkLeftMenu = 0xA4;
inline constexpr int kVkRightMenu = 0xA5;

// The virtual-key code of a physical key; 0 when the key has none.
int virtual_key_for_scancode(SDL_Scancode scancode);

// The virtual-key code of a mouse button (SDL_BUTTON_LEFT ...); 0 when it has none.
int virtual_key_for_mouse_button(uint8_t button);

// The code an arrow key gives the program: 0x1D left, 0x1E up, 0x1C right, 0x1F down.
std::optional<uint8_t> arrow_key_code(SDL_Keycode key);

// The control character a key press types, as the keyboard of the original platform does:
// Backspace 8, Tab 9, Enter 13, Esc 27, Ctrl+A..Z 1..26. Nothing while Alt is held (Alt
// combinations are system keys there, so Alt+Enter types nothing).
std::optional<uint8_t> typed_control_char(SDL_Keycode key, uint16_t modifiers);

// Committed text to Shift-JIS bytes. Characters that input methods produce in their JIS
// mapping (wave dash, minus sign, yen sign ...) take their code page 932 counterparts;
// characters without any Shift-JIS form, and control characters, are dropped.
std::string text_input_to_sjis(std::string_view utf8);

}  // namespace quillon
