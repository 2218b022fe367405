// What the viewer's window does with input: the key tables, mouse drags,
// the wheel, dropped files, the walks over the image list, reloading,
// snapshots and the saved view.

#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "utility/failure.h"
#include "utility/option.h"
#include "viewer/app/viewer3.h"
#include "viewer/app/zevfile2.h"
#include "viewer/graphics/buffer.h"
#include "viewer/graphics/image_object.h"

namespace plimzev2 {

using plimlib::g_option;
using vorn::glfwyMGR4;

// Code range, command, whether the view needs a redraw afterwards. The
// commands that change the image draw it themselves.
const ViewWindow::command_t ViewWindow::s_keys[] = {
    {8, 8, &ViewWindow::cmd_backward, false},
    {13, 13, &ViewWindow::cmd_center, true},
    {27, 27, &ViewWindow::cmd_exit, false},
    {113, 113, &ViewWindow::cmd_exit, false},
    {32, 32, &ViewWindow::cmd_forward, false},
    {42, 42, &ViewWindow::cmd_rotate_right, true},
    {92, 92, &ViewWindow::cmd_rotate_right, true},
    {45, 45, &ViewWindow::cmd_clear_rotate, true},
    {47, 47, &ViewWindow::cmd_rotate_left, true},
    {48, 57, &ViewWindow::cmd_zoom_digit, true},
    {82, 82, &ViewWindow::cmd_iconify, false},
    {87, 87, &ViewWindow::cmd_writedefault, false},
    {100, 100, &ViewWindow::cmd_delete_zev, false},
    {102, 102, &ViewWindow::cmd_workarea, true},
    {103, 103, &ViewWindow::cmd_smooth, true},
    {114, 114, &ViewWindow::cmd_reload, false},
    {115, 115, &ViewWindow::cmd_savejpeg, false},
    {119, 119, &ViewWindow::cmd_save_zev, false},
    {0, -1, nullptr, false},
};

const ViewWindow::command_t ViewWindow::s_specialkeys[] = {
    {260, 260, &ViewWindow::cmd_save_zev, false},    {262, 265, &ViewWindow::cmd_cursor, true},
    {266, 266, &ViewWindow::cmd_zoom_in, true},      {267, 267, &ViewWindow::cmd_zoom_out, true},
    {268, 268, &ViewWindow::cmd_first, false},       {269, 269, &ViewWindow::cmd_last, false},
    {294, 294, &ViewWindow::cmd_reload, false},      {349, 349, &ViewWindow::cmd_forward, false},
    {350, 350, &ViewWindow::cmd_back_or_end, false}, {0, -1, nullptr, false},
};

bool ViewWindow::run_command(const command_t* table, int code) {
  for (const command_t* c = table; c->run != nullptr; ++c) {
    if (code < c->first || code > c->last) continue;
    (this->*(c->run))(code);
    if (c->redisplay) glfwyMGR4::ms_singleton->PostRedisplay();
    return true;
  }
  return false;
}

void ViewWindow::keyboard(unsigned char key, int, int) {
  if (g_option.debug)
    std::cout << "key: 0x" << std::hex << static_cast<int>(key) << std::dec << ' ' << key
              << std::endl;
  run_command(s_keys, key);
}

void ViewWindow::specialkey(int key, int, int) {
  if (g_option.debug) std::cout << "spkey: 0x" << std::hex << key << std::dec << std::endl;
  run_command(s_specialkeys, key);
}

void ViewWindow::display() { m_scene.Display(); }

unsigned long ViewWindow::step() const {
  GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this);
  if (window == nullptr) return 1;
  const bool shift = glfwGetKey(window, GLFW_KEY_LEFT_SHIFT) == GLFW_PRESS ||
                     glfwGetKey(window, GLFW_KEY_RIGHT_SHIFT) == GLFW_PRESS;
  return shift ? 10 : 1;
}

