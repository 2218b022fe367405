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

class ViewWindow : public vorn::glutyAPI4 {
 public:
  // Consumes the options of argv and fills the image list from the rest.
  // Touches no GL or GLFW window. Ends the process (status 0) on -h.
  ViewWindow(int* argc, char*** argv);
  ~ViewWindow() override;
  ViewWindow(const ViewWindow&) = delete;
  ViewWindow& operator=(const ViewWindow&) = delete;

  void reshape(int width, int height) override;
  void display() override;
  void keyboard(unsigned char key, int x, int y) override;
  void init() override;

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
  const char* getProgramName() const { return m_progname; }
  const char* getProgramDirectory() const { return m_progdir; }

 private:
  // The argument language after the options.
  void read_arguments(int argc, char** argv);
  void read_list_file(const std::string& path, const std::string& prefix);
  void read_book_file(const std::string& path, const std::string& prefix, bool& dirflag);
  // path as the list takes it: resolved when a "-C" is in effect.
  void add_argument(const std::string& path, bool dirflag);

  char m_progname[libutils::path_buffer_size] = {};
  char m_progdir[libutils::path_buffer_size] = {};
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
