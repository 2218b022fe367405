#pragma once
// Just enough of an X client to see the viewer's window as a window
// manager or a user would. Xlib's macros stay inside xclient.cpp.

#include <sys/types.h>

#include <string>

struct _XDisplay;

namespace viewertest {

using window_t = unsigned long;

struct window_geometry_t {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class XClient {
 public:
  XClient();
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;
  bool ok() const { return m_display != nullptr; }

  // The mapped top-level window of process pid, waiting for it; 0 if none.
  window_t find(pid_t pid, double seconds = 10);
  // The window's UTF-8 title.
  std::string title(window_t w);
  // Waits until the title is want; returns the last title seen.
  std::string wait_title(window_t w, const std::string& want, double seconds = 5);
  window_geometry_t attributes(window_t w);
  window_t root() const;
  // False once the window was destroyed.
  bool exists(window_t w);
  // The pixel at the window's centre as 0xRRGGBB.
  unsigned long centre_pixel(window_t w);
  // A press and a release of the key named keys ("q", "Escape", "W",
  // chords such as "shift+space" or "ctrl+s") sent to the window itself:
  // unlike XTEST keys, which go wherever the focus is when the server
  // gets them, they cannot reach another window on the same display.
  bool send_key(window_t w, const std::string& keys);
  // What a window manager sends when the user closes the window.
  void close(window_t w);
  // X errors seen so far in this process (a window gone meanwhile): they
  // are counted, never fatal.
  static unsigned long errors();

 private:
  _XDisplay* m_display;
};

}  // namespace viewertest