void ViewWindow::cmd_backward(int) { backward(step()); }
void ViewWindow::cmd_forward(int) { forward(step()); }
void ViewWindow::cmd_back_or_end(int) {
  if (m_list.size() < 2) std::exit(0);
  backward(step());
}
void ViewWindow::cmd_center(int) { go_center(false); }
void ViewWindow::cmd_exit(int) { glfwyMGR4::ms_singleton->Exit(); }
void ViewWindow::cmd_rotate_right(int) { m_scene.Rotate(-5); }
void ViewWindow::cmd_rotate_left(int) { m_scene.Rotate(5); }
void ViewWindow::cmd_clear_rotate(int) { m_scene.clrRotate(); }
void ViewWindow::cmd_zoom_digit(int code) {
  const float v = static_cast<float>(code - '0') * 0.5f;
  if (g_option.debug) std::cout << "zoom value: " << v << std::endl;
  // A view without a usable scale keeps its zoom rather than turn to nan.
  if (m_scene.clrZoom()) m_scene.Zoom(-v);
}
void ViewWindow::cmd_iconify(int) {
  if (GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this)) {
    glfwIconifyWindow(window);
    glfwRestoreWindow(window);
  }
}
void ViewWindow::cmd_writedefault(int) { menu_edit_writedefault(); }
void ViewWindow::cmd_delete_zev(int) { menu_edit_delete_zevfile(); }
void ViewWindow::cmd_workarea(int) { toggle_workarea(); }
void ViewWindow::cmd_smooth(int) { m_scene.toggleSmooth(); }
void ViewWindow::cmd_reload(int) { reload(); }
void ViewWindow::cmd_savejpeg(int) { menu_file_savejpeg(); }
void ViewWindow::cmd_save_zev(int) { menu_edit_save_zevfile(); }
void ViewWindow::cmd_cursor(int code) { cursor_move(code); }
void ViewWindow::cmd_zoom_in(int) { m_scene.Zoom(0.25f); }
void ViewWindow::cmd_zoom_out(int) { m_scene.Zoom(-0.25f); }
void ViewWindow::cmd_first(int) { first(); }
void ViewWindow::cmd_last(int) { last(); }

void ViewWindow::cursor_move(int key) {
  float dx = 0;
  float dy = 0;
  switch (key) {
    case GLFW_KEY_RIGHT: dx = 10; break;
    case GLFW_KEY_LEFT: dx = -10; break;
    case GLFW_KEY_DOWN: dy = -10; break;
    case GLFW_KEY_UP: dy = 10; break;
    default: return;
  }
  // 1: the image moves against the arrow.
  if (g_option.cursor_movement == 1) {
    dx = -dx;
    dy = -dy;
  }
  m_scene.Move(libgr::direction3_t(dx, dy, 0));
}

void ViewWindow::toggle_workarea() {
  GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this);
  if (window == nullptr) return;
  if ((g_option.wintype & 2) != 0) {
    g_option.wintype &= ~2;
    if (winwidth > 0 && winheight > 0) {
      glfwSetWindowSize(window, winwidth, winheight);
      glfwSetWindowPos(window, winx, winy);
    }
    return;
  }
  // Without a monitor, or with an empty work area, there is nowhere to go.
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  if (monitor == nullptr) return;
  int ax = 0;
  int ay = 0;
  int aw = 0;
  int ah = 0;
  glfwGetMonitorWorkarea(monitor, &ax, &ay, &aw, &ah);
  if (aw < 1 || ah < 1) return;
  remember_geometry(window);
  g_option.wintype |= 2;
  glfwSetWindowPos(window, 0, 0);
  glfwSetWindowSize(window, aw, ah);
}

void ViewWindow::mouse(int button, int state, int x, int y) {
  if (g_option.debug) std::cout << "mouse: button=" << button << ", state=" << state << std::endl;
  const float fx = static_cast<float>(x * m_fbscale_x);
  const float fy = static_cast<float>(y * m_fbscale_y);
  drag_t* drags[3] = {&m_move, &m_zoom, &m_rotate};
  if (state != 0) {
    if (button >= 0 && button < 3) drags[button]->on = false;
    return;
  }
  if (button >= 0 && button < 3) {
    *drags[button] = drag_t{true, fx, fy};
  } else if (button == 3) {
    cmd_back_or_end(0);
  } else if (button == 4) {
    forward(step());
  }
}

