#pragma once
// The rows above an album dialog's table: the directory's path and the
// private marker.

#include <string>

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/label.h>

#include "album/engine/album.h"
#include "utility/catalog/tavolin_messages.h"

namespace tavolin {

// Caption and path of the directory a dialog shows.
struct path_row_t {
  void build(plimlib::e_message_t caption_id, const std::string& dir);
  Gtk::HBox box;
  Gtk::Label caption;
  Gtk::Label path;
};

// The private marker "txt/secret.txt" with its caption (message 49).
struct private_row_t {
  void build(const path_t& location, bool sensitive);
  // Makes or removes the marker as the check says; failures ignored.
  void save(const path_t& location) const;
  Gtk::HBox box;
  Gtk::Label caption;
  Gtk::CheckButton check;
};

}  // namespace tavolin
