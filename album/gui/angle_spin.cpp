#include "album/gui/angle_spin.h"

#include <iostream>

#include "utility/failure.h"

namespace tavolin {

unsigned long angle_quarter_turns(const Gtk::SpinButton& angle, const std::string& name) {
  const long value = static_cast<long>(angle.get_value());
  if (value == 0 || value == 90 || value == 180 || value == 270)
    return static_cast<unsigned long>(value) / 90;
  libutils::error();
  std::cerr << name << ": " << value << ": not 90/180/270." << std::endl;
  return 0;
}

}  // namespace tavolin
