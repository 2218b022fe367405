#pragma once
// A table of a thousand rows in a window, emptied, built anew and let go
// at a cost that grows with its rows rather than with their square: GTK
// and GDK spend on each widget a search of its siblings or of every window
// of the display unless it is done as below (row_table.cpp tells why),
// and the memory of the rows is given back.

#include <gtkmm/container.h>
#include <gtkmm/table.h>
#include <gtkmm/window.h>

namespace tavolin {

// The widgets of table taken out of it, the last attached first, before
// the rows that own them are destroyed or built anew. The widgets stay
// alive with their owners.
void empty_table(Gtk::Table& table);

// While alive, table is out of the window it is in, emptied: the rows
// attached to it meanwhile cost GTK least. Then back in its place, shown.
// Only a table that is the one child of its parent (a scrolled window's
// viewport) leaves it; another is emptied where it is.
class rows_rebuilt_t {
 public:
  explicit rows_rebuilt_t(Gtk::Table& table);
  ~rows_rebuilt_t();
  rows_rebuilt_t(const rows_rebuilt_t&) = delete;
  rows_rebuilt_t& operator=(const rows_rebuilt_t&) = delete;

 private:
  Gtk::Table& m_table;
  Gtk::Container* m_parent = nullptr;
};

// A window's teardown, called first by its destructor (before its rows,
// members of the derived class, go): hidden at once, its table emptied,
// and the heap pages its rows held given back to the system when the
// program is next idle, so that the program returns to about its size
// before the window opened.
void close_window(Gtk::Window& window, Gtk::Table& table);

}  // namespace tavolin
