// SPDX-License-Identifier: MIT
#pragma once

#include <xcb/xcb.h>

// One Monvert a display, before Qt starts; claimInstance (forms/application.h)
// does the rest once the window exists.
namespace Monvert::Forms {

// Asks the display's Monvert, if there is one, to bring its window back.
[[nodiscard]] bool askRunningInstance(xcb_connection_t *connection);

} // namespace Monvert::Forms
