// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

#include <optional>

// One Monvert a Wayland display, where X11's selections do not exist: the
// running one listens on a socket of its own in XDG_RUNTIME_DIR, named after
// the display, and another start asks it there.
namespace Monvert::Forms {

class Form;

// Asks the display's Monvert, if there is one, to convert the clipboard or,
// with no command, to bring its window back; true once it has taken the request.
[[nodiscard]] bool askOverSocket(std::optional<ClipboardCommand> command);

// Once the window exists: listens for other starts. False when another
// start listens already, which has then been asked instead.
[[nodiscard]] bool listenOnSocket(Form &form, std::optional<ClipboardCommand> command);

} // namespace Monvert::Forms