void ViewWindow::motion(int x, int y) {
  const float fx = static_cast<float>(x * m_fbscale_x);
  const float fy = static_cast<float>(y * m_fbscale_y);
  if (m_move.on) {
    m_scene.Move(libgr::direction3_t(fx - m_move.x, -(fy - m_move.y), 0));
    m_move.x = fx;
    m_move.y = fy;
    glfwyMGR4::ms_singleton->PostRedisplay();
  }
  if (m_zoom.on) {
    // Down by 100 pixels halves the size.
    m_scene.Zoom((fy - m_zoom.y) * -0.01f);
    m_zoom.x = fx;
    m_zoom.y = fy;
    glfwyMGR4::ms_singleton->PostRedisplay();
  }
  if (m_rotate.on) {
    // 4 pixels to the right turn by 1 degree.
    m_scene.Rotate((fx - m_rotate.x) * 0.25f);
    m_rotate.x = fx;
    m_rotate.y = fy;
    glfwyMGR4::ms_singleton->PostRedisplay();
  }
}

void ViewWindow::mousewheel(int wheel, int direction, int, int) {
  if (g_option.debug)
    std::cout << "wheel: number=" << wheel << ", direction=" << direction << std::endl;
  if (wheel != 0) return;
  if (direction == -1)
    m_scene.Zoom(0.25f);
  else if (direction == 1)
    m_scene.Zoom(-0.25f);
  else
    return;
  glfwyMGR4::ms_singleton->PostRedisplay();
}

void ViewWindow::drop(int count, const char** paths) {
  clear();
  for (int i = 0; i < count; ++i)
    if (paths[i] != nullptr) setImagePath(paths[i]);
  if (initial_load())
    first();
  else
    update_title();  // nothing is shown now: no old name in the title
}

bool ViewWindow::try_entry(std::list<std::string>::iterator entry, std::uint64_t index) {
  if (!m_scene.addImage(entry->c_str(), m_progdir)) return false;
  m_pos = entry;
  m_index = index;
  if (g_option.verbose) std::cout << "\ndisplay image: " << *entry << std::endl;
  return true;
}

bool ViewWindow::initial_load() {
  m_index = 0;
  m_count = m_list.size();
  std::uint64_t index = 0;
  for (auto it = m_list.begin(); it != m_list.end(); ++it, ++index)
    if (try_entry(it, index)) return true;
  m_pos = m_list.end();
  return false;
}

bool ViewWindow::next_image(unsigned long n) {
  if (m_list.empty() || m_pos == m_list.end()) return false;
  auto target = m_pos;
  for (unsigned long i = 0; i < n; ++i) {
    ++target;
    if (target == m_list.end()) return false;
  }
  const auto current = m_pos;
  const std::uint64_t current_index = m_index;
  m_scene.delImage();
  std::uint64_t index = m_index + n;
  for (auto it = target; it != m_list.end(); ++it, ++index)
    if (try_entry(it, index)) return true;
  // Nothing further on loads: search back from the end.
  index = m_list.size() - 1;
  for (auto it = std::prev(m_list.end()); it != m_list.begin(); --it, --index)
    if (try_entry(it, index)) return true;
  try_entry(current, current_index);
  return true;
}

bool ViewWindow::back_image(unsigned long n) {
  if (m_list.empty() || m_pos == m_list.end() || m_pos == m_list.begin()) return false;
  auto target = m_pos;
  std::uint64_t index = m_index;
  for (unsigned long i = 0; i < n && target != m_list.begin(); ++i) {
    --target;
    --index;
  }
  const auto current = m_pos;
  const std::uint64_t current_index = m_index;
  m_scene.delImage();
  // The target and those before it down to the second entry, then the
  // whole list from the first.
  for (auto it = target; it != m_list.begin(); --it, --index)
    if (try_entry(it, index)) return true;
  index = 0;
  for (auto it = m_list.begin(); it != m_list.end(); ++it, ++index)
    if (try_entry(it, index)) return true;
  try_entry(current, current_index);
  return true;
}

