#pragma once
// Where the cells of a window's table go: an album dialog's grid of file
// cells, several table rows to a cell, and a collection table's columns.

#include <initializer_list>

#include <gtkmm/table.h>
#include <gtkmm/widget.h>

namespace tavolin {

// Cell i of a grid of g_global.horizontal_items (at least 1) cells per
// line, each cell span table rows high: its column and first table row.
struct cell_place_t {
  guint column;
  guint top;
};
cell_place_t cell_place(unsigned long i, guint span);
// The table resized at once to hold cells cells span table rows high (a
// table attached past its size grows a row at a time).
void size_table(Gtk::Table& table, unsigned long cells, guint span);
// Attaches w in the cell's column at table row top + offset.
void attach_cell(Gtk::Table& table, Gtk::Widget& w, const cell_place_t& place, guint offset,
                 Gtk::AttachOptions xoptions = Gtk::EXPAND | Gtk::FILL);

// Attaches the cells in the columns of table row r, in order, expanding
// both ways; a null cell leaves its column empty.
void attach_columns(Gtk::Table& table, guint r, std::initializer_list<Gtk::Widget*> cells);

}  // namespace tavolin
