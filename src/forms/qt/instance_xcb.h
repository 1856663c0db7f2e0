// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

#include <xcb/xcb.h>

#include <optional>

// One Monvert a display, before Qt starts; Application::claimInstance
// (forms/application.h) does the rest once the window exists.
namespace Monvert::Forms {

class Form;

// Asks the display's Monvert, if there is one, to convert the clipboard or,
// with no command, to bring its window back.
[[nodiscard]] bool askRunningInstance(xcb_connection_t *connection,
                                      std::optional<ClipboardCommand> command);

// The same, once the window exists: the display is claimed for it, or the
// Monvert that claimed it first is asked. False then.
[[nodiscard]] bool claimDisplay(Form &form, std::optional<ClipboardCommand> command);

} // namespace Monvert::Forms