bool ViewWindow::first_image() {
  if (m_list.empty()) return false;
  const auto current = m_pos;
  const std::uint64_t current_index = m_index;
  m_scene.delImage();
  std::uint64_t index = 0;
  for (auto it = m_list.begin(); it != m_list.end(); ++it, ++index)
    if (try_entry(it, index)) return true;
  if (current != m_list.end()) try_entry(current, current_index);
  return true;
}

bool ViewWindow::last_image() {
  if (m_list.empty()) return false;
  const auto current = m_pos;
  const std::uint64_t current_index = m_index;
  m_scene.delImage();
  std::uint64_t index = m_list.size() - 1;
  for (auto it = m_list.end(); it != m_list.begin(); --index) {
    --it;
    if (try_entry(it, index)) return true;
  }
  if (current != m_list.end()) try_entry(current, current_index);
  return true;
}

void ViewWindow::show_changed(bool draw_now) {
  residue(true);
  update_title();
  m_scene.make_graph(m_progdir);
  if (draw_now) {
    display();
    glfwyMGR4::ms_singleton->SwapBuffers(this);
  } else {
    glfwyMGR4::ms_singleton->PostRedisplay();
  }
}

// The old image's GL objects went with its record.
void ViewWindow::forward(unsigned long n) {
  if (!next_image(n)) return;
  m_scene.free_graph();
  show_changed(true);
}

void ViewWindow::backward(unsigned long n) {
  if (!back_image(n)) return;
  m_scene.free_graph();
  show_changed(true);
}

void ViewWindow::first() {
  m_scene.free_graph();
  first_image();
  show_changed(false);
}

void ViewWindow::last() {
  m_scene.free_graph();
  last_image();
  show_changed(false);
}

void ViewWindow::reload() {
  GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this);
  if (window == nullptr) return;
  m_scene.free_graph();
  glfwIconifyWindow(window);
  set_shape();
  glfwRestoreWindow(window);
  m_scene.make_graph(m_progdir);
}

namespace {

// A snapshot that was not written: the file and the system's reason, if
// any (an encoding failure has none).
bool snapshot_failed(const std::string& name, int cause) {
  if (cause == 0) return libutils::fail(name, ": jpeg1 save fail.");
  return libutils::fail(name, ": jpeg1 save fail, ", std::strerror(cause));
}

}  // namespace

bool ViewWindow::menu_file_savejpeg() {
  const char* path = getCurrentPath();
  if (path == nullptr || !m_scene.hasCurrent()) return false;
  const std::string stem = make_zevpath(path) + ".";
  // The first free number; the name is taken at once (O_EXCL) so that
  // nothing existing is ever written over.
  std::string name;
  for (unsigned long n = 1;; ++n) {
    name = stem + std::to_string(n) + ".jpg";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
      ::close(fd);
      break;
    }
    if (errno != EEXIST) return snapshot_failed(name, errno);
  }
  m_scene.Display();
  libgr::image2d_t image;
  if (!libgr::grReadPixelsRGB(image, GL_BACK)) {
    ::unlink(name.c_str());
    return libutils::fail(name, ": read pixels fail.");
  }
  libgr::image_jpeg1_t jpeg;
  errno = 0;
  if (!jpeg.save(image, name.c_str())) {
    const int cause = errno;
    ::unlink(name.c_str());
    return snapshot_failed(name, cause);
  }
  return true;
}

void ViewWindow::menu_edit_writedefault() {
  plimlib::option_save_user_default(m_progname, m_progdir);
}

bool ViewWindow::menu_edit_save_zevfile() {
  const char* path = getCurrentPath();
  if (path == nullptr || !m_scene.hasCurrent()) return false;
  zevfile_t zev;
  zev.size = get_window_size();
  zev.view = m_scene.getMatrix();
  return zev.save(path);
}

bool ViewWindow::menu_edit_delete_zevfile() {
  const char* path = getCurrentPath();
  if (path == nullptr || !m_scene.hasCurrent()) return false;
  return zevfile_t().del(path);
}

}  // namespace plimzev2
