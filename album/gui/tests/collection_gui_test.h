// Helpers of the collection editor's window tests: a scripted sequence of
// steps, each waiting for the window it acts on; an answer to the message
// boxes; a snapshot of a directory tree; screenshots of the test display.
#pragma once

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/messagedialog.h>
#include <sys/stat.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "album/engine/exif.h"
#include "album/engine/global.h"
#include "album/gui/decoded_budget.h"
#include "album/gui/row_table.h"
#include "album/gui/tests/gui_test.h"
#include "utility/message.h"

namespace collectiontest {

// Steps run in order inside whatever modal loop is running; each waits
// until its condition holds. A step runs from a one-shot idle source of its
// own, so that a step which opens a modal loop (a click that runs a dialog)
// leaves the script free to go on inside it. done() when all have run.
class script_t {
 public:
  script_t() {
    m_connection = Glib::signal_timeout().connect(
        [this]() {
          if (m_pending || m_steps.empty() || !m_steps.front().first()) return true;
          auto step = std::move(m_steps.front().second);
          m_steps.pop_front();
          m_pending = true;
          m_idle = Glib::signal_idle().connect([this, step]() {
            m_pending = false;
            step();
            return false;
          });
          return true;
        },
        25);
  }
  ~script_t() {
    m_connection.disconnect();
    m_idle.disconnect();
  }
  script_t(const script_t&) = delete;
  script_t& operator=(const script_t&) = delete;

  void add(std::function<bool()> when, std::function<void()> step) {
    m_steps.emplace_back(std::move(when), std::move(step));
  }
  // Once a visible T exists, step on it.
  template <typename T>
  void on(std::function<void(T&)> step) {
    add([]() { return guitest::find_window<T>() != nullptr; },
        [step]() { step(*guitest::find_window<T>()); });
  }
  // Once a message box shows: its text goes to texts, then response.
  void answer_box(int response, std::vector<std::string>* texts = nullptr) {
    on<Gtk::MessageDialog>([response, texts](Gtk::MessageDialog& box) {
      if (texts) texts->push_back(box.property_text().get_value());
      box.response(response);
    });
  }
  bool done() const { return m_steps.empty() && !m_pending; }

 private:
  std::deque<std::pair<std::function<bool()>, std::function<void()>>> m_steps;
  sigc::connection m_connection;
  sigc::connection m_idle;
  bool m_pending = false;
};

inline void click(Gtk::Dialog& dialog, int response) {
  if (Gtk::Widget* w = dialog.get_widget_for_response(response))
    static_cast<Gtk::Button*>(w)->clicked();
  else
    dialog.response(response);
}

// Every file below dir with its size, modification time and bytes.
inline std::map<std::string, std::string> snapshot(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    struct stat st;
    if (::lstat(entry.path().c_str(), &st) != 0) continue;
    std::string state = std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
                        std::to_string(st.st_mtim.tv_nsec);
    if (S_ISREG(st.st_mode)) state += " " + guitest::read_file(entry.path().string());
    out[entry.path().string()] = state;
  }
  return out;
}

// The test display as a PNG in the build tree (after drawing what is
// pending).
inline void screenshot(const std::string& name) {
  guitest::pump();
  const std::string file = std::string(TEST_SHOT_DIR) + "/" + name;
  ASSERT_EQ(std::system(("import -window root '" + file + "'").c_str()), 0) << file;
}

// The catalog, the EXIF texts and the settings the dialogs read, over a
// scratch album root and import directory.
class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(plimlib::init_message(prog.dir.c_str(), "tavolin"), "");
    tavolin::initexif(nullptr, nullptr);
    guitest::make_dirs(root);
    guitest::make_dirs(card);
    tavolin::g_global.album = root;
    tavolin::g_global.from = card;
    tavolin::g_global.horizontal_items = 4;
    tavolin::g_global.shrink_size.x = 160;
    tavolin::g_global.shrink_size.y = 160;
    tavolin::g_global.hwaccel = "";
    tavolin::g_global.ffmpeg = "";
    tavolin::g_global.plimzev3 = "viewer-stub";
  }
  std::string msg(unsigned id) { return plimlib::getmsg(id); }

  guitest::scratch_dir dir;
  guitest::settings_guard settings;
  guitest::env_guard ostype{"OSTYPE", nullptr};
  guitest::program_dir prog{dir / "prog"};
  std::string program_file = "tavolin";
  std::string root = dir / "root";
  std::string card = dir / "card";
  tavolin::decoded_budget_t decoded;
  Gtk::Window parent;
};

}  // namespace collectiontest
