// The SDL window's keyboard tables: virtual-key codes, arrow codes, typed control characters
// and committed text converted to Shift-JIS. No display is needed.
#include <gtest/gtest.h>

#include <SDL_mouse.h>

#include "platform/sdl/key_mapping.h"

namespace quillon {
namespace {

TEST(SdlKeyMapping, VirtualKeysFollowTheOriginalNumbering) {
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_A), 0x41);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_Z), 0x5A);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_0), 0x30);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_1), 0x31);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_9), 0x39);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_RETURN), 13);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_UP), 38);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_RIGHT), 39);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_F1), 0x70);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_F12), 0x7B);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_F13), 0x7C);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_KP_0), 0x60);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_KP_9), 0x69);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_KP_ENTER), 13);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_LSHIFT), kVkLeftShift);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_RCTRL), kVkRightControl);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_LALT), kVkLeftMenu);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_INTERNATIONAL3), 0xDC);
    EXPECT_EQ(virtual_key_for_scancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(virtual_key_for_mouse_button(SDL_BUTTON_LEFT), 1);
    EXPECT_EQ(virtual_key_for_mouse_button(SDL_BUTTON_RIGHT), 2);
    EXPECT_EQ(virtual_key_for_mouse_button(SDL_BUTTON_MIDDLE), 4);
}

TEST(SdlKeyMapping, ArrowKeysGiveTheProgramsCodes) {
    EXPECT_EQ(arrow_key_code(SDLK_LEFT), 0x1D);
    EXPECT_EQ(arrow_key_code(SDLK_UP), 0x1E);
    EXPECT_EQ(arrow_key_code(SDLK_RIGHT), 0x1C);
    EXPECT_EQ(arrow_key_code(SDLK_DOWN), 0x1F);
    EXPECT_FALSE(arrow_key_code(SDLK_a));
    EXPECT_FALSE(arrow_key_code(SDLK_HOME));
}

TEST(SdlKeyMapping, ControlCharactersComeFromKeyPresses) {
    EXPECT_EQ(typed_control_char(SDLK_BACKSPACE, KMOD_NONE), 8);
    EXPECT_EQ(typed_control_char(SDLK_RETURN, KMOD_NONE), 13);
    EXPECT_EQ(typed_control_char(SDLK_KP_ENTER, KMOD_NONE), 13);
    EXPECT_EQ(typed_control_char(SDLK_TAB, KMOD_NONE), 9);
    EXPECT_EQ(typed_control_char(SDLK_ESCAPE, KMOD_NONE), 27);
    EXPECT_EQ(typed_control_char(SDLK_c, KMOD_LCTRL), 3);
    EXPECT_EQ(typed_control_char(SDLK_z, KMOD_RCTRL), 26);
    EXPECT_FALSE(typed_control_char(SDLK_c, KMOD_NONE));  // printable: comes as text
    EXPECT_FALSE(typed_control_char(SDLK_LEFT, KMOD_NONE));
    // Alt combinations are system keys: Alt+Enter types nothing.
    EXPECT_FALSE(typed_control_char(SDLK_RETURN, KMOD_LALT));
    EXPECT_FALSE(typed_control_char(SDLK_c, KMOD_LCTRL | KMOD_RALT));
}

TEST(SdlKeyMapping, CommittedTextBecomesShiftJis) {
    EXPECT_EQ(text_input_to_sjis("abc"), "abc");
    EXPECT_EQ(text_input_to_sjis("漢字"), "\x8A\xBF\x8E\x9A");
    EXPECT_EQ(text_input_to_sjis("ｱｲｳﾞ"), "\xB1\xB2\xB3\xDE");  // half-width: one byte each
    EXPECT_EQ(text_input_to_sjis("Aあ1"),
              "A\x82\xA0"
              "1");
    EXPECT_EQ(text_input_to_sjis("～"), "\x81\x60");  // full-width tilde
}

TEST(SdlKeyMapping, JisMappedCharactersTakeTheirCodePage932Forms) {
    EXPECT_EQ(text_input_to_sjis("〜"), "\x81\x60");  // wave dash
    EXPECT_EQ(text_input_to_sjis("−"), "\x81\x7C");   // minus sign
    EXPECT_EQ(text_input_to_sjis("¥"), "\x5C");
    EXPECT_EQ(text_input_to_sjis("a〜b−c"),
              "a\x81\x60"
              "b\x81\x7C"
              "c");
}

TEST(SdlKeyMapping, CharactersWithoutShiftJisFormAreDropped) {
    EXPECT_EQ(text_input_to_sjis("a😀b"), "ab");
    EXPECT_EQ(text_input_to_sjis("한"), "");
    EXPECT_EQ(text_input_to_sjis("x\x01y\x7Fz"), "xyz");  // control characters
    EXPECT_EQ(text_input_to_sjis("a\xFF"
                                 "b"),
              "ab");                                // invalid UTF-8
    EXPECT_EQ(text_input_to_sjis("\xE6\xBC"), "");  // cut-off sequence
}

}  // namespace
}  // namespace quillon
