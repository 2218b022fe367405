#pragma once
// The ids of the viewer's texts in plimzev3.msg, named by their role: id n
// is line n of the catalog.

#include "utility/message.h"

namespace plimzev2 {

// The viewer's name in its window title.
constexpr plimlib::e_message_t MSG_VIEWER_NAME = 0;
// The title text when no image is shown (after MSG_VIEWER_NAME + " - ").
constexpr plimlib::e_message_t MSG_NO_IMAGE = 1;

// The lines plimzev3.msg holds: one per id above.
constexpr plimlib::e_message_t PLIMZEV3_MESSAGE_COUNT = MSG_NO_IMAGE + 1;

}  // namespace plimzev2
