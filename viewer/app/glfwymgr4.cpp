#include "viewer/app/glfwymgr4.h"

#include <GLFW/glfw3.h>

#include <iostream>

#include "utility/futil.h"
#include "viewer/app/glfwykeys.h"

namespace vorn {

void glutyAPI::reshape(int, int) {}
void glutyAPI::display() {}
void glutyAPI::keyboard(unsigned char, int, int) {}
void glutyAPI::specialkey(int, int, int) {}
void glutyAPI::mouse(int, int, int, int) {}
void glutyAPI::motion(int, int) {}
void glutyAPI::passivemotion(int, int) {}
void glutyAPI::idle() {}
void glutyAPI::init() {}
void glutyAPI::close() {}
glutyAPI::~glutyAPI() {}

glutyAPI4::~glutyAPI4() {}
void glutyAPI4::keyboardup(unsigned char, int, int) {}
void glutyAPI4::specialkeyup(int, int, int) {}
void glutyAPI4::mousewheel(int, int, int, int) {}
void glutyAPI4::drop(int, const char**) {}

glfwyMGR4 glfwy4;

glfwyMGR4::glfwyMGR4() { ms_singleton = this; }

glfwyMGR4::~glfwyMGR4() {
  m_windows.clear();
  m_interfaces.clear();
  ms_singleton = nullptr;
}

GLFWwindow* glfwyMGR4::addWindow(glutyAPI4* api, const char* title) {
  if (api == nullptr) return nullptr;
  GLFWwindow* window = glfwCreateWindow(640, 480, title, nullptr, nullptr);
  if (window == nullptr) {
    libutils::error();
    std::cerr << "createwindow failed." << std::endl;
    return nullptr;
  }
  m_windows[window] = api;
  m_interfaces[api] = window;

  glfwSetWindowRefreshCallback(window, refresh_callback);
  glfwSetWindowSizeCallback(window, windowsize_callback);
  glfwSetKeyCallback(window, key_callback);
  glfwSetMouseButtonCallback(window, mousebutton_callback);
  glfwSetScrollCallback(window, scroll_callback);
  glfwSetCursorPosCallback(window, cursorpos_callback);
  glfwSetDropCallback(window, drop_callback);
  // Without this GLFW never reports Caps Lock, and the case rules of the
  // key translation could not see it.
  glfwSetInputMode(window, GLFW_LOCK_KEY_MODS, GLFW_TRUE);

  glfwMakeContextCurrent(window);
  // A GL driver that draws into buffers of its own (Mesa's software one
  // among them) sizes them anew only once a frame is shown: the first
  // picture, drawn after init has resized the window, would fill buffers
  // of the size the window was made with, a corner of the window. An empty
  // frame shown first, while the window still has that size, has the
  // driver take the size init gives it.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glfwSwapBuffers(window);
  api->init();
  int width = 0;
  int height = 0;
  glfwGetWindowSize(window, &width, &height);
  api->reshape(width, height);
  return window;
}

void glfwyMGR4::MainLoop() {
  while (!m_exit) {
    for (auto it = m_windows.begin(); it != m_windows.end();) {
      GLFWwindow* window = it->first;
      glutyAPI4* api = it->second;
      if (glfwWindowShouldClose(window)) {
        it = destroy(it);
        continue;
      }
      if (m_idle) {
        glfwMakeContextCurrent(window);
        api->idle();
      }
      // A requested redraw happens whether idling is on or off.
      if (m_redisplay) refresh_callback(window);
      ++it;
    }
    if (m_windows.empty()) return;
    m_redisplay = false;
    glfwWaitEvents();
  }
}

void glfwyMGR4::closeAll() {
  for (auto it = m_windows.begin(); it != m_windows.end();) it = destroy(it);
}

std::map<GLFWwindow*, glutyAPI4*>::iterator glfwyMGR4::destroy(
    std::map<GLFWwindow*, glutyAPI4*>::iterator it) {
  GLFWwindow* window = it->first;
  glfwMakeContextCurrent(window);
  it->second->close();
  glfwDestroyWindow(window);
  m_interfaces.erase(it->second);
  return m_windows.erase(it);
}

void glfwyMGR4::PostRedisplay() {
  m_redisplay = true;
  glfwPostEmptyEvent();
}

void glfwyMGR4::SwapBuffers(glutyAPI4* api) {
  if (GLFWwindow* window = getWindow(api)) glfwSwapBuffers(window);
}

GLFWwindow* glfwyMGR4::getWindow(const glutyAPI4* api) const {
  const auto it = m_interfaces.find(api);
  return it == m_interfaces.end() ? nullptr : it->second;
}

glutyAPI4* glfwyMGR4::getInterface(GLFWwindow* window) const {
  const auto it = m_windows.find(window);
  return it == m_windows.end() ? nullptr : it->second;
}

namespace {

// The event's window made current and its interface; null for a window
// the manager does not hold (events may still arrive for one it dropped).
glutyAPI4* enter(GLFWwindow* window) {
  glfwyMGR4* manager = glfwyMGR4::ms_singleton;
  if (manager == nullptr) return nullptr;
  glutyAPI4* api = manager->getInterface(window);
  if (api != nullptr) glfwMakeContextCurrent(window);
  return api;
}

void cursor(GLFWwindow* window, int& x, int& y) {
  double cx = 0;
  double cy = 0;
  glfwGetCursorPos(window, &cx, &cy);
  x = static_cast<int>(cx);
  y = static_cast<int>(cy);
}

}  // namespace

void glfwyMGR4::refresh_callback(GLFWwindow* window) {
  glutyAPI4* api = enter(window);
  if (api == nullptr) return;
  api->display();
  glfwSwapBuffers(window);
}

void glfwyMGR4::windowsize_callback(GLFWwindow* window, int width, int height) {
  if (width == 0 || height == 0) return;
  glutyAPI4* api = enter(window);
  if (api == nullptr) return;
  api->reshape(width, height);
  ms_singleton->PostRedisplay();
}

void glfwyMGR4::key_callback(GLFWwindow* window, int key, int scancode, int action, int mods) {
  glutyAPI4* api = enter(window);
  if (api == nullptr) return;
  if (action == GLFW_REPEAT && !ms_singleton->m_keyrepeat) return;
  int x = 0;
  int y = 0;
  cursor(window, x, y);
  const key_code_t k = translate_key(key, scancode, mods);
  const unsigned char ch = static_cast<unsigned char>(k.code);
  if (action == GLFW_RELEASE) {
    if (k.special)
      api->specialkeyup(k.code, x, y);
    else
      api->keyboardup(ch, x, y);
  } else {
    if (k.special)
      api->specialkey(k.code, x, y);
    else
      api->keyboard(ch, x, y);
  }
}

void glfwyMGR4::mousebutton_callback(GLFWwindow* window, int button, int action, int) {
  glutyAPI4* api = enter(window);
  if (api == nullptr) return;
  int x = 0;
  int y = 0;
  cursor(window, x, y);
  api->mouse(translate_mouse_button(button), action == GLFW_PRESS ? 0 : 1, x, y);
}

void glfwyMGR4::cursorpos_callback(GLFWwindow* window, double x, double y) {
  glutyAPI4* api = enter(window);
  if (api == nullptr) return;
  api->motion(static_cast<int>(x), static_cast<int>(y));
}

void glfwyMGR4::scroll_callback(GLFWwindow* window, double xoffset, double yoffset) {
  glutyAPI4* api = enter(window);
  if (api == nullptr) return;
  int x = 0;
  int y = 0;
  cursor(window, x, y);
  if (yoffset != 0) api->mousewheel(0, yoffset > 0 ? -1 : 1, x, y);
  if (xoffset != 0) api->mousewheel(1, xoffset > 0 ? -1 : 1, x, y);
}

void glfwyMGR4::drop_callback(GLFWwindow* window, int count, const char** paths) {
  glutyAPI4* api = enter(window);
  if (api == nullptr) return;
  api->drop(count, paths);
}

}  // namespace vorn
