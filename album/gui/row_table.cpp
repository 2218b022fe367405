#include "album/gui/row_table.h"

#include <malloc.h>

#include <vector>

#include <gdkmm/display.h>
#include <glibmm/main.h>
#include <gtkmm/bin.h>
#include <gtkmm/button.h>
#include <gtkmm/buttonbox.h>
#include <gtkmm/settings.h>

namespace tavolin {

namespace {

// The GDK windows of widget top and of the widgets inside it, below window
// w, oldest first: GDK lists a window's children newest first.
void collect_windows(GdkWindow* w, GtkWidget* top, std::vector<GdkWindow*>& out) {
  gpointer owner = nullptr;
  gdk_window_get_user_data(w, &owner);
  if (owner != nullptr && GTK_IS_WIDGET(owner) &&
      (owner == top || gtk_widget_is_ancestor(GTK_WIDGET(owner), top)))
    out.push_back(w);
  for (GList* child = g_list_last(gdk_window_peek_children(w)); child; child = child->prev)
    collect_windows(static_cast<GdkWindow*>(child->data), top, out);
}

// GDK connects every window it makes to the display's "seat-removed"
// signal and, as the window is destroyed, disconnects it by a search of
// every handler of the display: a dialog of a thousand rows holds some
// fifteen thousand windows, and destroying them one by one took seconds.
// Called just before they are destroyed, this disconnects their handlers
// itself, oldest first as the display lists them: each search ends once
// past the windows older than them all, and GDK's own searches then pass
// over only the windows that stay.
void unhook_windows(Gtk::Widget& top) {
  GdkWindow* start = gtk_widget_get_window(top.gobj());
  if (start == nullptr) return;  // never shown: no GDK windows
  const guint seat_removed = g_signal_lookup("seat-removed", GDK_TYPE_DISPLAY);
  if (seat_removed == 0) return;
  GdkDisplay* display = gdk_window_get_display(start);
  std::vector<GdkWindow*> windows;
  collect_windows(start, top.gobj(), windows);
  const auto match = static_cast<GSignalMatchType>(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DATA);
  for (GdkWindow* w : windows) {
    const gulong id = g_signal_handler_find(display, match, seat_removed, 0, nullptr, nullptr, w);
    if (id != 0) g_signal_handler_disconnect(display, id);
  }
}

// Once, however many windows close before the program is idle.
void trim_when_idle() {
  static bool pending = false;
  if (pending) return;
  pending = true;
  // The widgets of the rows are many small blocks, spread over the heap
  // among blocks still in use: freed, they stay with the process until
  // trimmed.
  Glib::signal_idle().connect_once(
      [] {
        pending = false;
        malloc_trim(0);
      },
      Glib::PRIORITY_LOW);
}

void hide_now(Gtk::Window& window) {
  // Gone from the screen before anything else; unmapped as a whole, its
  // rows are not unmapped and redrawn one by one.
  window.hide();
  // The X server told now, not when the program is next idle.
  window.get_display()->flush();
}

// Each child of the table, in the table's order.
gboolean draw_children(GtkWidget* table, cairo_t* cr, gpointer) {
  struct drawing_t {
    GtkContainer* table;
    cairo_t* cr;
  } drawing{GTK_CONTAINER(table), cr};
  gtk_container_forall(
      drawing.table,
      [](GtkWidget* child, gpointer data) {
        const auto* d = static_cast<drawing_t*>(data);
        gtk_container_propagate_draw(d->table, child, d->cr);
      },
      &drawing);
  return TRUE;  // instead of the container's own drawing
}

}  // namespace

void no_style_animations() {
  Gtk::Settings::get_default()->property_gtk_enable_animations() = false;
}

void answer_mnemonics_at_once(Gtk::Dialog& dialog) {
  for (Gtk::Widget* child : dialog.get_action_area()->get_children()) {
    auto* button = dynamic_cast<Gtk::Button*>(child);
    if (button == nullptr) continue;
    button->signal_mnemonic_activate().connect(
        [button](bool group_cycling) {
          // A letter shared by several widgets moves the focus among them.
          if (group_cycling) return false;
          button->clicked();
          return true;
        },
        false);
  }
}

void draw_rows_unstacked(Gtk::Table& table) {
  g_signal_connect(table.gobj(), "draw", G_CALLBACK(draw_children), nullptr);
}

void empty_table(Gtk::Table& table) {
  unhook_windows(table);
  // GTK finds a child to remove by a walk along the table's children from
  // the last attached: taken in attach order, each walks past all others.
  for (Gtk::Widget* child : table.get_children()) table.remove(*child);
}

rows_rebuilt_t::rows_rebuilt_t(Gtk::Table& table) : m_table(table) {
  // A widget attached to a table in a window works out its style at once
  // and has GTK look again at each of its siblings: a table out of any
  // window works out the style of all its rows once, as it joins one.
  Gtk::Container* parent = table.get_parent();
  if (parent != nullptr && dynamic_cast<Gtk::Bin*>(parent) != nullptr) {
    unhook_windows(table);
    parent->remove(table);
    m_parent = parent;
  }
  empty_table(table);
}

rows_rebuilt_t::~rows_rebuilt_t() {
  if (m_parent != nullptr) m_parent->add(m_table);
}

void unhook_rows(Gtk::Table& table) { unhook_windows(table); }

void hide_unhooked(Gtk::Window& window, Gtk::Table& table) {
  hide_now(window);
  unhook_windows(table);
}

void unrealize_now(Gtk::Window& window) { gtk_widget_unrealize(GTK_WIDGET(window.gobj())); }

void close_window(Gtk::Window& window, Gtk::Table& table) {
  hide_now(window);
  empty_table(table);
  trim_when_idle();
}

}  // namespace tavolin
