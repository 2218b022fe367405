#pragma once
// The viewer's scene: the window's GL state, the loaded images each with
// its own photo frame, display list and view matrix, the current image,
// the projection, the light and the drawing of the whole picture.

#include <cstdint>
#include <list>

#include "image/geometry.h"
#include "viewer/app/viewframe.h"
#include "viewer/app/viewobj.h"
#include "viewer/graphics/dsplist_gl.h"
#include "viewer/graphics/grtransformer.h"

namespace plimlib {

class ViewScene {
 public:
  // One loaded image. The nodes point at each other, so a record is made
  // in place in the list and never moved or copied.
  struct obj_t {
    ViewObject viewobj;
    libgr::grDspList objdspl;
    ViewFrame viewframe;
    // viewframe, then objdspl.
    libgr::grContainer container;
    // The view matrix over the container.
    libgr::grTransformer view;
    bool built = false;

    obj_t() = default;
    ~obj_t();
    obj_t(const obj_t&) = delete;
    obj_t& operator=(const obj_t&) = delete;
    void make_graph(const char* directory);
    void free_graph();
  };

  ViewScene();
  ~ViewScene();
  ViewScene(const ViewScene&) = delete;
  ViewScene& operator=(const ViewScene&) = delete;

  // The window's GL state and the frame textures; directory is the
  // program directory.
  void Init(const char* directory);
  // Draws the scene once into the current buffer (no swap).
  void Display() const;
  // Viewport and projection for a framebuffer of that size: one unit per
  // pixel, the origin at the viewport's centre.
  void Reshape(unsigned long width, unsigned long height);
  // Releases the frame textures.
  void Destroy();

  // True when the image loaded; it is then the last record.
  bool addImage(const char* path, const char* directory);
  // Deletes the current record; false when none is current.
  bool delImage();
  // The record at index becomes current; none when index is out of range.
  void setCurrent(unsigned long index);
  void make_graph(const char* directory);
  void free_graph();
  bool is_resident() const;

  // The view of the current record; nothing without one. Each composes
  // onto the view in screen space; the second arguments are not used.
  void Rotate(float degrees, float = 0);
  void Zoom(float power, float = 0);
  void Scale(float factor, float = 0);
  void Move(const libgr::direction3_t& d, float = 0);
  void Matrix(const libgr::matrix3w_t& m);
  // The view becomes m.
  void setView(const libgr::matrix3w_t& m);
  // The view of a freshly added image: its orientation turn only.
  void Origin();
  // The resets leave a view without a usable scale (determinant not
  // positive and finite) unchanged and then give false.
  bool clrRotate();
  bool clrZoom();
  void clrMove();
  const libgr::matrix3w_t& getMatrix() const;
  // Flips the current image's magnification filter; the new state.
  bool toggleSmooth();
  // Width and height as stored (not turned); 0x0 without a current image.
  libgr::direction2l_t getCurrentImageSize() const;
  // Quarter turns to the right the current image asks for.
  std::uint64_t getCurrentOrientation() const;

  std::size_t size() const { return m_objs.size(); }
  bool hasCurrent() const { return m_current != m_objs.end(); }

 private:
  std::list<obj_t> m_objs;
  std::list<obj_t>::iterator m_current;
};

}  // namespace plimlib
