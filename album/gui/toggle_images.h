#pragma once
// The pictures on checked and mixed checks and radios, made once per
// program rather than once per toggle.
//
// GTK's own theme paints them with -gtk-recolor(), which reads and renders
// the picture's SVG anew each time a toggle's style is computed: about
// 1.5 ms for each checked toggle, seconds for a dialog of a thousand rows.
// The same SVGs named through the icon theme (-gtk-icontheme()) are looked
// up once, and GTK keeps each one rendered per set of colours; GTK paints
// them pixel for pixel as the theme does. Only under that theme, whose
// rules these replace: another theme keeps its own pictures.

namespace tavolin {

// From now on, for the default screen (nothing without one); again is
// harmless. Follows later changes of the theme.
void share_toggle_images();

}  // namespace tavolin
