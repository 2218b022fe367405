#pragma once
// A title entry and its head and last comment views: their texts read,
// checked and saved, and the rows of them the album dialogs show.

#include <string>

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include "album/engine/album.h"

namespace tavolin {

// A title entry's and its head and last comment views' texts in the
// locale's encoding.
void comment_texts(const Gtk::Entry& title_entry, const Gtk::TextView& head_view,
                   const Gtk::TextView& last_view, std::string& title, std::string& head,
                   std::string& last);
// Those texts written to location; else the error box over parent (message
// 26 for an empty title, 30 when they could not be written) and false.
bool save_comment_texts(Gtk::Window& parent, const Gtk::Entry& title_entry,
                        const Gtk::TextView& head_view, const Gtk::TextView& last_view,
                        const path_t& location);

// Title entry and the two comment views with their captions (messages
// 21, 23, 24), packed in that order.
struct comment_rows_t {
  void build(bool editable);
  void pack(Gtk::Box& box);
  // loadcommenttxt: the non-empty texts go into the widgets.
  void load(const path_t& location);
  void offer(const std::string& title, const std::string& head, const std::string& last);
  // The typed texts in the locale's encoding.
  void read(std::string& title, std::string& head, std::string& last) const;
  // The texts written to location; else the error box over parent (message
  // 26 for an empty title, 30 when they could not be written) and false.
  bool save(Gtk::Window& parent, const path_t& location) const;
  Gtk::Label title_caption;
  Gtk::Entry title_entry;
  Gtk::Label head_caption;
  Gtk::Label last_caption;
  Gtk::TextView head_view;
  Gtk::TextView last_view;
};

}  // namespace tavolin
