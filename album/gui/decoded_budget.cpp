#include "album/gui/decoded_budget.h"

#include "album/gui/cairobutton.h"

namespace tavolin {

decoded_budget_t::decoded_budget_t(size_t bytes) : m_budget(bytes) {}

decoded_budget_t::place_t decoded_budget_t::add(CairoButton& button, size_t bytes) {
  m_buttons.push_front(&button);
  const place_t place = m_buttons.begin();
  m_bytes += bytes;
  // Each drop removes the last button from the list.
  while (m_bytes > m_budget && m_buttons.back() != &button) m_buttons.back()->drop_decoded();
  return place;
}

void decoded_budget_t::touch(place_t place) {
  m_buttons.splice(m_buttons.begin(), m_buttons, place);
}

void decoded_budget_t::remove(place_t place, size_t bytes) {
  m_bytes -= bytes;
  m_buttons.erase(place);
}

}  // namespace tavolin
