#pragma once
// The level pictures that the picture buttons of the album windows hold
// decoded: only those painted last, up to a budget of bytes for all of
// them together. A window scrolled through a thousand rows keeps the
// others as their level's name and decodes them again when they are
// painted again.

#include <cstddef>
#include <list>

namespace tavolin {

class CairoButton;

class decoded_budget_t {
 public:
  // Some screenfuls of button pictures, at any scale factor.
  static constexpr size_t default_bytes = size_t{96} << 20;

  explicit decoded_budget_t(size_t bytes = default_bytes);
  // The buttons list themselves by their address.
  decoded_budget_t(const decoded_budget_t&) = delete;
  decoded_budget_t& operator=(const decoded_budget_t&) = delete;

  using place_t = std::list<CairoButton*>::iterator;
  // button has just decoded and painted a picture of bytes: listed first.
  // Then the buttons painted least lately drop their pictures until all
  // fit the budget; button keeps its own, even one larger than the budget.
  place_t add(CairoButton& button, size_t bytes);
  // The button at place painted again: first.
  void touch(place_t place);
  // The button at place has dropped its picture of bytes.
  void remove(place_t place, size_t bytes);

  // The bytes of the pictures held, and their buttons.
  size_t bytes() const { return m_bytes; }
  size_t buttons() const { return m_buttons.size(); }

 private:
  size_t m_budget;
  // The last painted first. GTK paints from one thread only.
  std::list<CairoButton*> m_buttons;
  size_t m_bytes = 0;
};

}  // namespace tavolin
