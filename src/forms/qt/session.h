// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// The program's life in its desktop session on Unix, under the application
// object: whether the window system can be reached, which platform Qt uses,
// and what ends the program besides closing its window.
namespace Monvert::Forms {

// Before the application object exists: on a Wayland session with XWayland,
// prefer X11 so that placement and stay-on-top work, unless the user chose.
void choosePlatformBeforeStart();

// Before the application object exists, which would abort without a window
// system: why the one the toolkit is about to use cannot be reached, if it
// cannot. Qt's own -platform and -display options are looked at.
[[nodiscard]] std::optional<std::string> windowSystemMissing(int argc, char **argv);

// Before the application object exists: whether a Monvert already runs on
// that display. If one does, it has been asked to bring its window back.
[[nodiscard]] bool reopenedRunningInstance(int argc, char **argv);

// After: where placement cannot work, say so once.
void reportPlacementLimits();

// Once it exists: SIGTERM, SIGINT and SIGHUP quit through the event loop, so
// that the toolkit hands the clipboard over on the way out; a window another
// program destroyed ends the program as closing it does; and requests from
// other programs that the toolkit would mishandle are refused.
void guardSession();

} // namespace Monvert::Forms
