#include "viewer/app/glfwykeys.h"

#include <GLFW/glfw3.h>

#include <cctype>
#include <iterator>

namespace vorn {

// GLUT's special codes as GLFW numbers them; the keypad digits land on the
// navigation keys they carry, so 8 on the keypad moves like the Up arrow.
const key_rule_t key_rules[] = {
    {GLFW_KEY_ESCAPE, key_any_scancode, false, 27},
    {GLFW_KEY_ENTER, key_any_scancode, false, 13},
    {GLFW_KEY_KP_ENTER, key_any_scancode, false, 13},
    {GLFW_KEY_TAB, key_any_scancode, false, 9},
    {GLFW_KEY_BACKSPACE, key_any_scancode, false, 8},
    {GLFW_KEY_KP_DECIMAL, key_any_scancode, false, '.'},
    {GLFW_KEY_KP_DIVIDE, key_any_scancode, false, '/'},
    {GLFW_KEY_KP_MULTIPLY, key_any_scancode, false, '*'},
    {GLFW_KEY_KP_SUBTRACT, key_any_scancode, false, '-'},
    {GLFW_KEY_KP_ADD, key_any_scancode, false, '+'},
    {GLFW_KEY_KP_EQUAL, key_any_scancode, false, '='},
    {GLFW_KEY_KP_0, key_any_scancode, true, GLFW_KEY_INSERT},
    {GLFW_KEY_KP_1, key_any_scancode, true, GLFW_KEY_END},
    {GLFW_KEY_KP_2, key_any_scancode, true, GLFW_KEY_DOWN},
    {GLFW_KEY_KP_3, key_any_scancode, true, GLFW_KEY_PAGE_DOWN},
    {GLFW_KEY_KP_4, key_any_scancode, true, GLFW_KEY_LEFT},
    {GLFW_KEY_KP_5, key_any_scancode, true, 255},
    {GLFW_KEY_KP_6, key_any_scancode, true, GLFW_KEY_RIGHT},
    {GLFW_KEY_KP_7, key_any_scancode, true, GLFW_KEY_HOME},
    {GLFW_KEY_KP_8, key_any_scancode, true, GLFW_KEY_UP},
    {GLFW_KEY_KP_9, key_any_scancode, true, GLFW_KEY_PAGE_UP},
    // The browser forward and back keys of some keyboards have no GLFW
    // code; their X scancodes name them.
    {GLFW_KEY_UNKNOWN, 167, true, 349},
    {GLFW_KEY_UNKNOWN, 166, true, 350},
};
const int key_rule_count = static_cast<int>(std::size(key_rules));

namespace {

key_code_t lookup(int key, int scancode) {
  for (const key_rule_t& rule : key_rules) {
    if (rule.glfw_key != key) continue;
    if (rule.scancode != key_any_scancode && rule.scancode != scancode) continue;
    return {rule.special, rule.code};
  }
  if (key == GLFW_KEY_UNKNOWN) return {true, -1};
  if (key >= 0 && key < 128) return {false, key};
  return {true, key};
}

}  // namespace

key_code_t translate_key(int key, int scancode, int mods) {
  key_code_t result = lookup(key, scancode);
  if (result.special) return result;
  const bool shift = (mods & key_mod_shift) != 0;
  const bool caps = (mods & key_mod_caps_lock) != 0;
  int code = result.code;
  if (shift == caps) code = std::tolower(static_cast<unsigned char>(code));
  if ((mods & key_mod_control) != 0) code &= 0x1f;
  result.code = static_cast<unsigned char>(code);
  return result;
}

int translate_mouse_button(int button) {
  if (button == GLFW_MOUSE_BUTTON_RIGHT) return 2;
  if (button == GLFW_MOUSE_BUTTON_MIDDLE) return 1;
  return button;
}

}  // namespace vorn
