#include "album/gui/screenfit.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>
#include <gdkmm/window.h>
#include <glibmm/main.h>

#include <algorithm>

namespace tavolin {

namespace {

Glib::RefPtr<Gdk::Window> shown_gdk_window(Gtk::Window& window) {
  return window.get_mapped() ? window.get_window() : Glib::RefPtr<Gdk::Window>();
}

// The window itself once shown, else its transient parent when that is.
Glib::RefPtr<Gdk::Window> placed_gdk_window(Gtk::Window& window) {
  if (Glib::RefPtr<Gdk::Window> own = shown_gdk_window(window)) return own;
  if (Gtk::Window* parent = window.get_transient_for()) return shown_gdk_window(*parent);
  return Glib::RefPtr<Gdk::Window>();
}

// What the window manager's frame adds to the size of a shown window;
// nothing without a window manager.
void frame_size(const Glib::RefPtr<Gdk::Window>& gdk_window, int& width, int& height) {
  width = height = 0;
  if (!gdk_window) return;
  Gdk::Rectangle frame;
  gdk_window->get_frame_extents(frame);
  width = std::max(0, frame.get_width() - gdk_window->get_width());
  height = std::max(0, frame.get_height() - gdk_window->get_height());
}

// Characters in the longest line of text.
int longest_line(const Glib::ustring& text) {
  int longest = 0, current = 0;
  for (gunichar c : text) {
    current = c == '\n' ? 0 : current + 1;
    longest = std::max(longest, current);
  }
  return longest;
}

}  // namespace

Gdk::Rectangle work_area(Gtk::Window& window) {
  Glib::RefPtr<Gdk::Display> display = window.get_display();
  Glib::RefPtr<Gdk::Monitor> monitor;
  if (Glib::RefPtr<Gdk::Window> placed = placed_gdk_window(window))
    monitor = display->get_monitor_at_window(placed);
  if (!monitor) monitor = display->get_primary_monitor();
  if (!monitor) monitor = display->get_monitor(0);
  Gdk::Rectangle area(0, 0, window.get_screen()->get_width(), window.get_screen()->get_height());
  if (monitor) monitor->get_workarea(area);
  return area;
}

void follow_content(Gtk::ScrolledWindow& scrolled, int max_height) {
  scrolled.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  scrolled.set_propagate_natural_width(true);
  scrolled.set_propagate_natural_height(true);
  scrolled.set_max_content_height(max_height);
}

void fit_window(Gtk::Window& window) {
  const Gdk::Rectangle area = work_area(window);
  // A window not yet shown will get the frame its parent has.
  int frame_w, frame_h;
  frame_size(placed_gdk_window(window), frame_w, frame_h);
  const int max_w = std::max(1, area.get_width() - frame_w);
  const int max_h = std::max(1, area.get_height() - frame_h);

  int min_w, nat_w, min_h, nat_h;
  window.get_preferred_width(min_w, nat_w);
  const int w = std::max(min_w, std::min(nat_w, max_w));
  window.get_preferred_height_for_width(w, min_h, nat_h);
  const int h = std::max(min_h, std::min(nat_h, max_h));
  window.resize(w, h);

  if (window.get_mapped()) {
    int x, y;
    window.get_position(x, y);
    const int nx =
        std::max(area.get_x(), std::min(x, area.get_x() + area.get_width() - w - frame_w));
    const int ny =
        std::max(area.get_y(), std::min(y, area.get_y() + area.get_height() - h - frame_h));
    if (nx != x || ny != y) window.move(nx, ny);
  }
  window.queue_draw();
}

void fit_on_show(Gtk::Window& window) {
  // Measured before GTK realizes it, a window's content is measured again
  // when it is realized; fitted once realized (before it is mapped), it is
  // measured once.
  if (window.get_realized())
    fit_window(window);
  else
    window.signal_realize().connect(sigc::track_obj([&window] { fit_window(window); }, window),
                                    true);
  window.signal_map().connect([&window] {
    // After GTK's own idle work: sizes, then the text views' layout.
    Glib::signal_idle().connect_once(sigc::track_obj([&window] { fit_window(window); }, window));
  });
}

void shorten_label(Gtk::Label& label, int max_chars, Pango::EllipsizeMode mode) {
  label.set_ellipsize(mode);
  label.set_width_chars(std::min(longest_line(label.get_text()), max_chars));
}

void shorten_entry(Gtk::Entry& entry, int length, int max_chars) {
  entry.set_width_chars(std::min(length, max_chars));
  entry.set_max_width_chars(length);
}

void wrap_view(Gtk::TextView& view) { view.set_wrap_mode(Gtk::WRAP_WORD_CHAR); }

}  // namespace tavolin
