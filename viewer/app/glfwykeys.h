#pragma once
// GLFW keys and mouse buttons in GLUT conventions. Pure functions over
// GLFW's codes: no window or GLFW call is needed, so tests run headless.

namespace vorn {

// One row of the key table: a GLFW key (with a scancode for GLFW's key
// without a code of its own) and where the window class receives it.
struct key_rule_t {
  int glfw_key;
  int scancode;  // only for GLFW_KEY_UNKNOWN rows; key_any_scancode otherwise
  bool special;  // specialkey() path; else keyboard() path
  int code;
};

constexpr int key_any_scancode = -1000;

// The keys that do not pass through unchanged, in table form.
extern const key_rule_t key_rules[];
extern const int key_rule_count;

// A translated key: the callback path and the code for it.
struct key_code_t {
  bool special;
  int code;  // character path: 0..255 (an unsigned char); special: any int
};

// GLFW modifier bits as the translation reads them.
constexpr int key_mod_shift = 0x0001;
constexpr int key_mod_control = 0x0002;
constexpr int key_mod_caps_lock = 0x0010;

// GLFW key, scancode and modifier bits to the interface's key. Character
// codes follow the case rules: exactly one of Shift and Caps Lock keeps
// GLFW's upper-case letter, otherwise it is lowered; Control then masks it
// to a control character.
key_code_t translate_key(int key, int scancode, int mods);

// GLFW mouse button to GLUT's: right 2, middle 1, others unchanged.
int translate_mouse_button(int button);

}  // namespace vorn
