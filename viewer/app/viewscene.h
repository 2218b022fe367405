#pragma once
// The viewer's scene: the window's GL state, the loaded images each with
// its own view matrix, the current image, the projection and the drawing.

#include <list>

#include "image/geometry.h"

namespace plimlib {

class ViewScene {
 public:
  // One loaded image and its view.
  struct obj_t {
    libgr::matrix3w_t view = libgr::Imtx;
    bool built = false;
  };

  ViewScene();
  ~ViewScene();
  ViewScene(const ViewScene&) = delete;
  ViewScene& operator=(const ViewScene&) = delete;

  // The window's GL state; directory is the program directory.
  void Init(const char* directory);
  // Draws the scene once into the current buffer (no swap).
  void Display() const;
  // Viewport and projection for a framebuffer of that size: one unit per
  // pixel, the origin at the viewport's centre.
  void Reshape(unsigned long width, unsigned long height);

  // The record at index becomes current; none when index is out of range.
  void setCurrent(unsigned long index);
  // Deletes the current record; false when none is current.
  bool delImage();
  std::size_t size() const { return m_objs.size(); }
  bool hasCurrent() const { return m_current != m_objs.end(); }

 private:
  std::list<obj_t> m_objs;
  std::list<obj_t>::iterator m_current;
};

}  // namespace plimlib
