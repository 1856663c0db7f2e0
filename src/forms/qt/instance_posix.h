// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

#include <optional>

#include <sys/un.h>

// One Monvert a Wayland display, where X11's selections do not exist: the
// running one listens on a socket of its own in XDG_RUNTIME_DIR, named after
// the display, and another start asks it there.
namespace Monvert::Forms {

class Form;

// Where the running one listens: beside the compositor's own socket, named
// after it (an absolute WAYLAND_DISPLAY is that socket); nothing where no
// runtime folder says where, or the path is too long for a socket.
[[nodiscard]] std::optional<sockaddr_un> socketAddress();

// Asks the display's Monvert, if one listens, to convert the clipboard or,
// with no command, to bring its window back: what came of it (taken, for a
// window brought back), or nothing when nobody listens.
[[nodiscard]] std::optional<ClipboardOutcome>
askOverSocket(std::optional<ClipboardCommand> command);

// Once the window exists: listens for other starts. False when another
// window listens already, which is for the caller to ask then.
[[nodiscard]] bool listenOnSocket(Form &form);

// A conversion another start asked for, run as the window's own event; on
// Wayland only a window with the keyboard focus can read the clipboard.
[[nodiscard]] ClipboardOutcome convertAsAsked(Form &form, ClipboardCommand command);

} // namespace Monvert::Forms
