#include "album/gui/bookcells.h"

#include <fstream>
#include <list>

#include "album/engine/util.h"
#include "album/gui/errorbox.h"
#include "album/gui/text.h"
#include "utility/message.h"
#include "utility/strutil.h"

namespace tavolin {

std::string locale_to_utf8(const std::string& text) { return to_utf8(text).raw(); }

Glib::ustring msg_utf8(unsigned id) { return to_utf8(plimlib::getmsg(id)); }

std::string widget_text(const Glib::ustring& text) {
  std::string out;
  if (!from_utf8(text, out)) return std::string();
  return out;
}

std::string view_text(Gtk::TextView& view) {
  auto buffer = view.get_buffer();
  return widget_text(buffer->get_text(buffer->begin(), buffer->end(), true));
}

void set_view_text(Gtk::TextView& view, const std::string& text) {
  view.get_buffer()->set_text(to_utf8(text));
}

std::string count_line(const path_t& dir) {
  std::string file;
  dir.make(file, "txt", "count.txt");
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return std::string();
  libutils::chop2(line);
  return line;
}

std::string head_preview(const std::string& head) {
  std::list<std::string> lines;
  libutils::separate_token(lines, head, "\n");
  if (lines.empty()) return std::string();
  auto it = lines.begin();
  std::string out = *it;
  libutils::chop(out);
  if (++it != lines.end()) {
    std::string second = *it;
    libutils::chop(second);
    out += "\n" + second;
  }
  return out;
}

void show_error_log(Gtk::Window& parent, unsigned message, const std::string& log) {
  show_error(parent, plimlib::getmsg(message), log.empty() ? std::string() : "\n" + log);
}

void present_again(Gtk::Window& window) {
  if (ostype_iconify()) window.iconify();
  window.present();
}

}  // namespace tavolin
