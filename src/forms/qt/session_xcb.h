// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

#include <optional>
#include <string>

class QWidget;

// The program's life in its desktop session, under the application object:
// whether the window system can be reached (X11, or Wayland with no
// DISPLAY), and what ends the program besides closing its window.
namespace Monvert::Forms {

// Before the application object exists, which would abort without a window
// system: why the one the toolkit is about to use cannot be reached, if it
// cannot (Qt's own -platform and -display options are looked at); and, on
// the same connection, whether a Monvert already runs on that display, in
// which case it has been asked to bring its window back, or to convert the
// clipboard when that is the command.
struct DisplayCheck
{
    std::optional<std::string> missing;
    // A Monvert ran there and was asked: what it said.
    std::optional<ClipboardOutcome> asked;
    // The X11 display looked at, to ask it again later.
    std::string display;
};
[[nodiscard]] DisplayCheck checkDisplay(const WindowOptions &options);

// Once it exists: SIGTERM, SIGINT and SIGHUP quit through the event loop, so
// that the toolkit hands the clipboard over on the way out; a window another
// program destroyed ends the program as closing it does; and requests from
// other programs that the toolkit would mishandle are refused.
void guardSession();

// The window that is the program: another program destroying it ends the
// program as closing it does. No other window's end does.
void endWithWindow(const QWidget *window);

} // namespace Monvert::Forms
