#include "album/gui/outside_programs.h"

#include <list>

#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/util.h"
#include "album/gui/errorbox.h"
#include "album/gui/media_cell.h"
#include "image/halvings.h"

namespace tavolin {

void open_photo(const std::string& programdir, const path_t& location, const std::string& name) {
  run_plimzev3(programdir, original_file(location, name));
}

void play_sound(const path_t& location, const std::string& name) {
  run_movie(original_file(location, name));
}

unsigned long play_level(unsigned long w, unsigned long h) {
  // No bound: the halving ends at 0 x 0, which fits any box.
  return libgr::halvings_to_fit(w, h, g_global.play_size_x, g_global.play_size_y);
}

void play_movie(const path_t& location, const std::string& name) {
  libgr::direction2ul_t size;
  std::string duration, stream;
  getffshrinklevel(location, original_dir, name, size, duration, stream);
  std::string file;
  location.make(file, movie_dir(play_level(size.x, size.y)), replace_extension(name, ".mp4"));
  run_movie(file);
}

void view_entry(const std::string& programdir, const std::string& dir, const std::string& name) {
  std::string sizedir;
  path_t("", dir, name).make(sizedir, size_dir(g_global.view_size));
  if (is_exist(sizedir))
    run_plimzev3(programdir, sizedir);
  else if (name[0] == generated_dir_mark)
    run_plimzev3(programdir, plimzev3_book_args(dir, name));
  else
    run_plimzev3(programdir, std::list<std::string>());
}

void open_browser(Gtk::Window& parent, const std::string& programdir, const std::string& dir) {
  std::string command;
  const int status = run_browser(programdir, dir, command);
  // 127: not found, 126: not executable; other statuses are the browser's.
  if (status == 126 || status == 127)
    show_error(parent, command, ": shell exit status " + std::to_string(status) + ".");
}

}  // namespace tavolin
