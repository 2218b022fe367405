#include "album/gui/errorbox.h"

#include <gtkmm/messagedialog.h>

#include "album/gui/text.h"
#include "utility/message.h"

namespace tavolin {

void show_error(Gtk::Window& parent, const std::string& message, const std::string& log) {
  Gtk::MessageDialog box(parent, to_utf8(message + log), false, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK,
                         true);
  box.set_title(to_utf8(plimlib::getmsg(25)));
  box.run();
}

}  // namespace tavolin
