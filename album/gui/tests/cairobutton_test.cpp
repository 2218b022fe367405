// The image button: size request from the picture, the picture centred
// in the allocation, nothing painted before set().
#include <gtkmm/offscreenwindow.h>

#include "album/gui/cairobutton.h"
#include "album/gui/tests/gui_test.h"

namespace {

// A w x h RGB image, bottom-up rows, every pixel c except the top-left
// one, which is red.
libgr::image2d_t picture(unsigned w, unsigned h, unsigned char c) {
  libgr::image2d_t image;
  image.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = w;
  image.height = h;
  image.allocate();
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w * 3; ++x) image[y][x] = c;
  unsigned char* top_left = image[h - 1];
  top_left[0] = 255;
  top_left[1] = 0;
  top_left[2] = 0;
  return image;
}

// What the button shows inside an offscreen window of w x h.
Glib::RefPtr<Gdk::Pixbuf> render(tavolin::CairoButton& button, int w, int h) {
  Gtk::OffscreenWindow window;
  window.add(button);
  window.set_size_request(w, h);
  window.show_all();
  guitest::pump();
  Glib::RefPtr<Gdk::Pixbuf> shot = window.get_pixbuf();
  Glib::RefPtr<Gdk::Pixbuf> copy = shot ? shot->copy() : shot;
  window.remove();
  return copy;
}

std::array<int, 3> pixel(const Glib::RefPtr<Gdk::Pixbuf>& pb, int x, int y) {
  const guint8* p = pb->get_pixels() + y * pb->get_rowstride() + x * pb->get_n_channels();
  return {p[0], p[1], p[2]};
}

TEST(CairoButton, SetAsksForThePictureSizeAndPaintsItCentred) {
  tavolin::CairoButton button;
  libgr::image2d_t image = picture(160, 120, 40);
  button.set(image);
  ASSERT_EQ(button.get_scale_factor(), 1);
  int w = 0, h = 0;
  button.get_size_request(w, h);
  EXPECT_EQ(w, 160);
  EXPECT_EQ(h, 120);

  Glib::RefPtr<Gdk::Pixbuf> shot = render(button, 200, 130);
  ASSERT_TRUE(shot);
  ASSERT_EQ(shot->get_width(), 200);
  EXPECT_EQ(pixel(shot, 20, 5), (std::array<int, 3>{255, 0, 0}));  // top-left of the picture
  EXPECT_EQ(pixel(shot, 21, 6), (std::array<int, 3>{40, 40, 40}));
  EXPECT_EQ(pixel(shot, 179, 124), (std::array<int, 3>{40, 40, 40}));  // bottom-right
  EXPECT_NE(pixel(shot, 19, 5), (std::array<int, 3>{40, 40, 40}));     // left of it: no picture
  EXPECT_NE(pixel(shot, 180, 124), (std::array<int, 3>{40, 40, 40}));
}

TEST(CairoButton, EmptyButtonPaintsNothingAndKeepsTheDefaultSize) {
  tavolin::CairoButton empty;
  Gtk::Button plain;
  int w = 0, h = 0;
  empty.get_size_request(w, h);
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);
  int ew = 0, pw = 0, nat = 0;
  empty.get_preferred_width(ew, nat);
  plain.get_preferred_width(pw, nat);
  EXPECT_EQ(ew, pw);

  // Nothing drawn: the pixels equal those of the window with no child.
  Glib::RefPtr<Gdk::Pixbuf> with_button = render(empty, 60, 40);
  Gtk::OffscreenWindow bare;
  bare.set_size_request(60, 40);
  bare.show_all();
  guitest::pump();
  Glib::RefPtr<Gdk::Pixbuf> without = bare.get_pixbuf();
  ASSERT_TRUE(with_button && without);
  for (int y = 0; y < 40; y += 3)
    for (int x = 0; x < 60; x += 3)
      ASSERT_EQ(pixel(with_button, x, y), pixel(without, x, y)) << x << "," << y;
}

TEST(CairoButton, MovedButtonSharesThePictureAndPaintsOnlyAfterSet) {
  tavolin::CairoButton first;
  libgr::image2d_t image = picture(32, 16, 90);
  first.set(image);
  std::vector<tavolin::CairoButton> row;
  row.reserve(2);
  row.push_back(std::move(first));
  int w = 0, h = 0;
  row[0].get_size_request(w, h);
  EXPECT_EQ(w, -1);  // a new widget: no size until set
  row[0].set(image);
  row[0].get_size_request(w, h);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 16);
  Glib::RefPtr<Gdk::Pixbuf> shot = render(row[0], 32, 16);
  ASSERT_TRUE(shot);
  // The button's own minimum may make the window larger: centred anyway.
  const int x0 = (shot->get_width() - 32) / 2, y0 = (shot->get_height() - 16) / 2;
  EXPECT_EQ(pixel(shot, x0, y0), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(pixel(shot, x0 + 31, y0 + 15), (std::array<int, 3>{90, 90, 90}));
}

}  // namespace
