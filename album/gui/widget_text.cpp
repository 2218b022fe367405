#include "album/gui/widget_text.h"

#include "album/gui/text.h"
#include "utility/message.h"

namespace tavolin {

Glib::ustring msg_utf8(plimlib::e_message_t id) { return to_utf8(plimlib::getmsg(id)); }

void set_button_text(Gtk::Button& button, const Glib::ustring& text) {
  // GTK's own label type, as set_label makes: a label of gtkmm's type
  // reports no baseline, and a check button would stand a pixel lower.
  // The button holds the only reference and ends it.
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_widget_set_valign(label, GTK_ALIGN_BASELINE);
  gtk_widget_show(label);
  gtk_container_add(GTK_CONTAINER(button.gobj()), label);
  button.get_style_context()->add_class("text-button");
}

std::string view_text(const Gtk::TextView& view) {
  return from_utf8(view.get_buffer()->get_text(true));
}

void set_view_text(Gtk::TextView& view, const std::string& text) {
  view.get_buffer()->set_text(to_utf8(text));
}

}  // namespace tavolin
