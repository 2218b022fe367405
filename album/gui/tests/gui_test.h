#pragma once
// Helpers of the window tests: scratch directories, environment and
// settings put back after each test, a program directory with the catalog
// and a stub viewer, and steps that answer a modal dialog once it shows.

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/main.h>
#include <gtkmm/table.h>
#include <gtkmm/window.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <list>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "album/engine/global.h"
#include "album/gui/cairobutton.h"
#include "image/imagetype.h"

namespace guitest {

class scratch_dir {
 public:
  scratch_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "guitest.XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~scratch_dir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// Sets (null: unsets) an environment variable and puts it back.
class env_guard {
 public:
  env_guard(const char* name, const char* value) : m_name(name) {
    const char* old = std::getenv(name);
    m_had = old != nullptr;
    if (m_had) m_old = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~env_guard() {
    if (m_had)
      setenv(m_name.c_str(), m_old.c_str(), 1);
    else
      unsetenv(m_name.c_str());
  }
  env_guard(const env_guard&) = delete;
  env_guard& operator=(const env_guard&) = delete;

 private:
  std::string m_name;
  bool m_had = false;
  std::string m_old;
};

// The C locale (LANG unset, as in CI), where no byte above 127 converts,
// while it lives; then the locale of before.
class c_locale_guard {
 public:
  c_locale_guard() : m_old(std::setlocale(LC_ALL, nullptr)) { std::setlocale(LC_ALL, "C"); }
  ~c_locale_guard() { std::setlocale(LC_ALL, m_old.c_str()); }
  c_locale_guard(const c_locale_guard&) = delete;
  c_locale_guard& operator=(const c_locale_guard&) = delete;

 private:
  std::string m_old;
};

class settings_guard {
 public:
  settings_guard() : m_saved(tavolin::g_global) {}
  ~settings_guard() { tavolin::g_global = m_saved; }
  settings_guard(const settings_guard&) = delete;
  settings_guard& operator=(const settings_guard&) = delete;

 private:
  tavolin::global_t m_saved;
};

inline void write_file(const std::string& path, const std::string& content) {
  std::ofstream ofs(path, std::ios::binary | std::ios::trunc);
  ofs << content;
  ASSERT_TRUE(ofs.good()) << path;
}

inline std::string read_file(const std::string& path) {
  std::ifstream ifs(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(ifs)), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

inline void make_dirs(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
}

// The lines of text split at LF, each without its CR.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
    start = end + 1;
  }
  return out;
}

// A program directory for the window: the catalog and a stub viewer that
// writes its arguments, one per line, to "viewer.args" beside it.
struct program_dir {
  explicit program_dir(const std::string& dir) : dir(dir + "/") {
    make_dirs(dir);
    std::filesystem::copy_file(std::string(TEST_BIN_DIR) + "/tavolin.msg", dir + "/tavolin.msg",
                               std::filesystem::copy_options::overwrite_existing);
    const std::string stub = dir + "/viewer-stub";
    write_file(stub,
               "#!/bin/sh\nfor a; do printf '%s\\n' \"$a\"; done > \"$0.tmp\"\n"
               "mv \"$0.tmp\" \"$(dirname \"$0\")/viewer.args\"\n");
    ::chmod(stub.c_str(), 0755);
    argv0 = this->dir + "tavolin";
    argv_storage = {argv0};
  }
  std::string args_file() const { return dir + "viewer.args"; }
  // argv of the window: the program path followed by extra.
  char** argv(const std::vector<std::string>& extra = {}) {
    argv_storage.assign(1, argv0);
    argv_storage.insert(argv_storage.end(), extra.begin(), extra.end());
    pointers.clear();
    for (std::string& s : argv_storage) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers.data();
  }
  int argc() const { return static_cast<int>(argv_storage.size()); }

