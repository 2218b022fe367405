#pragma once
// The modal progress window: six bars, each driven by one progress signal
// that the engine's long operations emit with fractions from 0 to 1. Every
// update lets GTK process pending events so the windows stay drawn.

#include <gtkmm/dialog.h>
#include <gtkmm/progressbar.h>
#include <gtkmm/window.h>
#include <sigc++/sigc++.h>

namespace tavolin {

// The title whenever the owner has set none: "progress window".
extern const char* default_title;

class ProgWin : public Gtk::Dialog {
 public:
  // Built hidden over parent; the owner calls show() and hide().
  explicit ProgWin(Gtk::Window& parent);

  // Bar N to f (1 when f is 1 or more, or NaN), redrawn, events pumped.
  void setProgress1(double f);
  void setProgress2(double f);
  void setProgress3(double f);
  void setProgress4(double f);
  void setProgress5(double f);
  void setProgress6(double f);

  // Title back to default_title, every bar to 0.
  void clear();

  // Processes every pending event. When the program's main loop was told
  // to quit meanwhile (the main window closed), the process ends with 0.
  void Iteration();

  // Bar n (1 to 6), for tests.
  const Gtk::ProgressBar& bar(unsigned n) const;

 private:
  void set_bar(Gtk::ProgressBar& bar, double f);

  Gtk::ProgressBar m_bar1, m_bar2, m_bar3, m_bar4, m_bar5, m_bar6;

 public:
  sigc::signal<void, double> signal1, signal2, signal3, signal4, signal5, signal6;
};

}  // namespace tavolin
