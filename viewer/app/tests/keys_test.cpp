// The key translation as a table: GLFW key, scancode and modifiers to the
// callback path and code the window class receives.

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "viewer/app/glfwykeys.h"

namespace {

using vorn::key_code_t;
using vorn::translate_key;

constexpr int S = GLFW_MOD_SHIFT;
constexpr int C = GLFW_MOD_CONTROL;
constexpr int L = GLFW_MOD_CAPS_LOCK;
constexpr bool CH = false;  // keyboard()
constexpr bool SP = true;   // specialkey()

struct row_t {
  const char* what;
  int key;
  int scancode;
  int mods;
  bool special;
  int code;
};

const row_t rows[] = {
    // Letters: case by Shift and Caps Lock, Control after it.
    {"a", GLFW_KEY_A, 38, 0, CH, 'a'},
    {"Shift a", GLFW_KEY_A, 38, S, CH, 'A'},
    {"CapsLock a", GLFW_KEY_A, 38, L, CH, 'A'},
    {"CapsLock Shift a", GLFW_KEY_A, 38, L | S, CH, 'a'},
    {"Control a", GLFW_KEY_A, 38, C, CH, 1},
    {"Control Shift a", GLFW_KEY_A, 38, C | S, CH, 1},
    {"Control z", GLFW_KEY_Z, 52, C, CH, 26},
    {"q", GLFW_KEY_Q, 24, 0, CH, 'q'},
    {"Shift r", GLFW_KEY_R, 27, S, CH, 'R'},
    {"Alt w ignores Alt", GLFW_KEY_W, 25, GLFW_MOD_ALT, CH, 'w'},
    // Digits and punctuation keep their unshifted code.
    {"Shift 1", GLFW_KEY_1, 10, S, CH, '1'},
    {"space", GLFW_KEY_SPACE, 65, 0, CH, ' '},
    {"Shift space", GLFW_KEY_SPACE, 65, S, CH, ' '},
    {"slash", GLFW_KEY_SLASH, 61, 0, CH, '/'},
    {"backslash", GLFW_KEY_BACKSLASH, 51, 0, CH, '\\'},
    {"minus", GLFW_KEY_MINUS, 20, 0, CH, '-'},
    // Keys with ASCII control codes.
    {"Escape", GLFW_KEY_ESCAPE, 9, 0, CH, 27},
    {"Enter", GLFW_KEY_ENTER, 36, 0, CH, 13},
    {"Tab", GLFW_KEY_TAB, 23, 0, CH, 9},
    {"Backspace", GLFW_KEY_BACKSPACE, 22, 0, CH, 8},
    {"Shift Backspace", GLFW_KEY_BACKSPACE, 22, S, CH, 8},
    // Keypad operators become their characters.
    {"keypad Enter", GLFW_KEY_KP_ENTER, 104, 0, CH, 13},
    {"keypad decimal", GLFW_KEY_KP_DECIMAL, 91, 0, CH, '.'},
    {"keypad divide", GLFW_KEY_KP_DIVIDE, 106, 0, CH, '/'},
    {"keypad multiply", GLFW_KEY_KP_MULTIPLY, 63, 0, CH, '*'},
    {"keypad subtract", GLFW_KEY_KP_SUBTRACT, 82, 0, CH, '-'},
    {"keypad add", GLFW_KEY_KP_ADD, 86, 0, CH, '+'},
    {"keypad equal", GLFW_KEY_KP_EQUAL, 125, 0, CH, '='},
    // Keypad digits are the navigation keys they carry.
    {"keypad 0", GLFW_KEY_KP_0, 90, 0, SP, 260},
    {"keypad 1", GLFW_KEY_KP_1, 87, 0, SP, 269},
    {"keypad 2", GLFW_KEY_KP_2, 88, 0, SP, 264},
    {"keypad 3", GLFW_KEY_KP_3, 89, 0, SP, 267},
    {"keypad 4", GLFW_KEY_KP_4, 83, 0, SP, 263},
    {"keypad 5", GLFW_KEY_KP_5, 84, 0, SP, 255},
    {"keypad 6", GLFW_KEY_KP_6, 85, 0, SP, 262},
    {"keypad 7", GLFW_KEY_KP_7, 79, 0, SP, 268},
    {"keypad 8", GLFW_KEY_KP_8, 80, 0, SP, 265},
    {"keypad 9", GLFW_KEY_KP_9, 81, 0, SP, 266},
    {"Shift keypad 8", GLFW_KEY_KP_8, 80, S, SP, 265},
    // Arrows, page and other keys pass as GLFW numbers them.
    {"Up", GLFW_KEY_UP, 111, 0, SP, 265},
    {"Down", GLFW_KEY_DOWN, 116, 0, SP, 264},
    {"Left", GLFW_KEY_LEFT, 113, 0, SP, 263},
    {"Right", GLFW_KEY_RIGHT, 114, 0, SP, 262},
    {"Page Up", GLFW_KEY_PAGE_UP, 112, 0, SP, 266},
    {"Page Down", GLFW_KEY_PAGE_DOWN, 117, 0, SP, 267},
    {"Home", GLFW_KEY_HOME, 110, 0, SP, 268},
    {"End", GLFW_KEY_END, 115, 0, SP, 269},
    {"Insert", GLFW_KEY_INSERT, 118, 0, SP, 260},
    {"Delete", GLFW_KEY_DELETE, 119, 0, SP, 261},
    {"F5", GLFW_KEY_F5, 71, 0, SP, 294},
    {"Control F5", GLFW_KEY_F5, 71, C, SP, 294},
    {"left Shift", GLFW_KEY_LEFT_SHIFT, 50, S, SP, 340},
    // Keys without a GLFW code, told apart by scancode.
    {"browser forward", GLFW_KEY_UNKNOWN, 167, 0, SP, 349},
    {"browser back", GLFW_KEY_UNKNOWN, 166, 0, SP, 350},
    {"other unknown", GLFW_KEY_UNKNOWN, 200, 0, SP, -1},
};

TEST(KeyTable, TranslatesEveryRow) {
  for (const row_t& row : rows) {
    const key_code_t got = translate_key(row.key, row.scancode, row.mods);
    EXPECT_EQ(got.special, row.special) << row.what;
    EXPECT_EQ(got.code, row.code) << row.what;
  }
}

TEST(KeyTable, RulesKeyOnlyUnknownKeysByScancode) {
  // A real key that happens to share scancode 167 is not browser forward.
  EXPECT_EQ(translate_key(GLFW_KEY_A, 167, 0).code, 'a');
  for (int i = 0; i < vorn::key_rule_count; ++i) {
    const vorn::key_rule_t& rule = vorn::key_rules[i];
    EXPECT_EQ(rule.glfw_key == GLFW_KEY_UNKNOWN, rule.scancode != vorn::key_any_scancode)
        << "rule " << i;
    if (!rule.special) {
      EXPECT_TRUE(rule.code >= 0 && rule.code < 128) << "rule " << i;
    }
  }
}

TEST(MouseButtons, FollowGlut) {
  EXPECT_EQ(vorn::translate_mouse_button(GLFW_MOUSE_BUTTON_LEFT), 0);
  EXPECT_EQ(vorn::translate_mouse_button(GLFW_MOUSE_BUTTON_RIGHT), 2);
  EXPECT_EQ(vorn::translate_mouse_button(GLFW_MOUSE_BUTTON_MIDDLE), 1);
  EXPECT_EQ(vorn::translate_mouse_button(GLFW_MOUSE_BUTTON_4), 3);
  EXPECT_EQ(vorn::translate_mouse_button(GLFW_MOUSE_BUTTON_5), 4);
}

}  // namespace
