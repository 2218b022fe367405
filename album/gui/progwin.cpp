#include "album/gui/progwin.h"

#include <gtkmm/main.h>

#include <cstdlib>

#include "album/gui/screenfit.h"
#include "album/gui/text.h"

namespace tavolin {

const char* default_title = "progress window";

ProgWin::ProgWin(Gtk::Window& parent) : Gtk::Dialog(to_utf8(default_title), parent, true) {
  set_size_request(600, 100);
  for (Gtk::ProgressBar* bar : {&m_bar1, &m_bar2, &m_bar3, &m_bar4, &m_bar5, &m_bar6})
    get_content_area()->add(*bar);
  show_all_children(true);
  fit_on_show(*this);
  signal1.connect(sigc::mem_fun(*this, &ProgWin::setProgress1));
  signal2.connect(sigc::mem_fun(*this, &ProgWin::setProgress2));
  signal3.connect(sigc::mem_fun(*this, &ProgWin::setProgress3));
  signal4.connect(sigc::mem_fun(*this, &ProgWin::setProgress4));
  signal5.connect(sigc::mem_fun(*this, &ProgWin::setProgress5));
  signal6.connect(sigc::mem_fun(*this, &ProgWin::setProgress6));
}

void ProgWin::setProgress1(double f) { set_bar(m_bar1, f); }
void ProgWin::setProgress2(double f) { set_bar(m_bar2, f); }
void ProgWin::setProgress3(double f) { set_bar(m_bar3, f); }
void ProgWin::setProgress4(double f) { set_bar(m_bar4, f); }
void ProgWin::setProgress5(double f) { set_bar(m_bar5, f); }
void ProgWin::setProgress6(double f) { set_bar(m_bar6, f); }

void ProgWin::set_bar(Gtk::ProgressBar& bar, double f) {
  // "f < 1" is false for NaN as well, which then shows a full bar.
  bar.set_fraction(f < 1 ? f : 1.0);
  bar.queue_draw();
  Iteration();
}

const Gtk::ProgressBar& ProgWin::bar(unsigned n) const {
  const Gtk::ProgressBar* bars[] = {&m_bar1, &m_bar2, &m_bar3, &m_bar4, &m_bar5, &m_bar6};
  return *bars[n >= 1 && n <= 6 ? n - 1 : 0];
}

void ProgWin::clear() {
  set_title(to_utf8(default_title));
  setProgress1(0);
  setProgress2(0);
  setProgress3(0);
  setProgress4(0);
  setProgress5(0);
  setProgress6(0);
}

void ProgWin::Iteration() {
  while (Gtk::Main::events_pending()) {
    // iteration() also answers true when no main loop runs at all (a test,
    // a tool): only a running main loop that was told to quit ends us.
    if (Gtk::Main::iteration(false) && Gtk::Main::level() > 0) std::exit(0);
  }
}

}  // namespace tavolin
