#include "image/halvings.h"

namespace libgr {

unsigned long halvings_to_fit(unsigned long width, unsigned long height, unsigned long box_width,
                              unsigned long box_height, const halving_bounds_t& bounds) {
  unsigned long times = 0;
  // Ends at the latest with 0 x 0, which fits any box.
  while ((width > box_width || height > box_height) && times < bounds.most &&
         width / 2 >= bounds.smallest_side && height / 2 >= bounds.smallest_side) {
    width /= 2;
    height /= 2;
    ++times;
  }
  return times;
}

}  // namespace libgr
