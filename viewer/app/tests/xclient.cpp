#include "xclient.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace viewertest {

namespace {

using clock_type = std::chrono::steady_clock;

long cardinal(Display* d, Window w, Atom property) {
  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  long value = -1;
  if (XGetWindowProperty(d, w, property, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                         &data) == Success &&
      data != nullptr) {
    if (items == 1 && format == 32) value = *reinterpret_cast<long*>(data);
    XFree(data);
  }
  return value;
}

// Windows come and go while we look at them, and a key's release reaches
// a window its press has closed: Xlib's default handler would end the test
// on such an error, so it is only counted.
std::atomic<unsigned long> x_errors{0};
int count_error(Display*, XErrorEvent*) {
  ++x_errors;
  return 0;
}

bool mapped(Display* d, Window w) {
  XWindowAttributes a{};
  return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

}  // namespace

XClient::XClient() : m_display(XOpenDisplay(nullptr)) { XSetErrorHandler(count_error); }

unsigned long XClient::errors() { return x_errors; }

XClient::~XClient() {
  if (m_display != nullptr) XCloseDisplay(m_display);
}

window_t XClient::find(pid_t pid, double seconds) {
  const Atom pid_atom = XInternAtom(m_display, "_NET_WM_PID", False);
  const auto until = clock_type::now() + std::chrono::duration<double>(seconds);
  while (clock_type::now() < until) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && found == 0; ++i) {
        if (cardinal(m_display, children[i], pid_atom) == static_cast<long>(pid) &&
            mapped(m_display, children[i]))
          found = children[i];
      }
      if (children != nullptr) XFree(children);
    }
    if (found != 0) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return 0;
}

std::string XClient::title(window_t w) {
  const Atom name = XInternAtom(m_display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string text;
  if (XGetWindowProperty(m_display, w, name, 0, 4096, False, utf8, &type, &format, &items, &after,
                         &data) == Success &&
      data != nullptr) {
    text.assign(reinterpret_cast<char*>(data), items);
    XFree(data);
  }
  return text;
}

std::string XClient::wait_title(window_t w, const std::string& want, double seconds) {
  const auto until = clock_type::now() + std::chrono::duration<double>(seconds);
  std::string got = title(w);
  while (got != want && clock_type::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    got = title(w);
  }
  return got;
}

window_geometry_t XClient::attributes(window_t w) {
  XWindowAttributes a{};
  window_geometry_t g;
  if (XGetWindowAttributes(m_display, w, &a)) g = {a.x, a.y, a.width, a.height};
  return g;
}

window_t XClient::root() const { return DefaultRootWindow(m_display); }

bool XClient::exists(window_t w) {
  XWindowAttributes a{};
  return XGetWindowAttributes(m_display, w, &a) != 0;
}

unsigned long XClient::centre_pixel(window_t w) {
  const window_geometry_t g = attributes(w);
  if (g.width == 0 || g.height == 0) return ~0ul;
  XImage* image = XGetImage(m_display, w, g.width / 2, g.height / 2, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return ~0ul;
  const unsigned long p = XGetPixel(image, 0, 0) & 0xffffff;
  XDestroyImage(image);
  return p;
}

bool XClient::send_key(window_t w, const std::string& keys) {
  // The modifier keys of the chord, pressed before the key and released
  // after it, as a user does: programs may ask for a modifier key's state
  // as well as read the event's modifier bits.
  struct modifier_t {
    const char* name;
    const char* keysym;
    unsigned mask;
  };
  static const modifier_t modifiers[] = {{"shift", "Shift_L", ShiftMask},
                                         {"ctrl", "Control_L", ControlMask},
                                         {"alt", "Alt_L", Mod1Mask}};
  std::vector<const modifier_t*> held;
  std::string name = keys;
  for (std::string::size_type plus; (plus = name.find('+')) != std::string::npos && plus > 0;) {
    const modifier_t* found = nullptr;
    for (const modifier_t& m : modifiers) {
      if (name.compare(0, plus, m.name) == 0 && std::strlen(m.name) == plus) found = &m;
    }
    if (found == nullptr) return false;
    held.push_back(found);
    name.erase(0, plus + 1);
  }
  auto code_of = [this](const char* keysym) -> KeyCode {
    const KeySym sym = XStringToKeysym(keysym);
    return sym == NoSymbol ? 0 : XKeysymToKeycode(m_display, sym);
  };
  const KeySym sym = XStringToKeysym(name.c_str());
  const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(m_display, sym);
  if (code == 0) return false;
  // "W" is the shifted symbol of the w key.
  const modifier_t* shift = &modifiers[0];
  if (XkbKeycodeToKeysym(m_display, code, 0, 0) != sym &&
      XkbKeycodeToKeysym(m_display, code, 0, 1) == sym &&
      std::find(held.begin(), held.end(), shift) == held.end())
    held.push_back(shift);

  Window root = 0;
  Window child = 0;
  int root_x = 0;
  int root_y = 0;
  int x = 0;
  int y = 0;
  unsigned mask = 0;
  // The handler is the process's own: a GLFW window in the same process
  // puts Xlib's default back when it is done with it.
  XSetErrorHandler(count_error);
  XQueryPointer(m_display, w, &root, &child, &root_x, &root_y, &x, &y, &mask);
  unsigned state = 0;
  auto send = [&](int type, KeyCode key) {
    XEvent e{};
    e.xkey.type = type;
    e.xkey.display = m_display;
    e.xkey.window = w;
    e.xkey.root = DefaultRootWindow(m_display);
    e.xkey.subwindow = 0;
    e.xkey.time = CurrentTime;
    e.xkey.x = x;
    e.xkey.y = y;
    e.xkey.x_root = root_x;
    e.xkey.y_root = root_y;
    e.xkey.same_screen = True;
    e.xkey.keycode = key;
    e.xkey.state = state;
    XSendEvent(m_display, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
  };
  for (const modifier_t* m : held) {
    send(KeyPress, code_of(m->keysym));
    state |= m->mask;
  }
  send(KeyPress, code);
  send(KeyRelease, code);
  for (auto m = held.rbegin(); m != held.rend(); ++m) {
    send(KeyRelease, code_of((*m)->keysym));
    state &= ~(*m)->mask;
  }
  XSync(m_display, False);
  return true;
}

void XClient::close(window_t w) {
  XSetErrorHandler(count_error);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(m_display, w, False, NoEventMask, &e);
  XSync(m_display, False);
}

}  // namespace viewertest