  std::string dir;
  std::string argv0;
  std::vector<std::string> argv_storage;
  std::vector<char*> pointers;
};

// Runs GTK until cond holds or the time is up; true when it held.
inline bool pump_until(const std::function<bool()>& cond, int ms = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end) return false;
    while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

inline void pump() {
  for (int i = 0; i < 5; ++i) {
    while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// The first visible top-level window of type T.
template <typename T>
T* find_window() {
  for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
    if (T* t = dynamic_cast<T*>(w); t != nullptr && t->get_visible()) return t;
  }
  return nullptr;
}

// Once a T is shown, calls step on it (from inside its modal loop).
template <typename T>
void when_shown(std::function<void(T&)> step) {
  Glib::signal_timeout().connect(
      [step]() {
        T* t = find_window<T>();
        if (t == nullptr) return true;  // look again
        step(*t);
        return false;
      },
      30);
}

// Once a T is shown, clicks its button of response.
template <typename T>
void respond_when_shown(int response) {
  when_shown<T>([response](T& dialog) {
    if (Gtk::Widget* w = dialog.get_widget_for_response(response))
      static_cast<Gtk::Button*>(w)->clicked();
    else
      dialog.response(response);
  });
}

// Every child of table with the column and row it is attached at: a row
// lost, doubled or moved makes another set.
using cells_t = std::set<std::tuple<Gtk::Widget*, guint, guint>>;
inline cells_t table_cells(Gtk::Table& table) {
  cells_t cells;
  for (Gtk::Widget* w : table.get_children()) {
    guint left = 0, top = 0;
    gtk_container_child_get(GTK_CONTAINER(table.gobj()), w->gobj(), "left-attach", &left,
                            "top-attach", &top, nullptr);
    cells.insert({w, left, top});
  }
  return cells;
}
// widgets one under the other from table row top in column.
inline void add_cells(cells_t& cells, guint column, guint top,
                      std::initializer_list<Gtk::Widget*> widgets) {
  for (Gtk::Widget* w : widgets) cells.insert({w, column, top++});
}

// The text a button shows: that of its label child, where the rows'
// buttons hold it (their label property stays empty); "" without one.
inline std::string button_text(const Gtk::Button& button) {
  const auto* label = dynamic_cast<const Gtk::Label*>(button.get_child());
  return label ? label->get_text().raw() : std::string();
}

// Whether button shows text as set_label shows it on a fresh button of its
// kind: a visible label child of that text, placed alike, as tall and with
// the same baseline (which sets a check button's height), and the same
// style classes ("text-button" among them, which the theme draws by).
template <typename Button>
::testing::AssertionResult shows_text(Button& button, const std::string& text) {
  Button like;
  like.set_label(text);
  auto* got = dynamic_cast<Gtk::Label*>(button.get_child());
  auto* want = dynamic_cast<Gtk::Label*>(like.get_child());
  if (!got || !want) return ::testing::AssertionFailure() << "no label child";
  if (got->get_text() != want->get_text())
    return ::testing::AssertionFailure() << "text '" << got->get_text() << "'";
  const auto valign = [](Gtk::Widget& w) { return gtk_widget_get_valign_with_baseline(w.gobj()); };
  if (got->get_visible() != want->get_visible() || valign(*got) != valign(*want) ||
      got->get_halign() != want->get_halign() || got->get_xalign() != want->get_xalign() ||
      got->get_yalign() != want->get_yalign() ||
      got->get_use_underline() != want->get_use_underline())
    return ::testing::AssertionFailure() << "label shown or placed otherwise";
  const auto height = [](Gtk::Widget& w) {
    int min = 0, nat = 0, base = 0, nat_base = 0;
    gtk_widget_get_preferred_height_and_baseline_for_width(w.gobj(), -1, &min, &nat, &base,
                                                           &nat_base);
    return std::make_pair(min, base);
  };
  if (height(*got) != height(*want))
    return ::testing::AssertionFailure()
           << "label height " << height(*got).first << ", baseline " << height(*got).second;
  const auto classes = [](Gtk::Widget& w) {
    std::set<std::string> out;
    for (const Glib::ustring& c : w.get_style_context()->list_classes()) out.insert(c);
    return out;
  };
  const std::set<std::string> got_classes = classes(button), want_classes = classes(like);
  if (got_classes != want_classes) {
    auto failure = ::testing::AssertionFailure() << "style classes";
    for (const std::string& c : got_classes) failure << " " << c;
    return failure;
  }
  return ::testing::AssertionSuccess();
}

// Whether an image button of window shows picture: GTK itself (not
// hidden by other windows) draws picture's centre pixel at the centre of
// the button, and the button then holds picture's pixels.
inline ::testing::AssertionResult shows(Gtk::Window& window, tavolin::CairoButton& button,
                                        const libgr::image2d_t& picture) {
  const int w = static_cast<int>(picture.width), h = static_cast<int>(picture.height);
  auto surface =
      Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, window.get_width(), window.get_height());
  gtk_widget_draw(GTK_WIDGET(window.gobj()), Cairo::Context::create(surface)->cobj());
  const libgr::image2d_t& kept = button.picture();
  for (int y = 0; y < h; ++y)
    if (kept.width != picture.width || kept.height != picture.height ||
        !std::equal(picture[y], picture[y] + 3 * w, kept[y]))
      return ::testing::AssertionFailure() << "other pixels kept, row " << y;
  int x = 0, y = 0;
  button.translate_coordinates(window, (button.get_allocated_width() - w) / 2 + w / 2,
                               (button.get_allocated_height() - h) / 2 + h / 2, x, y);
  const unsigned char* p = picture[h - 1 - h / 2] + 3 * (w / 2);  // rows bottom-up
  const uint32_t want = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  const uint32_t got =
      reinterpret_cast<const uint32_t*>(surface->get_data() + y * surface->get_stride())[x];
  if ((got & 0xffffff) == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::hex << "drawn " << got << ", not " << want;
}

}  // namespace guitest
