#pragma once
// The label of a file's or an entry's name in a cell of a window's table.

#include <glibmm/refptr.h>
#include <glibmm/ustring.h>
#include <gtkmm/label.h>
#include <gtkmm/tooltip.h>

namespace tavolin {

// Characters' width up to which a name widens its cell; a longer name
// takes that width (or its cell's, when wider) and is cut in the middle,
// so that no table of names grows past a laptop's screen.
constexpr int name_chars = 24;

// A name shown whole where it fits, in a cell as wide as the name up to
// name_chars characters' width, and cut in the middle beyond. The label's
// text stays the whole name: what screen readers read and tests find it
// by; while it shows cut, its tooltip shows it whole.
class NameLabel : public Gtk::Label {
 public:
  NameLabel();
  // Shows name; the cell no narrower than shorten_label to name_chars
  // makes it.
  void show_name(const Glib::ustring& name);

 protected:
  void get_preferred_width_vfunc(int& minimum, int& natural) const override;

 private:
  bool on_tooltip(int x, int y, bool keyboard, const Glib::RefPtr<Gtk::Tooltip>& tooltip);
};

}  // namespace tavolin
