#pragma once
// A table of a thousand rows in a window, drawn, emptied, built anew and
// let go at a cost that grows with its rows rather than with their square:
// GTK and GDK spend on each widget a search of its siblings or of every
// window of the display unless it is done as below (row_table.cpp tells
// why), and the memory of the rows is given back.

#include <memory>
#include <vector>

#include <gtkmm/container.h>
#include <gtkmm/dialog.h>
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

// The table drawn child by child in its own order. GTK draws a
// container's children in the stacking order of their windows, which it
// finds for each child that has one by a search of its window's siblings:
// a thousand rows' comment views among some fifteen thousand windows made
// every redraw of any part of the table take a third of a second. The
// cells of a table never overlap, so their order does not show.
void draw_rows_unstacked(Gtk::Table& table);

// Style animations off for the whole program. While any widget of a
// window animates (a button fading as the pointer or a dialog's grab
// leaves it), GTK looks again at the style of every widget of the window on
// each frame: a third of a second for each such change in a window of a
// thousand rows. The states still show at once; only their fades go.
void no_style_animations();

// The buttons of the dialog's action area, once added, answer their
// mnemonic (Alt and the underlined letter) at once, as a click does. GTK's
// keyboard activation first shows a button pressed for a quarter of a
// second under a keyboard grab, whose start and end each look at every
// widget of the window: in a window of a thousand rows, a third of a
// second before its OK or Cancel begins.
void answer_mnemonics_at_once(Gtk::Dialog& dialog);

// A handler of a row's widget calling window's member f with the row's
// bound arguments. Unlike sigc::mem_fun it leaves the window untold: each
// of a thousand rows' dozen slots registered with a window would, as the
// window dies, search the window's whole list of them, seconds in all.
// The window must outlive its rows' widgets (close_rows_window keeps it).
template <class Window, class... Params, class... Bound>
auto row_handler(Window* window, void (Window::*f)(Params...), Bound... bound) {
  return [window, f, bound...] { (window->*f)(bound...); };
}

// A window's teardown, called first by its destructor (before its rows,
// members of the derived class, go): hidden and emptied, its rows
// destroyed with it, and the heap pages they held given back when the
// program is next idle. Run from a row, a window goes by close_rows_window
// instead and is empty by then, but for the edit hub, which the main
// window rebuilds its rows after: GDK's destruction of each of a window's
// GDK windows searches through all others, so that the hub's rows go best
// before the new ones come.
void close_window(Gtk::Window& window, Gtk::Table& table);

// The handlers of the table's windows taken off the display as
// empty_table does, the rows left as they are: for rows built anew before
// any event is handled.
void unhook_rows(Gtk::Table& table);

// The window hidden at once; its windows' handlers taken off the display
// as empty_table does.
void hide_unhooked(Gtk::Window& window, Gtk::Table& table);

// The GDK windows of a window hidden by hide_unhooked destroyed now, its
// widgets kept. As GDK destroys each, it searches through the handlers of
// every window there is: a thousand rows' windows go in a tenth of a
// second before another window of rows is built, in tens of seconds
// beside one.
void unrealize_now(Gtk::Window& window);

// The end of a window of rows whose run is over (table and rows are its
// own), all before the program turns to its events again: hidden, its GDK
// windows destroyed, then its rows, the last first (GTK finds its widgets
// in the table soonest), then the window; the heap pages go back when
// idle. A thousand rows take half a second. Not later when idle: the
// accessibility bridge learns that a widget died only while a client is
// connected, and the client that closed the window may leave once it is
// hidden. A widget dying after that stays in the bridge's list, dead, as
// long as the bridge holds it (sixteen seconds after a client read it),
// and each client that connects meanwhile has its state asked, which GTK's
// labels, buttons, toggles and entries answer with none: four criticals.
template <class Window, class Row>
void close_rows_window(std::unique_ptr<Window>&& window, Gtk::Table& table,
                       std::vector<Row>& rows) {
  hide_unhooked(*window, table);
  unrealize_now(*window);
  while (!rows.empty()) rows.pop_back();
  window.reset();
}

}  // namespace tavolin
