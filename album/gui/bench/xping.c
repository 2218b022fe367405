/* xping WINDOW [SECONDS]: waits until the program of top-level X window
 * WINDOW answers a window-manager ping, that is until its event loop reads
 * X events again; exits 1 when no answer came within SECONDS (default 60).
 * A window manager asks the same to tell a program that hangs. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <time.h>

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: xping WINDOW [SECONDS]\n");
    return 2;
  }
  Window window = (Window)strtoul(argv[1], NULL, 0);
  double seconds = argc > 2 ? atof(argv[2]) : 60;
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "xping: no display\n");
    return 2;
  }
  Window root = DefaultRootWindow(display);
  Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  Atom ping = XInternAtom(display, "_NET_WM_PING", False);
  /* The answer is sent to the root window for its substructure. */
  XSelectInput(display, root, SubstructureNotifyMask);
  XEvent event = {0};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)ping;
  event.xclient.data.l[1] = CurrentTime;
  event.xclient.data.l[2] = (long)window;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  double end = now() + seconds;
  int fd = ConnectionNumber(display);
  for (;;) {
    while (XPending(display)) {
      XNextEvent(display, &event);
      if (event.type == ClientMessage && event.xclient.message_type == protocols &&
          (Atom)event.xclient.data.l[0] == ping && (Window)event.xclient.data.l[2] == window)
        return 0;
    }
    double left = end - now();
    if (left <= 0) return 1;
    fd_set in;
    FD_ZERO(&in);
    FD_SET(fd, &in);
    struct timeval wait = {(time_t)left, (suseconds_t)((left - (time_t)left) * 1e6)};
    select(fd + 1, &in, NULL, NULL, &wait);
  }
}
