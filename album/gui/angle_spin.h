#pragma once
// A photo's angle spin read as quarter turns.

#include <string>

#include <gtkmm/spinbutton.h>

namespace tavolin {

// The quarter turns to the right of an angle spin of file name: 0, 90,
// 180 and 270 degrees give 0 to 3; any other value is reported on standard
// error and counts as 0.
unsigned long angle_quarter_turns(const Gtk::SpinButton& angle, const std::string& name);

}  // namespace tavolin
