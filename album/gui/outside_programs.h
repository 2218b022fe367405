#pragma once
// The programs a window starts: the viewer on a photo or a collection's
// entry, the player on a sound or a movie, the browser on a collection.

#include <string>

#include <gtkmm/window.h>

#include "album/engine/album.h"

namespace tavolin {

// The thumbnail's click: the viewer on a photo, the player on a sound, the
// player on the largest converted level of a movie that fits the play size.
void open_photo(const std::string& programdir, const path_t& location, const std::string& name);
void play_sound(const path_t& location, const std::string& name);
void play_movie(const path_t& location, const std::string& name);
// Halvings of w x h until it fits g_global.play_size_x x play_size_y.
unsigned long play_level(unsigned long w, unsigned long h);

// The viewer on entry name of collection dir: on its size level of
// g_global.view_size when it has one, else on the list of a book.
void view_entry(const std::string& programdir, const std::string& dir, const std::string& name);

// The browser on dir's "index.html" (programdir's browser.sh when it has
// one); an error box over parent with the command and the shell's status
// when the shell could not run it.
void open_browser(Gtk::Window& parent, const std::string& programdir, const std::string& dir);

}  // namespace tavolin
