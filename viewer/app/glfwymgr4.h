#pragma once
// A GLUT-style callback interface over GLFW windows: a window class
// implements glutyAPI4, the manager creates its GLFW window, turns GLFW's
// callbacks into interface calls and runs the event loop.

#include <map>

struct GLFWwindow;

namespace vorn {

// Interface of a window class; every operation does nothing by default.
class glutyAPI {
 public:
  virtual void reshape(int width, int height);
  virtual void display();
  virtual void keyboard(unsigned char key, int x, int y);
  virtual void specialkey(int key, int x, int y);
  // button: 0 left, 1 middle, 2 right; state: 0 pressed, 1 released.
  virtual void mouse(int button, int state, int x, int y);
  virtual void motion(int x, int y);
  virtual void passivemotion(int x, int y);
  virtual void idle();
  // Once, with the new window's GL context current.
  virtual void init();
  // Once, with the window's GL context current, just before the manager
  // destroys the window: the place to free the window's GL objects.
  virtual void close();
  virtual ~glutyAPI() = 0;
};

class glutyAPI4 : public glutyAPI {
 public:
  ~glutyAPI4() override = 0;
  virtual void keyboardup(unsigned char key, int x, int y);
  virtual void specialkeyup(int key, int x, int y);
  // wheel: 0 vertical, 1 horizontal; direction: -1 up/left, 1 down/right.
  virtual void mousewheel(int wheel, int direction, int x, int y);
  virtual void drop(int count, const char** paths);
};

// The one instance of T, registered by T's constructor.
template <typename T>
class singleton {
 public:
  static T* ms_singleton;
};
template <typename T>
T* singleton<T>::ms_singleton = nullptr;

class glfwyMGR4 : public singleton<glfwyMGR4> {
 public:
  glfwyMGR4();
  ~glfwyMGR4();
  glfwyMGR4(const glfwyMGR4&) = delete;
  glfwyMGR4& operator=(const glfwyMGR4&) = delete;

  // GLFW must be initialised and the window hints set by the caller.
  // Creates a 640x480 window for api, installs the callbacks, shows an
  // empty frame, runs init() and the first reshape() with the context
  // current. Null on failure.
  GLFWwindow* addWindow(glutyAPI4* api, const char* title);

  // Runs until no window is left or Exit() was called.
  void MainLoop();
  // Closes and destroys every window left (after Exit()); call it before
  // glfwTerminate so that the windows' GL objects go with their contexts.
  void closeAll();

  // Redraws every window in the next pass and wakes the event wait.
  void PostRedisplay();
  void SwapBuffers(glutyAPI4* api);
  void Exit() { m_exit = true; }
  void KeyRepeat(bool on) { m_keyrepeat = on; }
  void IdleOn() { m_idle = true; }
  void IdleOff() { m_idle = false; }

  // The GLFW window registered for api, or null.
  GLFWwindow* getWindow(const glutyAPI4* api) const;
  // The interface registered for window, or null.
  glutyAPI4* getInterface(GLFWwindow* window) const;

  // The GLFW callbacks; public so that tests can feed events directly.
  static void refresh_callback(GLFWwindow* window);
  static void windowsize_callback(GLFWwindow* window, int width, int height);
  static void key_callback(GLFWwindow* window, int key, int scancode, int action, int mods);
  static void mousebutton_callback(GLFWwindow* window, int button, int action, int mods);
  static void cursorpos_callback(GLFWwindow* window, double x, double y);
  static void scroll_callback(GLFWwindow* window, double xoffset, double yoffset);
  static void drop_callback(GLFWwindow* window, int count, const char** paths);

 private:
  // close(), then the GLFW window goes; the next entry of m_windows.
  std::map<GLFWwindow*, glutyAPI4*>::iterator destroy(
      std::map<GLFWwindow*, glutyAPI4*>::iterator it);

  std::map<GLFWwindow*, glutyAPI4*> m_windows;
  std::map<const glutyAPI4*, GLFWwindow*> m_interfaces;
  bool m_exit = false;
  bool m_idle = true;
  bool m_keyrepeat = false;
  bool m_redisplay = false;
};

// The manager, constructed during static initialisation.
extern glfwyMGR4 glfwy4;

}  // namespace vorn
