#include "album/gui/cell_grid.h"

#include <algorithm>

#include "album/engine/global.h"

namespace tavolin {

cell_place_t cell_place(unsigned long i, guint span) {
  // A hand-edited settings file may hold 0 cells per line.
  const unsigned long k = std::max<unsigned long>(g_global.horizontal_items, 1);
  return {static_cast<guint>(i % k), static_cast<guint>(span * (i / k))};
}

void size_table(Gtk::Table& table, unsigned long cells, guint span) {
  if (cells == 0) return;
  const unsigned long k = std::max<unsigned long>(g_global.horizontal_items, 1);
  table.resize(cell_place(cells - 1, span).top + span, static_cast<guint>(std::min(cells, k)));
}

void attach_cell(Gtk::Table& table, Gtk::Widget& w, const cell_place_t& place, guint offset,
                 Gtk::AttachOptions xoptions) {
  // A widget makes its style context when first asked, and a new one makes
  // GTK look again at every sibling of the widget: asked here, before the
  // table is in a window, a label costs the same however many rows there are.
  // Shown as it is attached: a widget that turns visible makes GTK look
  // along its siblings for a visible one, all of them when none before it
  // is, as when a full table is shown at once.
  w.get_style_context();
  table.attach(w, place.column, place.column + 1, place.top + offset, place.top + offset + 1,
               xoptions, Gtk::EXPAND | Gtk::FILL, 0, 0);
  w.show_all();
}

void attach_columns(Gtk::Table& table, guint r, std::initializer_list<Gtk::Widget*> cells) {
  const Gtk::AttachOptions both = Gtk::EXPAND | Gtk::FILL;
  guint c = 0;
  for (Gtk::Widget* cell : cells) {
    if (cell) {
      cell->get_style_context();  // made now and shown: see attach_cell
      table.attach(*cell, c, c + 1, r, r + 1, both, both, 0, 0);
      cell->show_all();
    }
    ++c;
  }
}

}  // namespace tavolin
