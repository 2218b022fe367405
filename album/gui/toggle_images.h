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
// rules these replace: another theme keeps its own pictures. Where the
// pictures cannot be loaded (no SVG loader, or GTK's library lacked one
// when the program was built), the theme keeps its own rules and
// draws the marks itself, as for any GTK program.

namespace tavolin {

// From now on, for the default screen (nothing without one); again is
// harmless. Follows later changes of the theme. False, with one line on
// standard error the first time, when the pictures do not load.
bool share_toggle_images();

}  // namespace tavolin
