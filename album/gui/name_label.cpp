#include "album/gui/name_label.h"

#include <algorithm>

#include "album/gui/screenfit.h"

namespace tavolin {

NameLabel::NameLabel() {
  set_ellipsize(Pango::ELLIPSIZE_MIDDLE);
  // Else an ellipsized label's natural width is its whole text's.
  set_max_width_chars(name_chars);
  set_has_tooltip(true);
  signal_query_tooltip().connect(sigc::mem_fun(*this, &NameLabel::on_tooltip), false);
}

void NameLabel::show_name(const Glib::ustring& name) {
  set_text(name);
  shorten_label(*this, name_chars, Pango::ELLIPSIZE_MIDDLE);
}

void NameLabel::get_preferred_width_vfunc(int& minimum, int& natural) const {
  // GTK lets an ellipsized label shrink to its width in characters, which
  // capitals and CJK characters exceed. A table sizes its cells by their
  // minimum: a name that fits in name_chars characters' width asks for all
  // of it, and is never cut.
  Gtk::Label::get_preferred_width_vfunc(minimum, natural);
  minimum = natural = std::max(minimum, natural);
}

bool NameLabel::on_tooltip(int, int, bool, const Glib::RefPtr<Gtk::Tooltip>& tooltip) {
  if (!get_layout()->is_ellipsized()) return false;
  tooltip->set_text(get_text());
  return true;
}

}  // namespace tavolin
