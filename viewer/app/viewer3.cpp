#include "viewer/app/viewer3.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>

#include "utility/catalog/plimzev3_messages.h"
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

void ViewWindow::close() {
  clear();
  m_scene.Destroy();
}

std::string ViewWindow::getCurrentTitleName() const {
  if (m_pos == m_list.end()) return std::string();
  return *m_pos + " (" + std::to_string(m_index + 1) + "/" + std::to_string(m_count) + ")";
}

std::string ViewWindow::getTitle() const {
  std::string title;
  const std::string name = getCurrentTitleName();
  if (!name.empty())
    plimlib::make_title2(title, name.c_str(), plimlib::getmsg(MSG_VIEWER_NAME));
  else
    plimlib::make_title2(title, plimlib::getmsg(MSG_VIEWER_NAME), plimlib::getmsg(MSG_NO_IMAGE));
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
