#pragma once
// How often a picture's or a movie's frame size is halved to fit a box:
// the one rule behind photo and movie levels, thumbnails and the level
// a player is given.

#include <climits>

namespace libgr {

// What may end the halving before the size fits.
struct halving_bounds_t {
  // No more halvings than this.
  unsigned long most = ULONG_MAX;
  // No halving that would make a side smaller than this.
  unsigned long smallest_side = 0;
};

// The halvings of width x height (each side divided by 2, rounded down)
// until neither side is larger than the box's, within bounds.
unsigned long halvings_to_fit(unsigned long width, unsigned long height, unsigned long box_width,
                              unsigned long box_height, const halving_bounds_t& bounds = {});

}  // namespace libgr
