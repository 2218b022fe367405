// Sizing of the viewer's window and of each image in it: the first window,
// framebuffer changes, and the fit or the saved view whenever the image
// changes.

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "utility/catalog/plimzev3_messages.h"
#include "utility/message.h"
#include "utility/option.h"
#include "viewer/app/viewer3.h"
#include "viewer/app/zevfile2.h"
#include "viewer/glext/gl_extloader.h"
#include "viewer/graphics/geometry_stream.h"
#include "viewer/graphics/gl_api.h"

namespace plimzev2 {

using libgr::direction2l_t;
using plimlib::g_option;
using vorn::glfwyMGR4;

namespace {

// a / b, exactly 1 for equal sides.
float side_ratio(std::int32_t a, std::int32_t b) {
  return a == b ? 1.0f : static_cast<float>(a) / static_cast<float>(b);
}

}  // namespace

void remember_geometry(GLFWwindow* window) {
  glfwGetWindowSize(window, &winwidth, &winheight);
  glfwGetWindowPos(window, &winx, &winy);
}

void ViewWindow::init() {
  gl_extloader_init();
  m_scene.Init(m_progdir);
  GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this);
  if (window == nullptr) return;
  std::string title;
  plimlib::make_title2(title, plimlib::getmsg(MSG_VIEWER_NAME), plimlib::getmsg(MSG_NO_IMAGE));
  glfwSetWindowTitle(window, title.c_str());

  const direction2l_t winsize(g_option.winsize.x, g_option.winsize.y);
  if (g_option.debug)
    std::cout << "init"
              << ": SetWin: " << winsize << std::endl;
  // A side of 0 is an X protocol error that ends the program: such a size
  // from an option file is left alone.
  if (winsize.x > 0 && winsize.y > 0) {
    const direction2l_t size = drawable_window_size(winsize);
    glfwSetWindowSize(window, size.x, size.y);
  }
  // The default x of 16384 leaves the placement to the window system.
  if (g_option.g.x <= 16383) glfwSetWindowPos(window, g_option.g.x, g_option.g.y);

  if ((g_option.wintype & 2) != 0) {
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
    remember_geometry(window);
    int ax = 0;
    int ay = 0;
    int aw = 0;
    int ah = 0;
    glfwGetMonitorWorkarea(monitor, &ax, &ay, &aw, &ah);
    glfwSetWindowPos(window, 0, 0);
    if (aw > 0 && ah > 0) glfwSetWindowSize(window, aw, ah);
  }

  if (initial_load()) {
    residue(true);
    update_title();
    m_scene.make_graph(m_progdir);
  }
  glfwyMGR4::ms_singleton->KeyRepeat(true);
}

void ViewWindow::reshape(int width, int height) {
  if (width == 0 || height == 0) return;
  const direction2l_t f = get_framebuffer_size();
  m_fbscale_x = f.x / width;
  m_fbscale_y = f.y / height;
  m_scene.Reshape(static_cast<unsigned long>(std::max(f.x, 0)),
                  static_cast<unsigned long>(std::max(f.y, 0)));
  if (m_lastsize.x == 0 && m_lastsize.y == 0) {
    if (g_option.debug) std::cout << "oldwinsize is ZERO." << std::endl;
  } else if (g_option.resizetype == 1) {
    // The image keeps its size relative to the window's height.
    const float factor = side_ratio(f.y, m_lastsize.y);
    if (g_option.debug) std::cout << "re-shape scale factor is " << factor << std::endl;
    if (std::isfinite(factor) && factor > 0) setScale(factor);
  }
  m_lastsize = f;
  if (g_option.debug) std::cout << "newwinsize is " << f << std::endl;
}

void ViewWindow::set_shape() {
  m_lastsize = get_framebuffer_size();
  m_scene.Reshape(static_cast<unsigned long>(std::max(m_lastsize.x, 0)),
                  static_cast<unsigned long>(std::max(m_lastsize.y, 0)));
}

direction2l_t ViewWindow::get_window_size() const {
  int w = 0;
  int h = 0;
  if (GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this))
    glfwGetWindowSize(window, &w, &h);
  return direction2l_t(w, h);
}

direction2l_t ViewWindow::get_framebuffer_size() const {
  int w = 0;
  int h = 0;
  if (GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this))
    glfwGetFramebufferSize(window, &w, &h);
  return direction2l_t(w, h);
}

direction2l_t ViewWindow::getCurrentImageSize() const {
  const direction2l_t size = m_scene.getCurrentImageSize();
  if (m_scene.getCurrentOrientation() % 2 != 0) return direction2l_t(size.y, size.x);
  return size;
}

bool ViewWindow::residue(bool apply) {
  if (!g_option.resetview) return true;
  if (g_option.reproduce && residue_resume(apply)) return true;
  return go_center(apply);
}

