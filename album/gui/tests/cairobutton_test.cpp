// The image button: size request from the picture, the picture centred
// in the allocation, nothing painted before set(); the budget of the
// level pictures held decoded.
#include <gtkmm/offscreenwindow.h>

#include <unistd.h>

#include <cstring>
#include <memory>
#include <type_traits>

#include "image/loader_jpeg.h"

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

// w x h of picture() saved as level file path.
tavolin::level_picture_t level_of(const std::string& path, unsigned w, unsigned h,
                                  unsigned char c) {
  libgr::jpegdata_t out;
  libgr::jpeginfo_t info;
  EXPECT_TRUE(info.compress(out, picture(w, h, c), 90, true) && out.save(path.c_str()));
  tavolin::level_picture_t level;
  level.file = path;
  level.width = w;
  level.height = h;
  return level;
}

bool same(const libgr::image2d_t& a, const libgr::image2d_t& b) {
  return a.width == b.width && a.height == b.height && a.width != 0 &&
         std::memcmp(a.pixels.begin(), b.pixels.begin(), a.height * a.rowsize()) == 0;
}

// Paints button, in no window, as GTK does; the pixels are not looked at.
void paint(tavolin::CairoButton& button) {
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, 1, 1);
  gboolean done = FALSE;
  g_signal_emit_by_name(button.gobj(), "draw", Cairo::Context::create(surface)->cobj(), &done);
}

// A level picture takes its size at once and is decoded at its first
// paint; past the budget the least lately painted drop their pixels and
// decode the same again when painted again; buttons gone leave no trace.
TEST(CairoButton, LevelPictureIsDecodedWhenPaintedAndOnlyTheLastPaintedKept) {
  guitest::scratch_dir dir;
  tavolin::level_picture_t small = level_of(dir.path() + "/small.jpg", 48, 30, 70);
  libgr::image2d_t want;
  ASSERT_TRUE(small.decode(want));
  tavolin::decoded_budget_t decoded;
  tavolin::CairoButton button;
  button.set(small, decoded);
  int w = 0, h = 0;
  button.get_size_request(w, h);
  EXPECT_EQ(w, 48);
  EXPECT_EQ(h, 30);
  EXPECT_EQ(button.picture().width, 0u);
  Glib::RefPtr<Gdk::Pixbuf> shot = render(button, 48, 30);
  ASSERT_TRUE(shot);
  EXPECT_TRUE(same(button.picture(), want));
  const int x0 = (shot->get_width() - 48) / 2, y0 = (shot->get_height() - 30) / 2;
  const unsigned char* p = want[29];
  EXPECT_EQ(pixel(shot, x0, y0), (std::array<int, 3>{p[0], p[1], p[2]}));

  // 18 MB each: six of them are past the budget of all buttons.
  tavolin::level_picture_t large = level_of(dir.path() + "/large.jpg", 3000, 2000, 120);
  std::vector<std::unique_ptr<tavolin::CairoButton>> buttons;
  for (int i = 0; i < 6; ++i) {
    buttons.push_back(std::make_unique<tavolin::CairoButton>());
    buttons.back()->set(large, decoded);
    paint(*buttons.back());
    EXPECT_EQ(buttons.back()->picture().width, 3000u);
  }
  EXPECT_EQ(button.picture().width, 0u);
  EXPECT_EQ(buttons[0]->picture().width, 0u);
  EXPECT_EQ(buttons[5]->picture().width, 3000u);
  paint(*buttons[0]);
  EXPECT_TRUE(same(buttons[0]->picture(), buttons[5]->picture()));
  buttons.clear();
  tavolin::CairoButton after;
  after.set(large, decoded);
  paint(after);
  paint(button);
  EXPECT_TRUE(same(button.picture(), want));

  // A level gone before its paint: nothing shown, one message, not one
  // each paint.
  tavolin::CairoButton gone;
  gone.set(level_of(dir / "gone.jpg", 8, 8, 1), decoded);
  ASSERT_EQ(unlink((dir / "gone.jpg").c_str()), 0);
  testing::internal::CaptureStderr();
  paint(gone);
  paint(gone);
  const std::string err = testing::internal::GetCapturedStderr();
  const size_t at = err.find("gone.jpg: load_jpeg() jpegdata load fail.");
  EXPECT_TRUE(at != std::string::npos && at == err.rfind("gone.jpg:")) << err;
  EXPECT_EQ(gone.picture().width, 0u);
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

// The budget lists buttons by their address: a button never moves.
static_assert(!std::is_move_constructible_v<tavolin::CairoButton> &&
              !std::is_move_assignable_v<tavolin::CairoButton>);

// One budget holds the pictures of the buttons painted last: past it the
// least lately painted drop theirs, one painted again counts as new, and a
// button set anew or destroyed leaves it; a picture alone beyond the
// budget stays while it is the last painted.
TEST(DecodedBudget, DropsTheLeastLatelyPaintedAndForgetsButtonsGone) {
  guitest::scratch_dir dir;
  const tavolin::level_picture_t level = level_of(dir / "level.jpg", 16, 16, 50);
  size_t each = 0;
  {
    tavolin::decoded_budget_t probe;
    tavolin::CairoButton one;
    one.set(level, probe);
    paint(one);
    each = probe.bytes();
  }
  ASSERT_GT(each, 0u);
  tavolin::decoded_budget_t decoded(3 * each);
  const auto held = [](const tavolin::CairoButton& b) { return b.picture().width != 0; };
  auto buttons = std::make_unique<tavolin::CairoButton[]>(5);
  for (int i = 0; i < 4; ++i) {
    buttons[i].set(level, decoded);
    paint(buttons[i]);
    if (i == 2) paint(buttons[0]);  // 0 painted after 1 and 2
  }
  EXPECT_FALSE(held(buttons[1]));
  EXPECT_TRUE(held(buttons[0]) && held(buttons[2]) && held(buttons[3]));
  EXPECT_EQ(decoded.buttons(), 3u);
  EXPECT_EQ(decoded.bytes(), 3 * each);

  buttons[2].set(level, decoded);  // not yet painted again: holds nothing
  EXPECT_FALSE(held(buttons[2]));
  EXPECT_EQ(decoded.buttons(), 2u);
  {
    tavolin::CairoButton gone;
    gone.set(level, decoded);
    paint(gone);
    EXPECT_EQ(decoded.buttons(), 3u);
  }
  EXPECT_EQ(decoded.buttons(), 2u);
  EXPECT_EQ(decoded.bytes(), 2 * each);
  buttons[4].set(level, decoded);
  paint(buttons[4]);
  paint(buttons[1]);  // 0 now the least lately painted
  EXPECT_FALSE(held(buttons[0]));
  EXPECT_TRUE(held(buttons[1]) && held(buttons[3]) && held(buttons[4]));

  tavolin::decoded_budget_t tiny(each / 2);
  tavolin::CairoButton alone, next;
  alone.set(level, tiny);
  next.set(level, tiny);
  paint(alone);
  EXPECT_TRUE(held(alone));
  paint(next);
  EXPECT_FALSE(held(alone));
  EXPECT_TRUE(held(next));
  EXPECT_EQ(tiny.buttons(), 1u);
}

}  // namespace
