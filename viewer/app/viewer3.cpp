#include "viewer/app/viewer3.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>

#include "utility/message.h"
#include "utility/option.h"

namespace plimzev2 {

using plimlib::g_option;
using vorn::glfwyMGR4;

int winwidth = 0;
int winheight = 0;
int winx = 0;
int winy = 0;

ViewWindow::ViewWindow(int* argc, char*** argv) : m_pos(m_list.end()) {
  const char* self = (*argc >= 1 && (*argv)[0] != nullptr) ? (*argv)[0] : "";
  libutils::basename(m_progname, self, sizeof m_progname);
  libutils::dirname(m_progdir, self, sizeof m_progdir);
  m_progname[sizeof m_progname - 1] = '\0';
  m_progdir[sizeof m_progdir - 1] = '\0';

  plimlib::init_message(m_progdir, m_progname);

  // Defaults, then the user's file, then the command line: the last word
  // wins.
  plimlib::option_init();
  plimlib::option_load_user_default(m_progname, m_progdir);
  plimlib::option_enter_argument(argc, argv);

  if (*argc < 2) {
    setImagePath(".");
    return;
  }
  read_arguments(*argc, *argv);
}

ViewWindow::~ViewWindow() { m_list.clear(); }

void ViewWindow::init() {
  m_scene.Init(m_progdir);
  GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this);
  if (window == nullptr) return;
  std::string title;
  plimlib::make_title2(title, plimlib::getmsg(0), plimlib::getmsg(1));
  glfwSetWindowTitle(window, title.c_str());

  // A side of 0 is an X protocol error that ends the program: such a size
  // from an option file is left alone.
  if (g_option.winsize.x > 0 && g_option.winsize.y > 0)
    glfwSetWindowSize(window, g_option.winsize.x, g_option.winsize.y);
  // The default x of 16384 leaves the placement to the window system.
  if (g_option.g.x <= 16383) glfwSetWindowPos(window, g_option.g.x, g_option.g.y);

  if ((g_option.wintype & 2) != 0) {
    int w = 0;
    int h = 0;
    int x = 0;
    int y = 0;
    glfwGetWindowSize(window, &w, &h);
    glfwGetWindowPos(window, &x, &y);
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (monitor == nullptr) {
      int count = 0;
      GLFWmonitor** monitors = glfwGetMonitors(&count);
      if (monitors != nullptr && count > 0) monitor = monitors[0];
    }
    if (monitor == nullptr) {
      const char* description = nullptr;
      const int code = glfwGetError(&description);
      libutils::error();
      std::cerr << code << ": " << (description != nullptr ? description : "No monitors.")
                << std::endl;
      std::exit(1);
    }
    winwidth = w;
    winheight = h;
    winx = x;
    winy = y;
    int ax = 0;
    int ay = 0;
    int aw = 0;
    int ah = 0;
    glfwGetMonitorWorkarea(monitor, &ax, &ay, &aw, &ah);
    glfwSetWindowPos(window, 0, 0);
    if (aw > 0 && ah > 0) glfwSetWindowSize(window, aw, ah);
  }
  glfwyMGR4::ms_singleton->KeyRepeat(true);
}

void ViewWindow::reshape(int width, int height) {
  if (width == 0 || height == 0) return;
  GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this);
  if (window == nullptr) return;
  int fw = 0;
  int fh = 0;
  glfwGetFramebufferSize(window, &fw, &fh);
  m_fbscale_x = fw / width;
  m_fbscale_y = fh / height;
  m_scene.Reshape(static_cast<unsigned long>(fw), static_cast<unsigned long>(fh));
  if (m_lastsize.x == 0 && m_lastsize.y == 0 && g_option.debug)
    std::cout << "oldwinsize is ZERO." << std::endl;
  m_lastsize = libgr::direction2l_t(fw, fh);
}

void ViewWindow::display() { m_scene.Display(); }

void ViewWindow::keyboard(unsigned char key, int, int) {
  if (g_option.debug)
    std::cout << "key: 0x" << std::hex << static_cast<int>(key) << std::dec << ' ' << key
              << std::endl;
  switch (key) {
    case 27:
    case 'q':
      glfwyMGR4::ms_singleton->Exit();
      break;
    default:
      break;
  }
}

std::string ViewWindow::getCurrentTitleName() const {
  if (m_pos == m_list.end()) return std::string();
  return *m_pos + " (" + std::to_string(m_index + 1) + "/" + std::to_string(m_count) + ")";
}

std::string ViewWindow::getTitle() const {
  std::string title;
  const std::string name = getCurrentTitleName();
  if (!name.empty())
    plimlib::make_title2(title, name.c_str(), plimlib::getmsg(0));
  else
    plimlib::make_title2(title, plimlib::getmsg(0), plimlib::getmsg(1));
  return title;
}

void ViewWindow::update_title() {
  GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this);
  if (window != nullptr) glfwSetWindowTitle(window, getTitle().c_str());
}

void ViewWindow::clear() {
  m_scene.setCurrent(0);
  while (m_scene.delImage()) {
  }
  m_list.clear();
  m_pos = m_list.end();
  m_index = 0;
  glfwyMGR4::ms_singleton->PostRedisplay();
}

}  // namespace plimzev2
