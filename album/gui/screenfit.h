#pragma once
// Windows that fit their screen: no window or dialog of the program is
// larger than the work area of the monitor it opens on (a laptop's 1366 x
// 768 less its panels). A scrolled list asks for its content's natural
// size up to a height and takes what the window leaves it after the fixed
// parts; long texts ellipsize, wrap or scroll instead of widening their
// window.

#include <string>

#include <gdkmm/rectangle.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

namespace tavolin {

// The work area of the monitor window is shown on; before it is shown,
// that of its transient parent's monitor, else of the primary monitor.
Gdk::Rectangle work_area(Gtk::Window& window);

// The scrolled area asks for its content's natural size, up to max_height
// pixels high, and shrinks below that to what its window leaves it: it
// never makes its window larger than the screen.
void follow_content(Gtk::ScrolledWindow& scrolled, int max_height);

// Sizes window to its natural size, no larger than the work area of its
// monitor less the window manager's frame, moves a shown window back
// inside that area and redraws it. Called after every change of its
// content.
void fit_window(Gtk::Window& window);
// fit_window once the window is realized, before it is first mapped, and
// again each time it is shown, when GTK has measured what it shows (a text
// view knows its height only then). Called once the content is built.
void fit_on_show(Gtk::Window& window);

// A label of one line (or a few) that never widens its window: at least
// max_chars characters wide (less for a shorter text), ellipsized beyond.
void shorten_label(Gtk::Label& label, int max_chars,
                   Pango::EllipsizeMode mode = Pango::ELLIPSIZE_END);
// An entry at least min(length, max_chars) characters wide; its natural
// width is length characters, and longer text scrolls inside it.
void shorten_entry(Gtk::Entry& entry, int length, int max_chars);
// A comment view outside a scrolled area: long lines wrap.
void wrap_view(Gtk::TextView& view);

}  // namespace tavolin
