#pragma once
// The viewer's window: its command line, image list and title, and its
// answers to the callbacks of the window framework.

#include <cstdint>
#include <list>
#include <string>

#include "image/geometry.h"
#include "utility/futil.h"
#include "viewer/app/glfwymgr4.h"
#include "viewer/app/viewscene.h"

namespace plimzev2 {

// Window geometry saved before the work-area mode.
extern int winwidth;
extern int winheight;
extern int winx;
extern int winy;
// Saves the window's size and place into those four.
void remember_geometry(GLFWwindow* window);

class ViewWindow : public vorn::glutyAPI4 {
 public:
  // Consumes the options of argv and fills the image list from the rest.
  // Touches no GL or GLFW window. Ends the process (status 0) on -h.
  ViewWindow(int* argc, char*** argv);
  ~ViewWindow() override;
  ViewWindow(const ViewWindow&) = delete;
  ViewWindow& operator=(const ViewWindow&) = delete;

  // The interface of the window framework.
  void reshape(int width, int height) override;
  void display() override;
  void keyboard(unsigned char key, int x, int y) override;
  void specialkey(int key, int x, int y) override;
  void mouse(int button, int state, int x, int y) override;
  void motion(int x, int y) override;
  void init() override;
  // Frees the scene's and the frame's GL objects while the context exists.
  void close() override;
  void mousewheel(int wheel, int direction, int x, int y) override;
  void drop(int count, const char** paths) override;

  // Commands over the image list: the new image is drawn at once.
  void forward(unsigned long step);
  void backward(unsigned long step);
  void first();
  void last();
  void cursor_move(int key);
  // Rebuilds the textures and display lists from the loaded image.
  void reload();
  // The view as a JPEG beside the image, "name.zev.N.jpg" at the first
  // free N; false, with a line on standard error, when nothing was written.
  bool menu_file_savejpeg();
  void menu_edit_writedefault();
  bool menu_edit_save_zevfile();
  bool menu_edit_delete_zevfile();
  // Key f: the window on the monitor's work area and back.
  void toggle_workarea();

  // The list walks: each tries entries until one loads.
  bool initial_load();
  bool next_image(unsigned long step);
  bool back_image(unsigned long step);
  bool first_image();
  bool last_image();

  // Sizing: fit a fresh view, restore the saved one, or choose.
  bool go_center(bool apply);
  bool residue_resume(bool apply);
  bool residue(bool apply);
  // The window size the policy allows for a request; never a side below 1.
  libgr::direction2l_t residue_calc_window_size(const libgr::direction2l_t& requested,
                                                const libgr::direction2l_t& current);
  // The same for a window whose present size is given: each side is
  // limited by the size options only when it grows with resize_magnify on
  // or shrinks with resize_shrink on.
  static libgr::direction2l_t limit_window_size(const libgr::direction2l_t& requested,
                                                const libgr::direction2l_t& current,
                                                const libgr::direction2l_t& present);
  bool residue_set_window_size(const libgr::direction2l_t& size,
                               const libgr::direction2l_t& current, bool apply);
  void set_shape();
  libgr::direction2l_t get_window_size() const;
  libgr::direction2l_t get_framebuffer_size() const;
  void setScale(float factor) { m_scene.Scale(factor); }
  // Restores a saved view: it becomes the view as it was saved, the
  // orientation turn of the image included.
  void setMatrix(const libgr::matrix3w_t& m) { m_scene.setView(m); }
  const libgr::matrix3w_t& getMatrix() const { return m_scene.getMatrix(); }
  // The current image's size as shown: exchanged for an odd number of
  // quarter turns.
  libgr::direction2l_t getCurrentImageSize() const;

  // Adds a directory's images (sorted) or one image path; true when
  // something was added. The first entry of the list becomes current.
  bool setImagePath(const char* path);
  // Empties the scene and the list.
  void clear();

  void update_title();
  // The current path with " (index/count)", or "" with no current image.
  std::string getCurrentTitleName() const;
  // The whole window title for the present state.
  std::string getTitle() const;

  const std::list<std::string>& getImageList() const { return m_list; }
  // The current entry's path, or null.
  const char* getCurrentPath() const { return m_pos == m_list.end() ? nullptr : m_pos->c_str(); }
  const char* getProgramName() const { return m_progname; }
  const char* getProgramDirectory() const { return m_progdir; }

 private:
  // The argument language after the options.
  void read_arguments(int argc, char** argv);
  void read_list_file(const std::string& path, const std::string& prefix);
  void read_book_file(const std::string& path, const std::string& prefix, bool& dirflag);
  // path as the list takes it: resolved when a "-C" is in effect.
  void add_argument(const std::string& path, bool dirflag);

  // One key of the command tables.
  struct command_t {
    int first, last;  // the codes it answers
    void (ViewWindow::*run)(int code);
    bool redisplay;
  };
  static const command_t s_keys[];
  static const command_t s_specialkeys[];
  bool run_command(const command_t* table, int code);
  // 10 while a Shift key is held, else 1.
  unsigned long step() const;
  // Adds the entry to the scene; on success it becomes the position.
  bool try_entry(std::list<std::string>::iterator entry, std::uint64_t index);
  // After an image change: fit or restore, title, GL objects.
  void show_changed(bool draw_now);

  void cmd_backward(int);
  void cmd_forward(int);
  void cmd_back_or_end(int);
  void cmd_center(int);
  void cmd_exit(int);
  void cmd_rotate_right(int);
  void cmd_rotate_left(int);
  void cmd_clear_rotate(int);
  void cmd_zoom_digit(int code);
  void cmd_iconify(int);
  void cmd_writedefault(int);
  void cmd_delete_zev(int);
  void cmd_workarea(int);
  void cmd_smooth(int);
  void cmd_reload(int);
  void cmd_savejpeg(int);
  void cmd_save_zev(int);
  void cmd_cursor(int code);
  void cmd_zoom_in(int);
  void cmd_zoom_out(int);
  void cmd_first(int);
  void cmd_last(int);

  struct drag_t {
    bool on = false;
    float x = 0;
    float y = 0;
  };

  char m_progname[libutils::path_buffer_size] = {};
  char m_progdir[libutils::path_buffer_size] = {};
  drag_t m_move;
  drag_t m_zoom;
  drag_t m_rotate;
  plimlib::ViewScene m_scene;
  std::list<std::string> m_list;
  std::list<std::string>::iterator m_pos;
  std::uint64_t m_index = 0;
  std::uint64_t m_count = 0;
  libgr::direction2l_t m_lastsize;
  std::int32_t m_fbscale_x = 1;
  std::int32_t m_fbscale_y = 1;
};

}  // namespace plimzev2
