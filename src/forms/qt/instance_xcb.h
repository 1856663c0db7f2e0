// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

#include <xcb/xcb.h>

#include <optional>
#include <string>

// One Monvert a display, before Qt starts; Application::claimInstance
// (forms/application.h) does the rest once the window exists.
namespace Monvert::Forms {

class Form;

// Asks the display's Monvert, if there is one, to bring its window back or
// to convert the clipboard: what came of it once it has said (taken, for a
// window brought back), or nothing when no Monvert runs there.
[[nodiscard]] std::optional<ClipboardOutcome>
askRunningInstance(xcb_connection_t *connection, std::optional<ClipboardCommand> command);

// The same on a connection of its own, to the display by that name.
[[nodiscard]] std::optional<ClipboardOutcome>
askRunningInstance(const std::string &display, std::optional<ClipboardCommand> command);

// Once the window exists: the display is claimed for it, unless a Monvert
// claimed it first, which is for the caller to ask then. False then.
[[nodiscard]] bool claimDisplay(Form &form);

} // namespace Monvert::Forms
