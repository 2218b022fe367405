#include "album/gui/errorbox.h"

#include <gtkmm/messagedialog.h>
#include <gtkmm/scrolledwindow.h>

#include <algorithm>
#include <vector>

#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/message.h"

namespace tavolin {

void show_error(Gtk::Window& parent, const std::string& message, const std::string& log) {
  Gtk::MessageDialog box(parent, to_utf8(message + log), false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK,
                         true);
  box.set_title(to_utf8(plimlib::getmsg(tavolin::MSG_ERROR_TITLE)));
  // The log of a whole card can run to hundreds of lines: the text scrolls
  // inside the box, which never grows past the screen.
  Gtk::ScrolledWindow scrolled;
  Gtk::Box* area = box.get_message_area();
  const std::vector<Gtk::Widget*> children = area->get_children();
  if (!children.empty()) {
    Gtk::Widget& text = *children.front();
    text.reference();
    area->remove(text);
    scrolled.add(text);
    text.unreference();
    // Room for the title, the icon's margins and the OK button.
    follow_content(scrolled, std::max(100, work_area(box).get_height() - 160));
    scrolled.set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
    area->pack_start(scrolled, Gtk::PACK_EXPAND_WIDGET);
    area->reorder_child(scrolled, 0);
    scrolled.show();
  }
  // Return answers the box, as it did before the text could scroll.
  box.set_default_response(Gtk::RESPONSE_OK);
  if (Gtk::Widget* ok = box.get_widget_for_response(Gtk::RESPONSE_OK)) ok->grab_focus();
  fit_on_show(box);
  box.run();
}

void show_error_log(Gtk::Window& parent, plimlib::e_message_t message, const std::string& log) {
  show_error(parent, plimlib::getmsg(message), log.empty() ? std::string() : "\n" + log);
}

}  // namespace tavolin