bool ViewWindow::go_center(bool apply) {
  m_scene.Origin();
  direction2l_t w = get_window_size();
  switch (g_option.resizetype) {
    case 0: setScale(g_option.image_ratio_of_image); return false;
    case 1: break;
    case 2: {
      const direction2l_t image = getCurrentImageSize();
      if (g_option.verbose) std::cout << "imagesize: " << image << std::endl;
      const float ratio = g_option.window_ratio_of_image;
      const direction2l_t request(static_cast<std::int32_t>(image.x * ratio),
                                  static_cast<std::int32_t>(image.y * ratio));
      if (request.x != 0 || request.y != 0) {
        const direction2l_t n = residue_calc_window_size(request, w);
        residue_set_window_size(n, w, apply);
        if (g_option.debug)
          std::cout << "resizetype_window: old:" << w << ", new:" << n << ", req:" << request
                    << std::endl;
        w = n;
      }
      break;
    }
    default: return false;
  }
  const direction2l_t image = getCurrentImageSize();
  const float g = std::max(side_ratio(image.x, w.x), side_ratio(image.y, w.y));
  // No fit for an empty image, nor for a window without a side.
  if (g == 0 || !std::isfinite(g)) return true;
  setScale(g_option.image_ratio_of_window / g);
  return true;
}

bool ViewWindow::residue_resume(bool apply) {
  const char* path = getCurrentPath();
  if (path == nullptr || !m_scene.hasCurrent()) return false;
  zevfile_t zev;
  // A view that does not parse, or whose size is below 1x1, is no view.
  if (!zev.load(path)) return false;
  direction2l_t w = get_window_size();
  switch (g_option.resizetype) {
    case 0: setMatrix(zev.view); return true;
    case 1: break;
    case 2: {
      const direction2l_t n = residue_calc_window_size(zev.size, w);
      if (residue_set_window_size(n, w, apply)) w = n;
      break;
    }
    default: return true;
  }
  if (zev.size.x == 0 && zev.size.y == 0) return true;
  const float s = std::min(side_ratio(w.x, zev.size.x), side_ratio(w.y, zev.size.y));
  setMatrix(zev.view);
  if (std::isfinite(s) && s > 0) setScale(s);
  return true;
}

direction2l_t ViewWindow::residue_calc_window_size(const direction2l_t& requested,
                                                   const direction2l_t& current) {
  return drawable_window_size(limit_window_size(requested, current, get_window_size()));
}

direction2l_t ViewWindow::drawable_window_size(const direction2l_t& size) const {
  // A framebuffer beyond the viewport's largest size runs GL out of memory
  // and the driver aground; a snapshot's read back may pass through a
  // texture of the window's size.
  GLint viewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  GLint texture = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
  const direction2l_t window = get_window_size();
  const direction2l_t framebuffer = get_framebuffer_size();
  auto side = [texture](std::int32_t want, GLint most, std::int32_t fb, std::int32_t win) {
    if (texture > 0) most = most > 0 ? std::min(most, texture) : texture;
    if (most <= 0) return want;
    const std::int32_t scale = win > 0 && fb > win ? fb / win : 1;
    return std::min(want, std::max<std::int32_t>(most / scale, 1));
  };
  return direction2l_t(side(size.x, viewport[0], framebuffer.x, window.x),
                       side(size.y, viewport[1], framebuffer.y, window.y));
}

direction2l_t ViewWindow::limit_window_size(const direction2l_t& requested,
                                            const direction2l_t& current,
                                            const direction2l_t& present) {
  auto side = [](std::int32_t want, std::int32_t now, std::int32_t window, std::int32_t margin,
                 std::int32_t max) {
    std::int32_t out = want;
    const bool limited =
        (want > now && g_option.resize_magnify) || (want < now && g_option.resize_shrink);
    if (limited) {
      if (g_option.sizelimit == 1)
        out = std::min(want, window - margin);
      else if (g_option.sizelimit == 2)
        out = std::min(want, max);
    }
    // A side of 0 would end the program.
    return std::max(out, 1);
  };
  return direction2l_t(
      side(requested.x, current.x, present.x, g_option.maxmargin.x, g_option.maxsize.x),
      side(requested.y, current.y, present.y, g_option.maxmargin.y, g_option.maxsize.y));
}

bool ViewWindow::residue_set_window_size(const direction2l_t& size, const direction2l_t& current,
                                         bool apply) {
  if (g_option.verbose) std::cout << "set window size to: " << size << std::endl;
  if (size == current) {
    set_shape();
    return false;
  }
  if (!apply) return true;
  if (g_option.debug)
    std::cout << "residue_set_window_size"
              << ": SetWin: " << size << std::endl;
  if (size.x < 1 || size.y < 1) return false;
  if (GLFWwindow* window = glfwyMGR4::ms_singleton->getWindow(this))
    glfwSetWindowSize(window, size.x, size.y);
  return true;
}

}  // namespace plimzev2
